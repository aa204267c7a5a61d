#include "ModalGuard.h"

#include "EventWait.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <string>

namespace {

// Far above any answer's time, the longest wait of a test for an event included.
int s_answerWaitMs = 2 * kEventWaitMs;
// Once the test has failed: time for an answerer already at work on the window to finish.
constexpr int kAfterFailureMs = 1000;
// Between two tries at a window that stayed up.
constexpr int kRetryMs = 500;

qint64 nowMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

std::string nameOf(const QWidget *window)
{
    return QStringLiteral("%1 \"%2\" (%3)")
        .arg(window->objectName().isEmpty() ? QStringLiteral("(no name)") : window->objectName(), window->windowTitle(),
             QLatin1String(window->metaObject()->className()))
        .toStdString();
}

} // namespace

ModalGuard::ModalGuard() = default;
ModalGuard::~ModalGuard() = default;

void ModalGuard::setAnswerWaitForTesting(int ms)
{
    s_answerWaitMs = ms;
}

void ModalGuard::OnTestStart(const ::testing::TestInfo &)
{
    m_failed = false;
    m_top = nullptr;
    m_tries.clear();
    if (!qApp)
        return;
    m_timer = std::make_unique<QTimer>();
    QObject::connect(m_timer.get(), &QTimer::timeout, [this] { look(); });
    m_timer->start(100);
}

void ModalGuard::OnTestPartResult(const ::testing::TestPartResult &result)
{
    if (result.failed() && !m_failed) {
        m_failed = true;
        m_failedAt = nowMs();
    }
}

void ModalGuard::OnTestEnd(const ::testing::TestInfo &)
{
    m_timer.reset();
    if (!qApp)
        return;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || !window->isModal())
            continue;
        ADD_FAILURE() << "the modal window " << nameOf(window) << " was still up when the test ended: closed";
        // Hidden, not cancelled: a window that asks before it goes would ask with no guard left.
        window->hide();
    }
    s_answerWaitMs = 2 * kEventWaitMs;
}

void ModalGuard::look()
{
    QWidget *top = QApplication::activeModalWidget();
    if (!top || !top->isVisible()) {
        m_top = nullptr;
        return;
    }
    const qint64 now = nowMs();
    if (top != m_top) {
        m_top = top;
        m_topSince = now;
        return;
    }
    if (triesAt(top) > 0) {
        // Tried before in this test, which that try failed, and still up: again, a little later.
        if (now - m_topSince >= kRetryMs)
            closeUp(top);
        return;
    }
    if (m_failed && now - std::max(m_topSince, m_failedAt) >= kAfterFailureMs) {
        ADD_FAILURE() << "the modal window " << nameOf(top)
                      << " stayed up after the test failed, its answer not coming: closed so that the test ends";
        closeUp(top);
    } else if (now - m_topSince >= s_answerWaitMs) {
        ADD_FAILURE() << "the modal window " << nameOf(top) << " waited " << (now - m_topSince) / 1000
                      << " s for an answer that never came: closed so that the test ends";
        closeUp(top);
    }
}

int &ModalGuard::triesAt(QWidget *window)
{
    for (auto &[tried, tries] : m_tries)
        if (tried == window)
            return tries;
    return m_tries.emplace_back(window, 0).second;
}

void ModalGuard::closeUp(QWidget *window)
{
    m_topSince = nowMs();
    const int tries = triesAt(window)++;
    const bool cancel = tries < 2;
    // From the window's own loop, after this look: a window that asks before it goes runs the
    // question's loop inside the call, and the guard's timer must go on firing for that question.
    QTimer::singleShot(0, window, [window, cancel] {
        if (!window->isVisible())
            return;
        if (!cancel)
            window->hide();
        else if (auto *dialog = qobject_cast<QDialog *>(window))
            dialog->reject();
        else
            window->close();
    });
}
