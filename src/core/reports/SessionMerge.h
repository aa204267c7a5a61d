#pragma once

#include "core/store/QuizEntity.h"

#include <QList>
#include <QString>

// Two or more stored sessions of one subject joined into one new session: by questions (one class
// answered several papers, laid end to end) or by classes (several classes answered one paper,
// their students put together). Pure: the caller loads the sessions and stores the result.
class SessionMerge
{
public:
    enum class Kind { ByQuestions, ByClasses };
    struct Source
    {
        // As the session list shows them.
        QString testTitle;
        QString className;
        QuizEntity quiz;
    };
    // "Please select the same class, subject, test paper to merge ."
    static QString refusalText();
    // Whether two sessions were answered on the same paper: the same title and, question by
    // question, the same number, type and text.
    static bool samePaper(const QuizEntity &a, const QuizEntity &b);
    // Why sessions of these kinds (points-only or with questions) cannot be merged at all, "" when
    // they can. A points-only session keeps one total per student against its own session total,
    // and the course grades weigh each such session on its own: joined, the sum would count as
    // one session, so neither they nor a mixture with question sessions are merged.
    static QString kindRefusal(int pointsOnly, int count);
    // "" when the sessions may be merged so: by classes only on one paper (answers are paired
    // with S1's questions), by questions only within one class; never points-only sessions; by
    // questions never a session holding answers to a number none of its questions carries (the
    // answer would land on another paper's question). Each reason names what it refuses.
    static QString refusal(Kind kind, const QList<Source> &sources);
    // The merged record, S1 being the base: named name, dated now ("YYYY-MM-DDTHH:MM:SS").
    // By questions: the titles joined with "/", the questions of all sessions numbered 1 to n in
    // order, each answer under the new number of the question it belonged to (StoredAnswers),
    // the total mark the sum of all points, and the students of S1 followed by those of later
    // sessions whose ID is not there yet. By classes: the class names joined with "/", the
    // students and answers of the k-th further session with "(k)" appended to their IDs and
    // names. Both ways each group's extra points are those of all the sources added up. Only for
    // sources refusal() lets pass.
    static QuizEntity merge(Kind kind, const QList<Source> &sources, const QString &name, const QString &now);
    // Why merged does not carry every answer record of the sources (student, reply, points and
    // time, under the question it belonged to), every student and every group's extra points, ""
    // when it does.
    static QString lossOf(Kind kind, const QList<Source> &sources, const QuizEntity &merged);
    // Whether a session read back from its file holds what was merged into it: the header, every
    // question, student and answer record with its points, each group's extra points.
    static bool sameContent(const QuizEntity &written, const QuizEntity &merged);
};
