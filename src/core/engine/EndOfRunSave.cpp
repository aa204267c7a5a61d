#include "EndOfRunSave.h"

#include "core/base/AppDelegateBase.h"
#include "core/base/CommonFunc.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/AnswerScoring.h"
#include "core/engine/GroupPoints.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/Log.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSet>

namespace {
QString prepared(const QString &text)
{
    return EndOfRunSave::getMaxLengString(GlobalFunctions::toXmlString(text));
}

void applyTimes(QuizEntity &quiz, const QStringList &times)
{
    if (times.size() <= 1)
        return;
    quiz.setStartTime(times.at(0));
    quiz.setEndTime(times.at(1));
    if (times.size() > 2)
        quiz.setTimeElapsed(times.at(2).toInt());
}

QuestionEntity questionRecord(int k, int n, int type)
{
    auto *qqs = QuizQuestions::shareManager();
    const int points = qqs->point(n);
    QuestionEntity q;
    q.setQuNo(k);
    q.setMark(points);
    q.setDesMark(points);
    q.setTime(qqs->quizTime(n));
    q.setLevel(QString::number(qqs->nDiffcult(n)));
    const QString rightAnswer = trimString(qqs->answer(n));
    q.setRightAns(rightAnswer.isEmpty() ? QStringLiteral("No Answer") : rightAnswer);
    q.setQuType(AppDelegateBase::getQueTypeByNo(type));
    q.setQuMode(AppDelegateBase::getActModeByNo(qqs->actionMode(n)));
    q.setTitle(prepared(qqs->questionTitle(n)));
    q.setOptionNum(qqs->optionNum(n));
    QList<QuestionOptionEntity> options;
    for (int id = 0; id < qqs->optionNum(n); ++id) {
        QuestionOptionEntity option;
        option.setOptionID(id);
        option.setPoint(0);
        if (id <= 9)
            option.setText(prepared(qqs->option(id, n)));
        options << option;
    }
    q.setAllOptions(options);
    const QStringList parts = qqs->standard(n).split(QStringLiteral("_&#"));
    StandardEntity standard;
    if (parts.size() >= 2) {
        standard.setCode(parts.at(0));
        standard.setTitle(parts.at(1));
    } else if (qqs->standardTitle(n).isEmpty()) {
        standard.setCode(QStringLiteral(""));
        standard.setTitle(QStringLiteral(""));
    } else {
        standard.setCode(qqs->standard(n));
        standard.setTitle(qqs->standardTitle(n));
    }
    q.setStandard(standard);
    return q;
}
} // namespace

QString EndOfRunSave::proposedName(const Run &run)
{
    const int activity = run.curActivityMode;
    if (keepsNothing(activity))
        return QStringLiteral("Quick Grouping");
    const bool fileNamesIt = !(activity == 6 || activity == 8 || activity == 9 || activity == 10 || activity == 11
                               || activity == 14);
    if (const QString base = QFileInfo(run.strFileName).completeBaseName(); fileNamesIt && !base.isEmpty())
        return base;
    QDateTime started = QDateTime::fromString(run.arrQuizTime.value(0), Qt::ISODate);
    if (!started.isValid())
        started = QDateTime::currentDateTime();
    const QString name =
        (ActivityRules::name(activity) + QLatin1Char(' ') + started.toString(QStringLiteral("yyyy-MM-dd HH:mm"))).trimmed();
    // Two roll calls of one lesson are told apart in the Report window's list by name.
    QSet<QString> taken;
    for (const TovSessionXmlParsedResult &saved : TovFastQuizXmlDatabase::readHeaders())
        taken.insert(saved.Name());
    QString unique = name;
    for (int n = 2; taken.contains(unique); ++n)
        unique = name + QStringLiteral(" (%1)").arg(n);
    return unique;
}

QString EndOfRunSave::testTitle(int activity, bool freeStyle, const QString &fileName)
{
    return freeStyle || ActivityRules::isFreeStyle(activity) ? QString() : fileName;
}

QString EndOfRunSave::getMaxLengString(const QString &text)
{
    return text.size() > 230 ? text.left(227) + QStringLiteral("...") : text;
}

void EndOfRunSave::removeQuizRecord()
{
    QuizData::shareManager()->removeActivityRecord();
    QuizQuestions::shareManager()->removeAllQuestionsInfo();
}

