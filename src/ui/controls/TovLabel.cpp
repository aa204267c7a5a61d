#include "TovLabel.h"

TovLabel::TovLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setAutoFillBackground(false);
    setFrameShape(QFrame::NoFrame);
    setTextInteractionFlags(Qt::NoTextInteraction);
}
