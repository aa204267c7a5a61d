#pragma once

#include <QRectF>
#include <QString>

// A place on a page that shows a text when the pointer rests on it (the whole text of a line the
// page shows shortened). rect is in page units from the page's top left.
struct ReportToolTip
{
    QRectF rect;
    QString text;
};
