#include "CustomZoomController.h"

#include <QLineEdit>

#include <algorithm>

CustomZoomController::CustomZoomController(QWidget *parent)
    : ReportNumberDialog(QStringLiteral("CustomZoom"), tr("Customize Zoom"), tr("Zoom:"), QStringLiteral("%"), kMaximum,
                         parent)
{
    textFactor = m_field;
    textFactor->setObjectName(QStringLiteral("textFactor"));
}

int CustomZoomController::resultFor(int typed) const
{
    return std::clamp(typed, kMinimum, kMaximum);
}
