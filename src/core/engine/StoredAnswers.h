#pragma once

#include <QHash>
#include <QList>
#include <QString>

class QuizEntity;
class ResponseDataEntity;

// The answers of a stored session by student and question, gathered in one pass: a student's
// answer to the question at position k (1-based, stored order) is their first record whose
// question number is k's own decimal text; later records for the same question count for
// nothing. Pairing by number, never by a record's place in the file, keeps an answer with its
// question when records are stored out of order or one is missing.
//
// The records point into the session's answer list: the session must outlive the index.
class StoredAnswers
{
public:
    explicit StoredAnswers(const QuizEntity &quiz);

    // One entry per question position (index k - 1), nullptr where the student has no answer.
    QList<const ResponseDataEntity *> answersOf(const QString &studentID) const;

    // The position (1..count) a stored question number names, 0 for none ("01" names none).
    static int positionNamed(const QString &questionID, int count);

private:
    int m_questions = 0;
    QHash<QString, QList<const ResponseDataEntity *>> m_first;
};
