#pragma once

#include "ConversionLetter.h"
#include "SelectSessionType.h"
#include "core/store/PeriodEntity.h"
#include "core/store/SessionSelect.h"

#include <QList>
#include <QString>

// What the gradebook reports of a course grade take from its session selection: the head texts,
// the grading period, the weight list and the letter scale with their entries, and the sessions
// ticked, in the selection's order.
struct GradebookReportSource
{
    QString subjectGrade;
    QString className;
    QString subjectName;
    QString teacherName;
    QString weightTitle;
    QString letterTitle;
    PeriodEntity period;
    QList<SelectSessionType> sessionWeightArray;
    QList<ConversionLetter> conversionLetterArray;
    QList<SessionSelect> tickedSessions;

    // "from~to" of the period, as the heads show it.
    QString gradingPeriod() const { return QStringLiteral("%1~%2").arg(period.dateFrom(), period.dateTo()); }
};
