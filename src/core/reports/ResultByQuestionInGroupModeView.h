#pragma once

#include "Question.h"
#include "ResultByQuestionInGroupModeLayout.h"
#include "ResultsByQuestionInGroupModePrintDate.h"

#include <QList>

class ReportPainter;

// One page of the group-mode Result By Question: the header block of the page's question (its
// number, the note on "__" and "__N", its text and correct answer) and the page's rows, each
// drawn by its kind. Row i of the page draws on line i + 1 under the header (a group's title on
// line i, its band four lines high).
class ResultByQuestionInGroupModeView
{
public:
    ResultByQuestionInGroupModeView(const ResultByQuestionInGroupModeLayout &layout,
                                    const QList<ResultsByQuestionInGroupModePrintDate> &rows, const Question &question,
                                    int quNum);

    void paint(ReportPainter &painter) const;
    // The question's text as the header shows it.
    static QStringList titleLines(const QString &title, const ResultByQuestionInGroupModeLayout &layout);

private:
    const ResultByQuestionInGroupModeLayout &m_layout;
    QList<ResultsByQuestionInGroupModePrintDate> m_rows;
    Question m_question;
    int m_quNum;
};
