#pragma once

#include <QPointer>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

class QTimer;
class QWidget;

// No test is left waiting on a modal window. A window run modally (exec()) holds the test inside
// its loop until someone answers it; when the answer never comes (an assertion failed in the step
// that was to give it, an answerer whose queue ran out, a window the test did not expect) the test
// would wait until ctest kills it, minutes later, with nothing said. The guard, installed for every
// test of every test program, closes such a window as the teacher's Cancel does (reject(), or
// close()), hiding it where that leaves it up, so that the test's code goes on, fails and ends:
// - once the test has failed, every modal window that stays up for a moment;
// - a modal window up with no answer for far longer than any answer takes (the test fails);
// - a modal window still shown when the test ends (the test fails; the next test starts clean).
// Every window it closes fails the test it is closed in, and each test starts with no tries made:
// a window that lives on from one test into the next (a dialog kept for the whole program) is
// given its full wait again, never closed early for a try of an earlier test.
class ModalGuard : public ::testing::EmptyTestEventListener
{
public:
    ModalGuard();
    ~ModalGuard() override;

    // How long a modal window may wait for its answer before the guard takes it as never coming
    // (for the guard's own test).
    static void setAnswerWaitForTesting(int ms);

private:
    void OnTestStart(const ::testing::TestInfo &test) override;
    void OnTestPartResult(const ::testing::TestPartResult &result) override;
    void OnTestEnd(const ::testing::TestInfo &test) override;

    void look();
    // Cancel first (a window that asks before it goes is answered by the next look), then hidden.
    void closeUp(QWidget *window);
    // Tries at the window in this test so far.
    int &triesAt(QWidget *window);

    std::unique_ptr<QTimer> m_timer;
    QPointer<QWidget> m_top;
    qint64 m_topSince = 0;
    bool m_failed = false;
    qint64 m_failedAt = 0;
    // Tries in this test, by window: one that asks a question before it goes comes back on top
    // when the question is cancelled, and is tried anew, not from the start.
    std::vector<std::pair<QPointer<QWidget>, int>> m_tries;
};
