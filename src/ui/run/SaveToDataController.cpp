#include "SaveToDataController.h"

#include "core/base/CommonFunc.h"
#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/AnswerScoring.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/reports/ReportDrawing.h"
#include "core/keypad/DataOfFrame.h"
#include "core/keypad/KeypadMouse.h"
#include "core/keypad/TeacherKeyMap.h"
#include "core/keypad/TovDevice.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/Log.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/TeacherKeyButtons.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString prepared(const QString &text)
{
    return SaveToDataController::getMaxLengString(GlobalFunctions::toXmlString(text));
}

void applyTimes(QuizEntity &quiz, const QStringList *times)
{
    if (!times || times->size() <= 1)
        return;
    quiz.setStartTime(times->at(0));
    quiz.setEndTime(times->at(1));
    if (times->size() > 2)
        quiz.setTimeElapsed(times->at(2).toInt());
}
} // namespace

SaveToDataController::SaveToDataController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SaveToData"));
    TeacherKeyButtons::watch(this);
    setWindowTitle(tr("Save Session"));
    appDelegate = Orvenda_AppDelegate::getAppDelegate();

    txtSaveSession = new QLineEdit(this);
    txtSaveSession->setObjectName(QStringLiteral("txtSaveSession"));
    txtSaveSession->setMinimumWidth(320);
    buttonOK = new QPushButton(tr("\"F1\" OK"), this);
    buttonOK->setObjectName(QStringLiteral("buttonOK"));
    buttonOK->setDefault(true);
    buttonCancel = new QPushButton(tr("\"F2\" Cancel"), this);
    buttonCancel->setObjectName(QStringLiteral("buttonCancel"));

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Session name:"), this));
    row->addWidget(txtSaveSession, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonCancel);
    buttons->addWidget(buttonOK);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    connect(buttonOK, &QPushButton::clicked, this, &SaveToDataController::onOK);
    connect(buttonCancel, &QPushButton::clicked, this, &SaveToDataController::onCancel);
}

SaveToDataController::~SaveToDataController() = default;

void SaveToDataController::awakeFromNib()
{
    const int mode = m_curActivityMode;
    if (mode == 13) {
        txtSaveSession->setText(QStringLiteral("Quick Grouping"));
        txtSaveSession->setReadOnly(true);
        txtSaveSession->setEnabled(false);
    } else if (mode == 6 || mode == 8 || mode == 9 || mode == 10 || mode == 11 || mode == 14) {
        txtSaveSession->clear();
    } else {
        txtSaveSession->setText(QFileInfo(m_strFileName).completeBaseName());
    }
}

void SaveToDataController::takeRequest(const Request &r)
{
    setStrFileName(r.strFileName);
    setCurDeviceType(r.curDeviceType);
    setCurParticipationMode(r.curParticipationMode);
    setCurActivityMode(r.curActivityMode);
    setBIsFreeStyle(r.bIsFreeStyle);
    setNIsGroup(r.nIsGroup);
    setArrStuLoginContentTime(r.arrStuLoginContentTime);
    setArrQuizTime(r.arrQuizTime);
}

void SaveToDataController::runForRun(QWidget *window, const Request &r)
{
    SaveToDataController dialog(window);
    dialog.takeRequest(r);
    if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        app->setObjectToReceiveCommData(&dialog);
    dialog.exec();
}

bool SaveToDataController::saveUnasked(QWidget *window, const Request &r, const QString &name, QString *savedPath,
                                       QString *errorText)
{
    if (r.curActivityMode == Activity::QuickGrouping)
        return false;
    SaveToDataController dialog(window); // never shown
    dialog.takeRequest(r);
    dialog.awakeFromNib();
    if (!name.isEmpty())
        dialog.txtSaveSession->setText(name);
    // Nobody is there to type a name where the dialog proposes none.
    if (dialog.txtSaveSession->text().isEmpty())
        dialog.txtSaveSession->setText(ActivityRules::name(r.curActivityMode));
    const bool rollCall = r.curActivityMode == Activity::Attendance || r.curActivityMode == Activity::HandRaise;
    QuizEntity quiz = rollCall ? dialog.RollCallSave() : dialog.NormalSave();
    if (!dialog.writeSession(quiz, errorText))
        return false;
    if (savedPath)
        *savedPath = dialog.savedPath();
    dialog.removeQuizRecord();
    return true;
}

int SaveToDataController::exec()
{
    awakeFromNib();
    return QDialog::exec();
}

int SaveToDataController::runKeypadAlert(const QString &text, const QStringList &buttons, const QString &informativeText,
                                         const QString &title)
{
    PollixAlert alert(title, text, buttons, informativeText, this);
    if (appDelegate)
        appDelegate->setObjectToReceiveCommData(&alert);
    const int result = alert.runModal();
    if (appDelegate)
        appDelegate->setObjectToReceiveCommData(this);
    return result;
}

