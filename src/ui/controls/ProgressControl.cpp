#include "ProgressControl.h"

#include "platform/PostedCalls.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <atomic>
#include <thread>

ProgressControl::ProgressControl(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProgressControl"));
    setWindowTitle(QStringLiteral("Pollix"));
    // The status level: above the program's other windows.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("progress"));
    progress->setRange(0, 100);
    progress->setValue(0);
    progressText = new QLabel(this);
    progressText->setObjectName(QStringLiteral("progressText"));
    progressText->setWordWrap(true);
    progressText->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(progressText);
    layout->addWidget(progress);
    setMinimumWidth(360);
    resize(360, 60);
}

void ProgressControl::showProgress(int step)
{
    if (m_maxValue <= 1) {
        close();
        return;
    }
    progress->setRange(0, 100);
    progress->setValue((step * 100) / m_maxValue);
    // Drawn at once: the caller keeps the event loop busy while it works.
    progress->repaint();
    if (step == m_maxValue)
        close();
}

void ProgressControl::reject()
{
    if (!m_heldOpen)
        QDialog::reject();
}

bool ProgressControl::runWithProgress(QWidget *parent, const std::function<bool(const Progress &)> &work,
                                      const QString &text)
{
    // Not parent's child: parent is disabled meanwhile, and a child would look disabled too.
    ProgressControl window;
    window.setWindowModality(Qt::ApplicationModal);
    if (!text.isEmpty()) {
        window.progressText->setText(text);
        window.progressText->show();
        window.resize(420, window.sizeHint().height());
    }
    // Busy until work tells how far it is; some work (a wait) never does.
    window.progress->setRange(0, 0);
    window.m_heldOpen = true;
    if (parent)
        window.move(parent->window()->frameGeometry().center() - window.rect().center());
    window.show();
    QEventLoop loop;
    PostedCalls fromWorker;
    std::atomic<int> shown{-1};
    // Called on the worker: hands the step to the window's thread when it changes what is shown.
    const Progress report = [&window, &shown, &fromWorker](int done, int total) {
        const int percent = total > 0 ? int((qint64(done) * 100) / total) : 100;
        if (shown.exchange(percent) == percent && done != total)
            return;
        fromWorker.post([&window, done, total] {
            window.setMaxValue(total);
            window.showProgress(done);
        });
    };
    bool result = false;
    const bool wasEnabled = parent && parent->isEnabled();
    if (parent)
        parent->setEnabled(false);
    std::thread worker([&] {
        result = work(report);
        // Queued behind the last step, so every step is shown before the loop ends.
        fromWorker.post([&loop] { loop.quit(); });
    });
    loop.exec();
    worker.join();
    if (parent)
        parent->setEnabled(wasEnabled);
    window.m_heldOpen = false;
    window.close();
    return result;
}
