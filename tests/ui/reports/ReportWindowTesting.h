#pragma once

#include "ui/reports/ReportFrame.h"

#include <QPushButton>
#include <QString>

// First, Previous, Next and Last of a report window, '1' for enabled: "0011" on the first page.
inline QString pagingButtons(const ReportFrame &w)
{
    QString s;
    for (QPushButton *b : {w.btnFirst, w.btnPrevious, w.btnNext, w.btnLast})
        s += b->isEnabled() ? '1' : '0';
    return s;
}