void SaveToDataController::onOK()
{
    if (m_closing)
        return;
    if (txtSaveSession->text().isEmpty()) {
        runKeypadAlert(tr("The activity name should not be empty."), {QStringLiteral("\"F1\" OK")});
        return;
    }
    if (m_curActivityMode == 13) {
        QuickGroupingSave();
    } else {
        QuizEntity quiz;
        if (m_curActivityMode == 8 || m_curActivityMode == 14) {
            if (appDelegate)
                appDelegate->setObjectToReceiveCommData(nullptr);
            quiz = RollCallSave();
        } else {
            quiz = NormalSave();
        }
        // A session that did not reach the disk keeps the dialog and the run's data, so the
        // teacher can free space or fix the folder and press OK again.
        QString why;
        if (!writeSession(quiz, &why)) {
            if (appDelegate)
                appDelegate->setObjectToReceiveCommData(this);
            runKeypadAlert(tr("The session could not be saved. Check that the data folder can be written, then try again."),
                           {QStringLiteral("\"F1\" OK")}, why);
            return;
        }
        // Where the run went; the teacher keypad's F1 answers it, as it does the dialog.
        runKeypadAlert(tr("Saved successfully."), {QStringLiteral("\"F1\" OK")}, PollixAlert::savedTo(m_savedPath),
                       QStringLiteral("Pollix"));
    }
    removeQuizRecord();
    windowShouldClose();
    done(1);
}

bool SaveToDataController::writeSession(QuizEntity &quiz, QString *errorText)
{
    TovQuizXmlDatabase store;
    QString path;
    if (!store.addQuizWithName(quiz.name(), quiz, &path, errorText))
        return false;
    m_savedPath = path;
    PollixLog(QStringLiteral("Session saved: %1").arg(path));
    return true;
}

void SaveToDataController::onCancel()
{
    if (m_closing)
        return;
    const int answer = runKeypadAlert(tr("Are you sure to exit without saving exam report?"),
                                      {QStringLiteral("  \"F1\" OK  "), QStringLiteral("\"F2\" Cancel")});
    if (answer != PollixAlert::AlertFirstButtonReturn)
        return;
    windowShouldClose();
    removeQuizRecord();
    done(0);
}

void SaveToDataController::windowShouldClose()
{
    m_closing = true;
    if (m_arrStuLoginContentTime)
        m_arrStuLoginContentTime->clear();
    if (m_arrQuizTime)
        m_arrQuizTime->clear();
}

void SaveToDataController::reject()
{
    onCancel();
}

void SaveToDataController::closeEvent(QCloseEvent *event)
{
    // The dialog holds the whole run: the close box asks like Cancel, and only a confirmed
    // answer (or a save) lets the window go.
    if (m_closing) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    onCancel();
}

void SaveToDataController::removeQuizRecord()
{
    QuizData::shareManager()->removeActivityRecord();
    QuizQuestions::shareManager()->removeAllQuestionsInfo();
}

QString SaveToDataController::getMaxLengString(const QString &text)
{
    return shortenedText(text, 230, 227);
}

QuizEntity SaveToDataController::NormalSave()
{
    auto *qpd = QuizParticipantData::shareManager();
    auto *qd = QuizData::shareManager();
    auto *qqs = QuizQuestions::shareManager();

    QuizEntity quiz;
    quiz.setName(txtSaveSession->text());
    if (m_bIsFreeStyle || ActivityRules::isFreeStyle(m_curActivityMode)) {
        m_curActivityMode = ActivityRules::savedActivity(m_curActivityMode);
        m_strFileName.clear();
    }
    quiz.setTitle(m_strFileName);
    const QString sessionCode = ActivityRules::storedCode(m_curActivityMode);
    quiz.setActionType(sessionCode);
    quiz.setClassName(qpd->className());
    quiz.setSubject(qpd->subjectName());
    quiz.setTeacherName(qpd->teacherName());
    quiz.setMachineName(QString::number(appDelegate ? appDelegate->currentDeviceType() : m_curDeviceType));
    quiz.setSessionType(ActivityRules::sessionType(m_curActivityMode));
    quiz.setDate(GetDateTimeNow());
    quiz.setGroup(m_nIsGroup != 0 ? qpd->maxGroupNo() : 1);
    applyTimes(quiz, m_arrQuizTime);

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

        QuestionEntity q;
        q.setQuNo(k);
        q.setMark(points);
        q.setDesMark(points);
        q.setTime(qqs->quizTime(n));
        q.setLevel(QString::number(qqs->nDiffcult(n)));
        const QString rightAnswer = trimString(qqs->answer(n));
        q.setRightAns(rightAnswer.isEmpty() ? QStringLiteral("No Answer") : rightAnswer);
        q.setQuType(Orvenda_AppDelegate::getQueTypeByNo(type));
        q.setQuMode(Orvenda_AppDelegate::getActModeByNo(qqs->actionMode(n)));
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
    if (m_arrStuLoginContentTime)
        quiz.setAllStudents(*m_arrStuLoginContentTime);
    return quiz;
}

