#pragma once

#include "ClassResponseReportLayout.h"
#include "SingleColumnString.h"

#include <QList>

class ReportPainter;

// One page of the Class Response Report: under the title bar, runs of question-text lines in
// yellow, option lines with their letter and share in pale blue (the correct option in red bold
// italic), and the one-line notes of questions without options.
class ClassResponseReportView
{
public:
    ClassResponseReportView(const ClassResponseReportLayout &layout, const QList<SingleColumnString> &strArray);

    void paint(ReportPainter &painter) const;

private:
    const ClassResponseReportLayout &m_layout;
    QList<SingleColumnString> m_rows;
};
