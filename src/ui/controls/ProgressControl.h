#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;

// A self-closing progress window ("ProgressControl") for long operations: callers set the number
// of steps, show it, and report steps 1..maxValue; it closes itself at the last step.
class ProgressControl : public QDialog
{
    Q_OBJECT
public:
    explicit ProgressControl(QWidget *parent = nullptr);

    void setMaxValue(int v) { m_maxValue = v; }
    int maxValue() const { return m_maxValue; }
    void showProgress(int step);

    // Steps done so far and in all.
    using Progress = std::function<void(int done, int total)>;
    // Runs work on a worker thread while this window shows its progress over parent (or alone,
    // without one), which takes no input meanwhile; returns work's result once it has finished.
    // work may call its Progress as often as it likes (from the worker); the window redraws only
    // when the percentage moves, and shows that it is busy until the first step. text, when
    // given, says above the bar what is being done.
    static bool runWithProgress(QWidget *parent, const std::function<bool(const Progress &)> &work,
                                const QString &text = {});

    QProgressBar *progress = nullptr;
    QLabel *progressText = nullptr;

protected:
    // Escape and the close box leave the window of runWithProgress up: it says what keeps the
    // program busy, and goes when that is done.
    void reject() override;

private:
    int m_maxValue = 0;
    bool m_heldOpen = false;
};
