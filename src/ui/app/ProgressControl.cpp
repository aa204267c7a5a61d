#include "ProgressControl.h"

#include <QProgressBar>
#include <QVBoxLayout>

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
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(progress);
    resize(360, 60);
}

void ProgressControl::showProgress(int step)
{
    if (m_maxValue <= 1) {
        close();
        return;
    }
    progress->setValue((step * 100) / m_maxValue);
    // Drawn at once: the caller keeps the event loop busy while it works.
    progress->repaint();
    if (step == m_maxValue)
        close();
}
