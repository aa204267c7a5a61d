#pragma once

#include "ChildTestRun.h"
#include "Unavailable.h"

#include <QString>

#include <gtest/gtest.h>

// A real small filesystem for failure-path tests (full disk, no free inode, read-only disk).
// The test runs itself again in a child process that has a tmpfs of its own mounted on a fresh
// folder: in a new user and mount namespace, so no privilege is needed where unprivileged user
// namespaces are allowed (as root a mount namespace alone will do). The mount ends with the
// child. Where neither is possible, the test is skipped (Unavailable.h); the failure hooks of
// AtomicFile still cover the same paths in the ordinary tests. (What folder and file permissions
// refuse needs no mount: see OrdinaryUser.h.) With wholeSeconds, the filesystem is an ext4 of
// 128-byte inodes instead, which keeps its stamps in whole seconds, on a loop device: only root
// can mount one (no user namespace may), so elsewhere the run is Unavailable, and a test that
// has another way (runCurrentTestInside, rather than the macro) takes it.
namespace SmallDisk {

using Outcome = ChildTestRun::Outcome;

// Inside the child: the folder the small filesystem is mounted on. Empty in the parent.
QString folder();

struct Options
{
    int kilobytes = 200;
    int inodes = 0; // most files and folders it takes (0: the tmpfs default)
    bool wholeSeconds = false;
};

// Parent: runs the current test again in a child on such a tmpfs and reports how it went.
Outcome runCurrentTestInside(const Options &options);

// Inside the child: fills the filesystem up with one file, so the next write finds it full.
bool fill();
// Inside the child: remounts the filesystem read-only.
bool makeReadOnly();

} // namespace SmallDisk

// First statement of a test whose body needs the small filesystem, with the options' fields
// (POLLIX_ON_SMALL_DISK(.kilobytes = 64, .inodes = 4)): in the parent it runs the test inside and
// returns; inside, the body goes on with SmallDisk::folder() mounted.
#define POLLIX_ON_SMALL_DISK(...)                                                                        \
    if (SmallDisk::folder().isEmpty()) {                                                                 \
        const SmallDisk::Outcome outcome_ = SmallDisk::runCurrentTestInside(SmallDisk::Options{__VA_ARGS__}); \
        if (outcome_ == SmallDisk::Outcome::Unavailable)                                                 \
            POLLIX_SKIP_UNAVAILABLE() << "no way to mount a small filesystem here";                      \
        EXPECT_EQ(outcome_, SmallDisk::Outcome::Passed) << "the test failed on its small filesystem";    \
        return;                                                                                          \
    }
