#pragma once

#include <QHash>
#include <QPair>
#include <QString>

class QuizEntity;
class ResponseDataEntity;

// The answer that counts for each student and question of a session: the first stored record of
// the pair (a merged or rewritten file may hold later ones, which are passed over). Gathered in
// one pass; it points into the session's answers, which must outlive it unchanged.
class FirstAnswers
{
public:
    explicit FirstAnswers(const QuizEntity &quiz);

    // The record, or nullptr when the student gave no answer to the question (its number text).
    const ResponseDataEntity *find(const QString &studentID, const QString &questionID) const;
    // Its reply; "" when there is none.
    QString reply(const QString &studentID, const QString &questionID) const;

private:
    QHash<QPair<QString, QString>, const ResponseDataEntity *> m_first;
};
