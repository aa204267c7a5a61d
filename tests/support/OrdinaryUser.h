#pragma once

#include "ChildTestRun.h"

#include <gtest/gtest.h>

#include <unistd.h>

// Tests of what an ordinary account meets (a folder or file it may not write, a port it may not
// open, a terminal another program holds exclusively) must not pass only because the suite runs
// as root, whom none of these bind. As an ordinary user the test runs in place. As root it runs
// again in a child process as uid 1000 of a user namespace of its own, which holds no privilege
// outside it and still owns what root owns, or, where user namespaces are not allowed, as the
// user nobody.
namespace OrdinaryUser {

// Parent (root): runs the current test again as an ordinary user and reports how it went.
ChildTestRun::Outcome runCurrentTestAsOne();

} // namespace OrdinaryUser

// First statement of a test whose body must run as an ordinary user.
#define POLLIX_AS_ORDINARY_USER()                                                                        \
    if (::geteuid() == 0) {                                                                              \
        const ChildTestRun::Outcome outcome_ = OrdinaryUser::runCurrentTestAsOne();                      \
        ASSERT_NE(outcome_, ChildTestRun::Outcome::Unavailable) << "no way to run as an ordinary user"; \
        EXPECT_EQ(outcome_, ChildTestRun::Outcome::Passed) << "the test failed as an ordinary user";     \
        return;                                                                                          \
    }
