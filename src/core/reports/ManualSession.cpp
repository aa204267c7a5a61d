#include "ManualSession.h"

#include "AnswerTextRules.h"

#include "core/base/ActivityCodes.h"
#include "core/base/AppDelegateBase.h"
#include "core/base/CommonFunc.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/AnswerScoring.h"

int ManualSession::defaultSessionType(const QStringList &names)
{
    const qsizetype quiz = names.indexOf(ActivityRules::sessionType(Activity::NormalQuiz));
    return quiz >= 0 ? int(quiz) : (names.isEmpty() ? -1 : 0);
}

QStringList ManualSession::levelNames()
{
    return {QStringLiteral("Other"), QStringLiteral("Easy"), QStringLiteral("Normal"), QStringLiteral("Hard")};
}

QuizEntity ManualSession::stamped(const Header &header, const QString &now)
{
    QuizEntity quiz;
    const QString when = header.day.toString(QStringLiteral("yyyy-MM-dd")) + now.mid(10);
    quiz.setActionType(AppDelegateBase::getActModeByNo(0));
    quiz.setName(header.name);
    quiz.setSessionType(header.sessionType);
    quiz.setStartTime(when);
    quiz.setDate(when);
    quiz.setClassName(header.className);
    quiz.setSubject(header.subject);
    quiz.setTeacherName(header.teacherName);
    quiz.setMachineName(AppDelegateBase::getMachineTypeByNo(header.deviceType));
    return quiz;
}

QString ManualSession::refusal(QList<ActionDetail> &questions, int *question)
{
    QList<QString> settled;
    for (int i = 0; i < questions.size(); ++i) {
        const ActionDetail &q = questions.at(i);
        QString correct = q.correctAnswer();
        const QString why =
            AnswerTextRules::entrySaveRefusal(&correct, AnswerTextRules::kindOfName(q.quMode()), q.numOfOptions());
        if (!why.isEmpty()) {
            if (question)
                *question = i;
            return why;
        }
        settled.append(correct);
    }
    for (int i = 0; i < questions.size(); ++i)
        questions[i].setCorrectAnswer(settled.at(i));
    return QString();
}

QuizEntity ManualSession::build(const Header &header, QList<ActionDetail> &questions, QList<StudentEntity> students,
                                const QString &now)
{
    using Kind = AnswerTextRules::Kind;
    QuizEntity quiz = stamped(header, now);
    quiz.setTitle(header.title);
    quiz.setQuestionNum(int(questions.size()));
    quiz.setIsCoureGrade(false);

    int total = 0;
    for (int k = 1; k <= questions.size(); ++k) {
        ActionDetail &row = questions[k - 1];
        const Kind kind = AnswerTextRules::kindOfName(row.quMode());
        if (kind == Kind::Multiple)
            row.setCorrectAnswer(sortString(row.correctAnswer()));
        QuestionEntity q;
        q.setQuNo(k);
        q.setOptionNum(row.numOfOptions());
        q.setMark(row.point());
        q.setDesMark(row.point());
        q.setLevel(QString::number(qMax(0, levelNames().indexOf(row.quLevel()))));
        q.setRightAns(row.correctAnswer());
        q.setQuType(AnswerTextRules::codeOfName(row.quMode()));
        q.setQuMode(quiz.actionType());
        q.setTitle(row.question());
        const int options = kind == Kind::Single || kind == Kind::Multiple ? row.numOfOptions()
                            : kind == Kind::TrueFalse                      ? 2
                                                                           : 10;
        for (int o = 0; o < options; ++o) {
            QuestionOptionEntity option;
            option.setOptionID(o);
            option.setPoint(0);
            q.allOptions().append(option);
        }
        StandardEntity standard;
        standard.setCode(row.code());
        standard.setTitle(row.standard());
        q.setStandard(standard);
        quiz.allQuestions().append(q);
        total += row.point();
    }
    quiz.setTotalMark(QString::number(total));

    for (StudentEntity &s : students)
        s.setLoginTime(now);
    quiz.setAllStudents(students);

    for (int k = 1; k <= questions.size(); ++k) {
        const ActionDetail &row = questions.at(k - 1);
        const Kind kind = AnswerTextRules::kindOfName(row.quMode());
        for (const SingleColumnString &cell : row.studentAnswerArray()) {
            const QString answer = cell.str();
            if (!AnswerTextRules::recordsAnswer(answer, header.deviceType))
                continue;
            QString response = answer;
            if (kind == Kind::TrueFalse)
                response = stringToTureFalseString(response);
            else if (kind == Kind::Multiple)
                response = sortString(response);
            ResponseDataEntity a;
            a.setStudentID(cell.stuID());
            a.setQuestionID(QString::number(k));
            a.setResponse(response);
            a.setStudentPoint(QString::number(AnswerScoring::points(response, row.correctAnswer(), row.point(),
                                                                    AnswerScoring::WrongAnswer::ScoresNothing)));
            quiz.allStudentsAns().append(a);
        }
    }
    return quiz;
}
