#pragma once

#include "ReportCardLayout.h"
#include "SubjectMark.h"

#include <QList>

class ReportPainter;

// One page of a report card: the heading band and a band per subject with the points and the
// letter.
class ReportCardView
{
public:
    ReportCardView(const ReportCardLayout &layout, const QList<SubjectMark> &subjectMarkArray);

    void paint(ReportPainter &painter) const;

private:
    const ReportCardLayout &m_layout;
    QList<SubjectMark> m_subjectMarkArray;
};
