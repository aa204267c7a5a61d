#pragma once

#include "CorrectRateStatisticsByAnswerTimeLayout.h"
#include "CorrectRateStatisticsByAnswerTimePrintDate.h"

#include <QList>

class ReportPainter;

// One page of the correct-rate statistics: a question's title with the answer note when the page
// starts the question, then band captions, headings, the students' rows (right answers pale,
// wrong ones grey) and each band's correct rate.
class CorrectRateStatisticsByAnswerTimeView
{
public:
    CorrectRateStatisticsByAnswerTimeView(const CorrectRateStatisticsByAnswerTimeLayout &layout,
                                          const QList<CorrectRateStatisticsByAnswerTimePrintDate> &printDateStrArray);

    void paint(ReportPainter &painter) const;

private:
    const CorrectRateStatisticsByAnswerTimeLayout &m_layout;
    QList<CorrectRateStatisticsByAnswerTimePrintDate> m_rows;
};