QuizEntity SaveToDataController::RollCallSave()
{
    auto *qpd = QuizParticipantData::shareManager();
    auto *qd = QuizData::shareManager();

    QuizEntity quiz;
    quiz.setName(txtSaveSession->text());
    quiz.setTitle(QStringLiteral(""));
    quiz.setActionType(ActivityRules::storedCode(m_curActivityMode));
    quiz.setClassName(qpd->className());
    quiz.setSubject(qpd->subjectName());
    quiz.setTeacherName(qpd->teacherName());
    quiz.setQuestionNum(int(qd->arrayAlreadyTestQuestionNo().size()));
    quiz.setMachineName(Orvenda_AppDelegate::getMachineTypeByNo(m_curDeviceType));
    quiz.setSessionType(QStringLiteral("Exam"));
    quiz.setGroup(1);
    quiz.setDate(GetDateTimeNow());
    applyTimes(quiz, m_arrQuizTime);
    if (m_arrStuLoginContentTime)
        quiz.setAllStudents(*m_arrStuLoginContentTime);

    RollCallEntity rollCall;
    rollCall.setRollCallTime(m_arrQuizTime && !m_arrQuizTime->isEmpty() ? m_arrQuizTime->at(0) : QString());
    QString absent = QStringLiteral("|");
    for (const StudentInClassPtr &s : qpd->arrayClassStudents()) {
        if (s && qd->getStudentAnswer(1, s->deviceNo()).isEmpty())
            absent += s->studentID() + QLatin1Char('|');
    }
    rollCall.setAbsenceStu(absent);
    quiz.setAllRollCall({rollCall});
    return quiz;
}

void SaveToDataController::sendStudentLogoutClass()
{
    static const unsigned char frame[8] = {0xF6, 0x00, 0x00, 0x03, 0x01, 0xFF, 0xFF, 0xF4};
    if (!appDelegate)
        return;
    if (const auto device = appDelegate->currentDevice())
        device->sendData(frame, 8);
}

void SaveToDataController::handleMachMessage()
{
    const int type = appDelegate ? appDelegate->currentDeviceType() : -1;
    if (type == 0 || type == 1)
        handleDataReceiveArvel();
    else if (type >= 2 && type <= 4)
        handleDataReceiveCorvel_Dravel();
    else if (appDelegate)
        appDelegate->signalConditionOfDataHandled();
}

bool SaveToDataController::runTeacherKey(const DataOfFrame &frame)
{
    const TeacherKeyMap::Key key = TeacherKeyMap::keyOf(frame);
    switch (TeacherKeyMap::action(TeacherKeyMap::Context::Dialog, key, frame.type())) {
    case TeacherKeyMap::Action::Ok:
        PollixLog(QStringLiteral("SaveToData f1"));
        onOK();
        break;
    case TeacherKeyMap::Action::Cancel:
        PollixLog(QStringLiteral("SaveToData f2"));
        onCancel();
        break;
    case TeacherKeyMap::Action::Report:
        PollixLog(QStringLiteral("teacher report in result."));
        break;
    case TeacherKeyMap::Action::Mouse:
        KeypadMouse::pass(frame);
        break;
    default:
        break;
    }
    return key != TeacherKeyMap::Key::None;
}

void SaveToDataController::handleDataReceiveArvel()
{
    const DataOfFrame frame = appDelegate->frameToHandle();
    const QByteArray raw = frame.bytes();
    if (raw.size() >= 3)
        PollixFrameLogf("data receive in SaveToData : %02x\t%02x\t%02x\n", uchar(raw[0]), uchar(raw[1]), uchar(raw[2]));
    appDelegate->signalConditionOfDataHandled();
    runTeacherKey(frame);
}

void SaveToDataController::handleDataReceiveCorvel_Dravel()
{
    const DataOfFrame frame = appDelegate->frameToHandle();
    appDelegate->signalConditionOfDataHandled();
    if (frame.isNull())
        return;
    if (runTeacherKey(frame))
        return;
    if (frame.cmd() == 0xF5 && frame.dataAt(0) == 0xE3) {
        for (int i = 0; i < 3; ++i)
            sendStudentLogoutClass();
    }
}
