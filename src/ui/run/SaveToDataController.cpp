#include "SaveToDataController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/ClassLogout.h"
#include "core/keypad/DataOfFrame.h"
#include "core/keypad/KeypadMouse.h"
#include "core/keypad/TeacherKeyMap.h"
#include "core/keypad/TovDevice.h"
#include "platform/Log.h"
#include "platform/TakenFolders.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ProposedText.h"
#include "ui/controls/TeacherKeyButtons.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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
    // The teacher types over the proposed name, or keeps it with Return or F1.
    ProposedText::propose(txtSaveSession, EndOfRunSave::proposedName(run()));
    if (EndOfRunSave::keepsNothing(m_curActivityMode)) {
        txtSaveSession->setReadOnly(true);
        txtSaveSession->setEnabled(false);
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

QString SaveToDataController::runForRun(QWidget *window, const Request &r)
{
    SaveToDataController dialog(window);
    dialog.takeRequest(r);
    if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        app->setObjectToReceiveCommData(&dialog);
    dialog.exec();
    return dialog.savedPath();
}

bool SaveToDataController::saveUnasked(QWidget *window, const Request &r, const QString &name, QString *savedPath,
                                       QString *errorText)
{
    if (EndOfRunSave::keepsNothing(r.curActivityMode))
        return false;
    SaveToDataController dialog(window); // never shown
    dialog.takeRequest(r);
    const QString chosen = name.isEmpty() ? EndOfRunSave::proposedName(dialog.run()) : name;
    QString path;
    if (!EndOfRunSave::save(chosen, dialog.run(), &path, errorText))
        return false;
    if (savedPath)
        *savedPath = path;
    EndOfRunSave::removeQuizRecord();
    return true;
}

int SaveToDataController::exec()
{
    awakeFromNib();
    return QDialog::exec();
}

int SaveToDataController::runKeypadAlert(const QString &text, const QStringList &buttons, const QString &informativeText,
                                         const QString &title, PollixAlert::Default byDefault)
{
    PollixAlert alert(title, text, buttons, informativeText, this);
    alert.setDefault(byDefault);
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
    if (EndOfRunSave::keepsRollCall(m_curActivityMode) && appDelegate)
        appDelegate->setObjectToReceiveCommData(nullptr);
    // A session that did not reach the disk keeps the dialog and the run's data, so the teacher
    // can free space or fix the folder and press OK again. One that did asks nothing more: the
    // window the run goes back to shows where it went, and the teacher keypad steers on at once.
    QString why;
    bool saved = false;
    {
        // The run is held nowhere else (no recovery file; a save as Pollix ends goes through the
        // same folder): what a refusal advises keeps it.
        const TakenFolders::UnsavedWork unsaved(tr("the run's answers"), tr("press OK (or F1) again"));
        saved = EndOfRunSave::save(txtSaveSession->text(), run(), &m_savedPath, &why);
    }
    if (!saved) {
        if (appDelegate)
            appDelegate->setObjectToReceiveCommData(this);
        runKeypadAlert(tr("The session could not be saved. Check that the data folder can be written, then try again."),
                       {QStringLiteral("\"F1\" OK")}, why);
        return;
    }
    removeQuizRecord();
    windowShouldClose();
    done(1);
}

EndOfRunSave::Run SaveToDataController::run() const
{
    EndOfRunSave::Run r;
    r.strFileName = m_strFileName;
    r.curDeviceType = m_curDeviceType;
    r.curActivityMode = m_curActivityMode;
    r.bIsFreeStyle = m_bIsFreeStyle;
    r.nIsGroup = m_nIsGroup;
    if (m_arrStuLoginContentTime)
        r.arrStuLoginContentTime = *m_arrStuLoginContentTime;
    if (m_arrQuizTime)
        r.arrQuizTime = *m_arrQuizTime;
    return r;
}

void SaveToDataController::onCancel()
{
    if (m_closing)
        return;
    // F1 leaves without saving, as its button says; Return keeps the report to be saved.
    const int answer = runKeypadAlert(tr("Are you sure to exit without saving exam report?"),
                                      {QStringLiteral("  \"F1\" OK  "), QStringLiteral("\"F2\" Cancel")}, {},
                                      QStringLiteral("Warning"), PollixAlert::Default::LeavesAsIs);
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
    EndOfRunSave::removeQuizRecord();
}

QString SaveToDataController::getMaxLengString(const QString &text)
{
    return EndOfRunSave::getMaxLengString(text);
}

QuizEntity SaveToDataController::NormalSave()
{
    EndOfRunSave::Run r = run();
    QuizEntity quiz = EndOfRunSave::NormalSave(txtSaveSession->text(), r);
    // A free-style run is saved as its base activity, and the dialog follows.
    m_curActivityMode = r.curActivityMode;
    m_strFileName = r.strFileName;
    return quiz;
}

QuizEntity SaveToDataController::RollCallSave()
{
    return EndOfRunSave::RollCallSave(txtSaveSession->text(), run());
}

void SaveToDataController::sendStudentLogoutClass()
{
    if (!appDelegate)
        return;
    if (const auto device = appDelegate->currentDevice())
        ClassLogout::shareManager()->send([&device](const QByteArray &frame) { return device->sendData(frame); });
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
    if (frame.cmd() == 0xF5 && frame.dataAt(0) == 0xE3)
        sendStudentLogoutClass();
}