QuizEntity EndOfRunSave::NormalSave(const QString &name, Run &run)
{
    auto *qpd = QuizParticipantData::shareManager();
    auto *qd = QuizData::shareManager();
    auto *qqs = QuizQuestions::shareManager();
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();

    QuizEntity quiz;
    quiz.setName(name);
    quiz.setTitle(testTitle(run.curActivityMode, run.bIsFreeStyle, run.strFileName));
    if (run.bIsFreeStyle || ActivityRules::isFreeStyle(run.curActivityMode)) {
        run.curActivityMode = ActivityRules::savedActivity(run.curActivityMode);
        run.strFileName.clear();
    }
    const QString sessionCode = ActivityRules::storedCode(run.curActivityMode);
    quiz.setActionType(sessionCode);
    quiz.setClassName(qpd->className());
    quiz.setSubject(qpd->subjectName());
    quiz.setTeacherName(qpd->teacherName());
    quiz.setMachineName(QString::number(app ? app->currentDeviceType() : run.curDeviceType));
    quiz.setSessionType(ActivityRules::sessionType(run.curActivityMode));
    quiz.setDate(GetDateTimeNow());
    quiz.setGroup(run.nIsGroup != 0 ? qpd->maxGroupNo() : 1);
    applyTimes(quiz, run.arrQuizTime);

    const QList<StudentInClassPtr> logins = qpd->arrayLoginStudents();
    QList<QuestionEntity> questions;
    QList<ResponseDataEntity> responses;
    int totalMark = 0;
    const QList<int> asked = qd->arrayAlreadyTestQuestionNo();
    for (int k = 1; k <= asked.size(); ++k) {
        const int n = asked.at(k - 1);
        int type = qqs->questionType(n);
        if (type == 10)
            type = 2;
        const int points = qqs->point(n);
        const QuestionEntity q = questionRecord(k, n, type);
        const QString rightAnswer = trimString(qqs->answer(n));
        totalMark += points;
        questions << q;
        // Scored as the session file will be read again: by its activity code and the
        // question's stored mode.
        const AnswerScoring::WrongAnswer rule = AnswerScoring::storedWrongAnswerRule(sessionCode, q.quMode());

        // Answer slots follow the logged-in students position by position; never read past
        // either list.
        const int answerSlots = std::min(qd->getSumOfAnswerStudents(n), int(logins.size()));
        for (int j = 1; j <= answerSlots; ++j) {
            const StudentInClassPtr &s = logins.at(j - 1);
            if (!s)
                continue;
            QString a = qd->getStudentAnswer(n, s->deviceNo());
            if (type == 0 || type == 1)
                a = a.toUpper();
            if (a.isEmpty())
                a = QStringLiteral("__");
            ResponseDataEntity r;
            r.setStudentID(s->studentID());
            r.setQuestionID(QString::number(k));
            r.setResponse(trimString(GlobalFunctions::toXmlString(a)));
            r.setTime(qd->getStudentAnswerTime(n, s->deviceNo()));
            r.setStudentPoint(QString::number(AnswerScoring::points(a, rightAnswer, points, rule)));
            responses << r;
        }
    }
    quiz.setAllQuestions(questions);
    quiz.setQuestionNum(int(questions.size()));
    quiz.setAllStudentsAns(responses);
    quiz.setTotalMark(QString::number(totalMark));
    quiz.setAllStudents(run.arrStuLoginContentTime);
    if (run.nIsGroup != 0) {
        QMap<int, int> extra;
        for (int g = 1; g <= qpd->maxGroupNo(); ++g)
            extra.insert(g, GroupPoints::runAppendPoints(g));
        quiz.setGroupAppendPoints(extra);
    }
    return quiz;
}

QuizEntity EndOfRunSave::RollCallSave(const QString &name, const Run &run)
{
    auto *qpd = QuizParticipantData::shareManager();
    auto *qd = QuizData::shareManager();

    QuizEntity quiz;
    quiz.setName(name);
    quiz.setTitle(QStringLiteral(""));
    quiz.setActionType(ActivityRules::storedCode(run.curActivityMode));
    quiz.setClassName(qpd->className());
    quiz.setSubject(qpd->subjectName());
    quiz.setTeacherName(qpd->teacherName());
    quiz.setQuestionNum(int(qd->arrayAlreadyTestQuestionNo().size()));
    quiz.setMachineName(AppDelegateBase::getMachineTypeByNo(run.curDeviceType));
    quiz.setSessionType(QStringLiteral("Exam"));
    quiz.setGroup(1);
    quiz.setDate(GetDateTimeNow());
    applyTimes(quiz, run.arrQuizTime);
    quiz.setAllStudents(run.arrStuLoginContentTime);

    RollCallEntity rollCall;
    rollCall.setRollCallTime(run.arrQuizTime.value(0));
    QString absent = QStringLiteral("|");
    for (const StudentInClassPtr &s : qpd->arrayClassStudents()) {
        if (s && qd->getStudentAnswer(1, s->deviceNo()).isEmpty())
            absent += s->studentID() + QLatin1Char('|');
    }
    rollCall.setAbsenceStu(absent);
    quiz.setAllRollCall({rollCall});
    return quiz;
}

bool EndOfRunSave::save(const QString &name, Run run, QString *writtenPath, QString *errorText)
{
    if (writtenPath)
        writtenPath->clear();
    if (keepsNothing(run.curActivityMode))
        return true;
    QuizEntity quiz = keepsRollCall(run.curActivityMode) ? RollCallSave(name, run) : NormalSave(name, run);
    QString path;
    if (!write(quiz, &path, errorText))
        return false;
    PollixLog(QStringLiteral("Session saved: %1").arg(path));
    if (writtenPath)
        *writtenPath = path;
    return true;
}

bool EndOfRunSave::write(QuizEntity &quiz, QString *writtenPath, QString *errorText)
{
    return TovQuizXmlDatabase().addQuizWithName(quiz.name(), quiz, writtenPath, errorText);
}
