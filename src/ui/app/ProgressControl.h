#pragma once

#include <QDialog>

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

    QProgressBar *progress = nullptr;

private:
    int m_maxValue = 0;
};
