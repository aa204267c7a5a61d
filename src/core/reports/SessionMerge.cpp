#include "SessionMerge.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/store/GlobalFunctions.h"

#include <QCoreApplication>
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

QString SessionMerge::refusal(Kind kind, const QList<Source> &sources)
{
    if (sources.size() < 2)
        return refusalText();
    for (qsizetype k = 1; k < sources.size(); ++k) {
        const bool fits = kind == Kind::ByClasses ? samePaper(sources.first().quiz, sources.at(k).quiz)
                                                  : sources.first().className == sources.at(k).className;
        if (!fits)
            return refusalText();
    }
    return QString();
}

QuizEntity SessionMerge::merge(Kind kind, const QList<Source> &sources, const QString &name, const QString &now)
{
    if (sources.isEmpty())
        return QuizEntity();
    QuizEntity result = sources.first().quiz;
    result.setActionType(Orvenda_AppDelegate::getActNoByName(result.actionType()));
    result.setName(name);
    result.setDate(now);

    if (kind == Kind::ByQuestions) {
        QString title = sources.first().testTitle;
        QSet<QString> ids;
        for (const StudentEntity &s : result.allStudents())
            ids.insert(s.id());
        for (qsizetype k = 1; k < sources.size(); ++k) {
            const Source &source = sources.at(k);
            title += QStringLiteral("/%1").arg(source.testTitle);
            const int n = int(result.allQuestions().size());
            for (QuestionEntity q : source.quiz.allQuestions()) {
                q.setQuNo(q.quNo() + n);
                result.allQuestions().append(q);
            }
            for (ResponseDataEntity a : source.quiz.allStudentsAns()) {
                a.setQuestionID(QString::number(GlobalFunctions::intValue(a.questionID()) + n));
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
            const QString suffix = QStringLiteral("(%1)").arg(k);
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
    result.setQuestionNum(int(result.allQuestions().size()));
    return result;
}

bool SessionMerge::sameContent(const QuizEntity &written, const QuizEntity &merged)
{
    if (written.name() != merged.name() || written.allQuestions().size() != merged.allQuestions().size()
        || written.allStudents().size() != merged.allStudents().size()
        || written.allStudentsAns().size() != merged.allStudentsAns().size())
        return false;
    for (qsizetype i = 0; i < written.allStudentsAns().size(); ++i) {
        const ResponseDataEntity &w = written.allStudentsAns().at(i), &m = merged.allStudentsAns().at(i);
        if (w.studentID() != m.studentID() || w.questionID() != m.questionID() || w.response() != m.response())
            return false;
    }
    return true;
}
