#pragma once

#include "SingleColumnString.h"
#include "StudentAnswers.h"
#include "StudentResponseResultLayout.h"

#include <QList>

class ReportPainter;

// One page of the Student Response Result: the title, note and student bars (with the student's
// total points), then the page's lines of the question paper as the student answered it: question
// texts on light blue with the points gained, options and the answer line after them on pale
// blue, marks of questions without options, and each answer with a tick or a cross in red.
class StudentResponseResultView
{
public:
    // The answer line of the question at position p has num p (1-based) and this kind.
    static constexpr int kAnswerLine = 13;

    // student: the student with one answer per question (str the reply, "" for none; num 1 when
    // right; point the points gained); lines: the page's lines of the question paper.
    StudentResponseResultView(const StudentResponseResultLayout &layout, const StudentAnswers<> &student,
                              const QList<SingleColumnString> &lines);

    void paint(ReportPainter &painter) const;

private:
    const StudentResponseResultLayout &m_layout;
    StudentAnswers<> m_student;
    QList<SingleColumnString> m_lines;
};
