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
    // Runs work on a worker thread while this window shows its progress over parent, which takes
    // no input meanwhile; returns work's result once it has finished. work may call its Progress
    // as often as it likes (from the worker); the window redraws only when the percentage moves.
    // Until the first step the bar only shows that work goes on. caption, when given, says what
    // the work does above the bar.
    static bool runWithProgress(QWidget *parent, const std::function<bool(const Progress &)> &work,
                                const QString &caption = {});

    QProgressBar *progress = nullptr;
    QLabel *caption = nullptr;

private:
    int m_maxValue = 0;
};
