#pragma once

#include <gtest/gtest.h>

// The suite skips nothing: a test that skips fails (TestMain.cpp). The one exception is a
// facility this machine lacks and nothing in the suite can stand in for (a way to mount a small
// filesystem, a speech engine): such a test skips with this macro, its reason starting with
// kUnavailableHere, and ctest lists it as skipped.
inline constexpr char kUnavailableHere[] = "unavailable on this machine: ";

#define POLLIX_SKIP_UNAVAILABLE() GTEST_SKIP() << kUnavailableHere
