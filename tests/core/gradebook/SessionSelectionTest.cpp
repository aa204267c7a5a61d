#include "core/gradebook/SessionSelection.h"

#include <gtest/gtest.h>

namespace {
SessionSelect row(const QString &name, const QString &date, const QString &type, bool ticked = false)
{
    SessionSelect r;
    r.setSession(name);
    r.setDate(date);
    r.setType(type);
    r.setIsSelect(ticked);
    return r;
}

SessionTypeInWeight entry(const QString &type, bool counts, float weight)
{
    SessionTypeInWeight e;
    e.setSessionType(type);
    e.setIsSelect(counts);
    e.setWeight(weight);
    return e;
}
} // namespace

TEST(SessionSelection, OnlyTickedTypesWithAWeightCountAndTheirSessionsAreListedNewestFirst)
{
    WeightEntity w;
    w.setSessionTypesInWeight({entry("Exam", true, 60), entry("Lab", true, 0), entry("Homework", false, 40),
                               entry("Quiz", true, 40)});
    const QList<SelectSessionType> types = SessionSelection::countedTypes(w);
    ASSERT_EQ(types.size(), 2);
    EXPECT_EQ(types.at(1).sessionType(), "Quiz");

    const QList<SessionSelect> listed = SessionSelection::listedSessions(
        {row("a", "2012-10-01", "Exam"), row("b", "", "Exam"), row("c", "2012-11-01", "Quiz"), row("d", "x", "Quiz"),
         row("e", "2012-10-01", "Exam"), row("f", "2012-12-01", "Lab"), row("g", "2012-12-01", "exam")},
        types);
    QStringList names;
    for (const SessionSelect &s : listed)
        names << s.session();
    // Same day: as given; unreadable days last, in their order; other types and cases left out.
    EXPECT_EQ(names, (QStringList{"c", "a", "e", "b", "d"}));
}

TEST(SessionSelection, EveryCountedTypeNeedsATickedSession)
{
    SelectSessionType exam, quiz;
    exam.setSessionType("Exam");
    quiz.setSessionType("Quiz");
    EXPECT_EQ(SessionSelection::missingFor({row("a", "", "Exam")}, {exam, quiz}),
              "Please select at least one Session to start with.");
    EXPECT_EQ(SessionSelection::missingFor({row("a", "", "Exam", true), row("b", "", "Quiz")}, {exam, quiz}),
              "Quiz type session missing.Either create a Quiz type session OR Delete Quiz type session from Set Weight.");
    EXPECT_FALSE(SessionSelection::missingFor({row("a", "", "Exam", true), row("b", "", "Quiz", true)}, {exam, quiz}));
}
