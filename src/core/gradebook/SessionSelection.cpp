#include "SessionSelection.h"

#include "core/store/GlobalFunctions.h"

#include <QCoreApplication>

#include <algorithm>

QList<SelectSessionType> SessionSelection::countedTypes(const WeightEntity &weight)
{
    QList<SelectSessionType> out;
    for (const SessionTypeInWeight &entry : weight.sessionTypesInWeight()) {
        if (entry.weight() == 0.0f || !entry.isSelect())
            continue;
        SelectSessionType t;
        t.setSessionType(entry.sessionType());
        t.setWeight(entry.weight());
        t.setSessionNum(entry.sessionTypeNo());
        out << t;
    }
    return out;
}

QList<ConversionLetter> SessionSelection::letters(const LetterGradeEntity &scale)
{
    QList<ConversionLetter> out;
    for (const LetterEntity &l : scale.letterList()) {
        ConversionLetter letter;
        letter.setLetter(l.letter());
        letter.setPointFrom(l.pointFrom());
        letter.setPointTo(l.pointTo());
        letter.setNotes(l.notes());
        out << letter;
    }
    return out;
}

QList<GradePeriod> SessionSelection::periods(const QList<PeriodEntity> &stored)
{
    QList<GradePeriod> out;
    for (const PeriodEntity &p : stored) {
        GradePeriod row;
        row.setPeriodNum(p.no());
        row.setPeriodTitle(p.title());
        row.setDateFrom(p.dateFrom());
        row.setDateTo(p.dateTo());
        out << row;
    }
    return out;
}

QList<SessionSelect> SessionSelection::listedSessions(const QList<SessionSelect> &rows,
                                                      const QList<SelectSessionType> &types)
{
    QList<SessionSelect> out;
    for (const SessionSelect &row : rows)
        if (std::any_of(types.begin(), types.end(), [&](const SelectSessionType &t) { return t.sessionType() == row.type(); }))
            out << row;
    // A total order: a day that cannot be read sorts after every day, so the sort stays sound.
    std::stable_sort(out.begin(), out.end(), [](const SessionSelect &a, const SessionSelect &b) {
        const QDateTime da = GlobalFunctions::dateFromStoredDay(a.date());
        const QDateTime db = GlobalFunctions::dateFromStoredDay(b.date());
        if (!da.isValid() || !db.isValid())
            return da.isValid() && !db.isValid();
        return da > db;
    });
    return out;
}

QString SessionSelection::missingTypeText(const QString &type)
{
    return QCoreApplication::translate("SessionSelectController",
                                       "%1 type session missing.Either create a %1 type session OR Delete %1 type "
                                       "session from Set Weight.")
        .arg(type);
}

std::optional<QString> SessionSelection::missingFor(const QList<SessionSelect> &rows,
                                                    const QList<SelectSessionType> &types)
{
    QList<bool> covered(types.size(), false);
    bool anyTicked = false;
    for (const SessionSelect &row : rows) {
        if (!row.isSelect())
            continue;
        anyTicked = true;
        const auto t = std::find_if(types.begin(), types.end(),
                                    [&](const SelectSessionType &type) { return type.sessionType() == row.type(); });
        if (t == types.end())
            return missingTypeText(row.type());
        covered[t - types.begin()] = true;
    }
    if (!anyTicked)
        return QCoreApplication::translate("SessionSelectController", "Please select at least one Session to start with.");
    for (qsizetype i = 0; i < types.size(); ++i)
        if (!covered.at(i))
            return missingTypeText(types.at(i).sessionType());
    return std::nullopt;
}
