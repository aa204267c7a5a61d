#pragma once

#include "ConversionLetter.h"
#include "GradePeriod.h"
#include "SelectSessionType.h"
#include "core/store/LetterGradeEntity.h"
#include "core/store/PeriodEntity.h"
#include "core/store/SessionSelect.h"
#include "core/store/WeightEntity.h"

#include <QList>
#include <QString>

#include <optional>

// Which sessions a course grade is made of: the counted session types of a weight list, the
// letters of a scale, the listed sessions of a period in order, and the check that every counted
// type has a ticked session.
class SessionSelection
{
public:
    // The entries of the weight list that count: ticked and with a weight other than 0.
    static QList<SelectSessionType> countedTypes(const WeightEntity &weight);
    static QList<ConversionLetter> letters(const LetterGradeEntity &scale);
    // The stored grading periods as the windows list them, in the same order.
    static QList<GradePeriod> periods(const QList<PeriodEntity> &stored);
    // The rows whose type is a counted type's (exact), newest first; rows of one day keep their
    // order, rows without a readable day come last.
    static QList<SessionSelect> listedSessions(const QList<SessionSelect> &rows, const QList<SelectSessionType> &types);
    // What holds the course grade back, as the alert says it; none when the ticked sessions
    // cover every counted type.
    static std::optional<QString> missingFor(const QList<SessionSelect> &rows, const QList<SelectSessionType> &types);
    // The alert text for a counted type without a ticked session.
    static QString missingTypeText(const QString &type);
};
