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
    // "" when the sessions may be merged so: by classes only on one paper (answers are paired
    // with S1's questions), by questions only within one class.
    static QString refusal(Kind kind, const QList<Source> &sources);
    // The merged record, S1 being the base: named name, dated now ("YYYY-MM-DDTHH:MM:SS").
    // By questions: the titles joined with "/", each further session's questions and answers
    // numbered on after those already there, the total mark the sum of all points, and the
    // students of S1 followed by those of later sessions whose ID is not there yet. By classes:
    // the class names joined with "/", the students and answers of the k-th further session
    // with "(k)" appended to their IDs and names.
    static QuizEntity merge(Kind kind, const QList<Source> &sources, const QString &name, const QString &now);
    // Whether a session read back from its file holds what was merged into it.
    static bool sameContent(const QuizEntity &written, const QuizEntity &merged);
};
