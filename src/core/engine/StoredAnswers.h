#pragma once

#include <QHash>
#include <QList>
#include <QString>

class QuizEntity;
class ResponseDataEntity;

// The one pairing of a stored session's answer records with its questions, used by every window
// and report that shows, scores or rewrites stored answers. A record belongs to the question whose
// stored number its question number names (the number's plain decimal text: "01" names none),
// wherever that question stands in the file and in whatever order the records are kept. When
// several questions carry one number, a student's records naming it go to those questions in
// their stored order, one each. A record for which there is no such question left (a second
// answer of a student to one question, a number no question carries) belongs to none and counts
// for nothing.
//
// The records point into the session's answer list: the session must outlive the index.
class StoredAnswers
{
public:
    explicit StoredAnswers(const QuizEntity &quiz);

    // One entry per question in stored order, nullptr where the student has no answer.
    QList<const ResponseDataEntity *> answersOf(const QString &studentID) const;
    // The student's answer to the question at position (0-based, stored order); nullptr for none.
    const ResponseDataEntity *find(const QString &studentID, int position) const;
    // Its response; "" when there is none.
    QString reply(const QString &studentID, int position) const;

    // For each answer record, in stored order, the position of the question it belongs to; -1
    // for a record that belongs to none.
    const QList<int> &questionOfRecords() const { return m_questionOfRecord; }
    // Whether another question of the session carries the stored number of the one at position.
    bool numberIsShared(int position) const;

private:
    int m_questions = 0;
    QList<int> m_questionOfRecord;
    QList<bool> m_shared;
    QHash<QString, QList<const ResponseDataEntity *>> m_byStudent;
};
