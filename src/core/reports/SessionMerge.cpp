#include "SessionMerge.h"

#include "core/base/AppDelegateBase.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/GlobalFunctions.h"

#include <QCoreApplication>
#include <QHash>
#include <QMap>
#include <QSet>

QString SessionMerge::refusalText()
{
    return QCoreApplication::translate("SessionMerge", "Please select the same class, subject, test paper to merge .");
}

bool SessionMerge::samePaper(const QuizEntity &a, const QuizEntity &b)
{
    if (a.title() != b.title() || a.allQuestions().size() != b.allQuestions().size())
        return false;
    for (qsizetype i = 0; i < a.allQuestions().size(); ++i) {
        const QuestionEntity &x = a.allQuestions().at(i), &y = b.allQuestions().at(i);
        if (x.quNo() != y.quNo() || x.quType() != y.quType() || x.title() != y.title())
            return false;
    }
    return true;
}

QString SessionMerge::kindRefusal(int pointsOnly, int count)
{
    if (pointsOnly == 0)
        return QString();
    if (pointsOnly < count)
        return QCoreApplication::translate("SessionMerge",
                                           "A points-only session cannot be merged with sessions that have questions.");
    return QCoreApplication::translate(
        "SessionMerge", "Points-only sessions cannot be merged: each keeps its own total, and the course grade counts "
                        "each of them as a session of its own.");
}

namespace {
// The suffix the students of the k-th further session take when classes are put together.
QString classSuffix(qsizetype k)
{
    return k == 0 ? QString() : QStringLiteral("(%1)").arg(k);
}

// Each group's extra points over all the sources: a group's members' points add up across them,
// and so do its extra points.
QMap<int, int> groupAppendPointsOf(const QList<SessionMerge::Source> &sources)
{
    QMap<int, int> points;
    for (const SessionMerge::Source &source : sources) {
        const QMap<int, int> own = source.quiz.groupAppendPoints();
        for (auto it = own.cbegin(); it != own.cend(); ++it)
            points[it.key()] += it.value();
    }
    return points;
}

// The position of the first question of quiz carrying each stored number.
QHash<QString, int> firstCarriers(const QuizEntity &quiz)
{
    QHash<QString, int> carriers;
    // From the last, so that the first carrier is the one left.
    for (int p = int(quiz.allQuestions().size()) - 1; p >= 0; --p)
        carriers.insert(QString::number(quiz.allQuestions().at(p).quNo()), p);
    return carriers;
}

// The question each record of the source belongs to; a later record of a student for a question
// already answered goes with that question (it counts for nothing there as here); -1 for a record
// naming a number no question carries.
QList<int> recordQuestions(const QuizEntity &quiz)
{
    QList<int> positions = StoredAnswers(quiz).questionOfRecords();
    const QHash<QString, int> carriers = firstCarriers(quiz);
    for (int i = 0; i < positions.size(); ++i)
        if (positions.at(i) < 0)
            positions[i] = carriers.value(quiz.allStudentsAns().at(i).questionID(), -1);
    return positions;
}
} // namespace

QString SessionMerge::refusal(Kind kind, const QList<Source> &sources)
{
    if (sources.size() < 2)
        return refusalText();
    int pointsOnly = 0;
    for (const Source &source : sources)
        pointsOnly += source.quiz.isCoureGrade() ? 1 : 0;
    const QString kinds = kindRefusal(pointsOnly, int(sources.size()));
    if (!kinds.isEmpty())
        return kinds;
    for (qsizetype k = 1; k < sources.size(); ++k) {
        const bool fits = kind == Kind::ByClasses ? samePaper(sources.first().quiz, sources.at(k).quiz)
                                                  : sources.first().className == sources.at(k).className;
        if (!fits)
            return refusalText();
    }
    if (kind == Kind::ByQuestions)
        for (const Source &source : sources)
            if (recordQuestions(source.quiz).contains(-1))
                return QCoreApplication::translate("SessionMerge",
                                                   "The session \"%1\" holds answers to questions it does not have; "
                                                   "laid after another paper they would count for other questions.")
                    .arg(source.quiz.name());
    return QString();
}

