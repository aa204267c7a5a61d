#pragma once

#include "ItemAnalysisLayout.h"
#include "Question.h"

#include <QList>

class ReportPainter;

// One page of the Response Spread Report: a row per question with the share of the class for
// each letter A to J and the rest as Other; "--" across the row of a question that is neither
// single-answer nor true-or-false.
class ItemAnalysisView
{
public:
    // noStudents: the session has no students, and Other shows 0 like every share.
    ItemAnalysisView(const ItemAnalysisLayout &layout, const QList<Question> &questionArray, bool noStudents = false);

    void paint(ReportPainter &painter) const;

private:
    const ItemAnalysisLayout &m_layout;
    QList<Question> m_rows;
    bool m_noStudents;
};
