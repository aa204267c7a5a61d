#pragma once

#include "ReportPainter.h"

#include <QList>

// Where the Class Study Guide's page view puts things (page-view units, from its bottom left). A
// variant of the view is a second instance, not a second class.
struct ClassStudyGuideLayout
{
    int textSize = 18;
    // A missed question takes rowsPerEntry rows: three labelled rows and a gap, each row a label
    // cell and a value cell; or, as a table (asTable), one row of tableCells under a heading row.
    bool asTable = false;
    int rowsPerEntry = 4;
    ReportPainter::Cell labelCell{102, 150};
    ReportPainter::Cell valueCell{252, 390};
    QList<ReportPainter::Cell> tableCells;
    // Rows per page: (rowsBase - 25n) / 25, that is (614 - 25n) / 25 - 2; a page holds that many
    // rows' worth of missed questions (less the table's heading row).
    int rowsBase = 564;

    static const ClassStudyGuideLayout &standard();
    // The Dravel-named pages: the missed questions as a table, one row each.
    static const ClassStudyGuideLayout &dravel();
};