QuizEntity SessionMerge::merge(Kind kind, const QList<Source> &sources, const QString &name, const QString &now)
{
    if (sources.isEmpty())
        return QuizEntity();
    QuizEntity result = sources.first().quiz;
    result.setActionType(AppDelegateBase::getActNoByName(result.actionType()));
    result.setName(name);
    result.setDate(now);

    if (kind == Kind::ByQuestions) {
        result.allQuestions().clear();
        result.allStudentsAns().clear();
        QString title;
        QSet<QString> ids;
        for (const StudentEntity &s : result.allStudents())
            ids.insert(s.id());
        for (qsizetype k = 0; k < sources.size(); ++k) {
            const Source &source = sources.at(k);
            title += k == 0 ? source.testTitle : QStringLiteral("/%1").arg(source.testTitle);
            // Numbered on from the questions already there, each answer going with its question
            // whatever numbers the source kept.
            const int n = int(result.allQuestions().size());
            for (int p = 0; p < source.quiz.allQuestions().size(); ++p) {
                QuestionEntity q = source.quiz.allQuestions().at(p);
                q.setQuNo(n + p + 1);
                result.allQuestions().append(q);
            }
            const QList<int> positions = recordQuestions(source.quiz);
            for (int i = 0; i < positions.size(); ++i) {
                if (positions.at(i) < 0)
                    continue;
                ResponseDataEntity a = source.quiz.allStudentsAns().at(i);
                a.setQuestionID(QString::number(n + positions.at(i) + 1));
                result.allStudentsAns().append(a);
            }
            // A student absent from the first paper still has answers to the later ones.
            for (const StudentEntity &s : source.quiz.allStudents())
                if (!ids.contains(s.id())) {
                    ids.insert(s.id());
                    result.allStudents().append(s);
                }
        }
        result.setTitle(title);
        int total = 0;
        for (const QuestionEntity &q : result.allQuestions())
            total += q.mark();
        result.setTotalMark(QString::number(total));
    } else {
        QString className = sources.first().className;
        for (qsizetype k = 1; k < sources.size(); ++k) {
            const Source &source = sources.at(k);
            className += QStringLiteral("/%1").arg(source.className);
            const QString suffix = classSuffix(k);
            for (ResponseDataEntity a : source.quiz.allStudentsAns()) {
                a.setStudentID(a.studentID() + suffix);
                result.allStudentsAns().append(a);
            }
            for (StudentEntity s : source.quiz.allStudents()) {
                s.setId(s.id() + suffix);
                s.setFirstName(s.firstName() + suffix);
                s.setLastName(s.lastName() + suffix);
                result.allStudents().append(s);
            }
        }
        result.setClassName(className);
    }
    result.setGroupAppendPoints(groupAppendPointsOf(sources));
    result.setQuestionNum(int(result.allQuestions().size()));
    return result;
}

