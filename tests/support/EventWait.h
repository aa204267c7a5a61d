#pragma once

// The most a test waits for an event that should come: long enough for a machine under heavy load
// (a shared build machine, a two-core CI box). Every wait ends as soon as what it waits for holds,
// so only a failing test ever waits this long.
inline constexpr int kEventWaitMs = 30000;