QString SessionMerge::lossOf(Kind kind, const QList<Source> &sources, const QuizEntity &merged)
{
    const auto why = [](const char *text) { return QCoreApplication::translate("SessionMerge", text); };
    if (merged.isCoureGrade())
        return why("The merged session would lose the students' points.");
    qsizetype records = 0;
    for (const Source &source : sources)
        records += source.quiz.allStudentsAns().size();
    if (merged.allStudentsAns().size() != records)
        return why("The merged session would not hold every answer.");

    const StoredAnswers after(merged);
    QHash<QString, const StudentEntity *> students;
    for (const StudentEntity &s : merged.allStudents())
        students.insert(s.id(), &s);
    QHash<QString, int> pointsAfter, pointsBefore;
    for (const ResponseDataEntity &a : merged.allStudentsAns())
        pointsAfter[a.studentID()] += GlobalFunctions::intValue(a.studentPoint());

    int offset = 0;
    for (qsizetype k = 0; k < sources.size(); ++k) {
        const QuizEntity &source = sources.at(k).quiz;
        const QString suffix = kind == Kind::ByClasses ? classSuffix(k) : QString();
        const int shift = kind == Kind::ByQuestions ? offset : 0;
        const QList<QuestionEntity> &questions = source.allQuestions();
        for (int p = 0; p < questions.size(); ++p) {
            if (shift + p >= merged.allQuestions().size())
                return why("The merged session would not hold every question.");
            const QuestionEntity &q = questions.at(p), &m = merged.allQuestions().at(shift + p);
            if (q.mark() != m.mark() || q.rightAns() != m.rightAns() || q.title() != m.title() || q.quType() != m.quType())
                return why("The merged session would change a question.");
        }
        const StoredAnswers before(source);
        for (const StudentEntity &s : source.allStudents()) {
            const StudentEntity *kept = students.value(s.id() + suffix);
            if (!kept || (kind == Kind::ByClasses && kept->totalMark() != s.totalMark()))
                return why("The merged session would lose a student.");
        }
        for (const ResponseDataEntity &a : source.allStudentsAns())
            pointsBefore[a.studentID() + suffix] += GlobalFunctions::intValue(a.studentPoint());
        QSet<QString> answered;
        for (const ResponseDataEntity &a : source.allStudentsAns())
            answered.insert(a.studentID());
        for (const QString &id : answered)
            for (int p = 0; p < questions.size(); ++p) {
                const ResponseDataEntity *was = before.find(id, p), *is = after.find(id + suffix, shift + p);
                if (bool(was) != bool(is)
                    || (was && (was->response() != is->response() || was->studentPoint() != is->studentPoint())))
                    return why("The merged session would move an answer to another question.");
            }
        offset += int(questions.size());
    }
    if (pointsBefore != pointsAfter)
        return why("The merged session would change a student's points.");
    if (merged.groupAppendPoints() != groupAppendPointsOf(sources))
        return why("The merged session would change a group's extra points.");
    if (kind == Kind::ByQuestions && merged.allQuestions().size() != offset)
        return why("The merged session would not hold every question.");
    return QString();
}

bool SessionMerge::sameContent(const QuizEntity &written, const QuizEntity &merged)
{
    const auto blank = [](const QString &t) { return t.isEmpty() ? QStringLiteral(" ") : t; };
    if (written.name() != merged.name() || blank(written.title()) != blank(merged.title())
        || written.className() != merged.className() || written.subject() != merged.subject()
        || written.teacherName() != merged.teacherName() || written.sessionType() != merged.sessionType()
        || written.totalMark() != merged.totalMark() || written.isCoureGrade() != merged.isCoureGrade()
        || written.allQuestions().size() != merged.allQuestions().size()
        || written.allStudents().size() != merged.allStudents().size()
        || written.allStudentsAns().size() != merged.allStudentsAns().size()
        || written.groupAppendPoints() != merged.groupAppendPoints())
        return false;
    for (qsizetype i = 0; i < written.allQuestions().size(); ++i) {
        const QuestionEntity &w = written.allQuestions().at(i), &m = merged.allQuestions().at(i);
        if (w.quNo() != m.quNo() || w.quType() != m.quType() || w.mark() != m.mark() || w.rightAns() != m.rightAns()
            || w.title() != m.title() || w.allOptions().size() != m.allOptions().size())
            return false;
    }
    for (qsizetype i = 0; i < written.allStudents().size(); ++i) {
        const StudentEntity &w = written.allStudents().at(i), &m = merged.allStudents().at(i);
        if (w.id() != m.id() || w.firstName() != m.firstName() || w.lastName() != m.lastName()
            || w.totalMark() != m.totalMark())
            return false;
    }
    for (qsizetype i = 0; i < written.allStudentsAns().size(); ++i) {
        const ResponseDataEntity &w = written.allStudentsAns().at(i), &m = merged.allStudentsAns().at(i);
        if (w.studentID() != m.studentID() || w.questionID() != m.questionID() || w.response() != m.response()
            || w.studentPoint() != m.studentPoint() || w.time() != m.time())
            return false;
    }
    return true;
}
