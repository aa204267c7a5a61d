#include "ReceiveReportController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/CommonFunc.h"
#include "core/keypad/TovDevice.h"
#include "core/roster/RosterRecords.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/TakenFolders.h"
#include "ui/controls/PollixAlert.h"
#include "ui/reports/SessionFormParts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

ReceiveReportController::ReceiveReportController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReceiveReport"));
    setWindowTitle(tr("Receive Session"));

    cmbTeacher = new QComboBox(this);
    cmbTeacher->setObjectName(QStringLiteral("cmbTeacher"));
    cmbSubject = new QComboBox(this);
    cmbSubject->setObjectName(QStringLiteral("cmbSubject"));
    receiveView = new QPlainTextEdit(this);
    receiveView->setObjectName(QStringLiteral("receiveView"));
    receiveView->setReadOnly(true);
    receiveView->setMinimumSize(420, 300);
    btnStart = new QPushButton(tr("Start"), this);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnSave = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), tr("Save"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnExit = new QPushButton(tr("Exit"), this);
    btnExit->setObjectName(QStringLiteral("btnExit"));
    // Start and Stop take turns on one button: it keeps the width of the wider title.
    btnStart->setMinimumWidth(qMax(btnStart->sizeHint().width(), btnSave->sizeHint().width()) + 16);

    connect(btnStart, &QPushButton::clicked, this, &ReceiveReportController::doStart);
    connect(btnSave, &QPushButton::clicked, this, &ReceiveReportController::doSave);
    connect(btnExit, &QPushButton::clicked, this, &ReceiveReportController::doExit);

    auto *form = new QFormLayout;
    form->addRow(tr("Teacher:"), cmbTeacher);
    form->addRow(tr("Subject:"), cmbSubject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnStart);
    buttons->addWidget(btnSave);
    buttons->addStretch(1);
    buttons->addWidget(btnExit);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(receiveView, 1);
    layout->addLayout(buttons);

    NotificationCenter::defaultCenter()->addObserver(this, Notify::DeviceChanged,
                                                     [this](const Notification &) { handleDeviceChanged(); });
    awakeFromNib();
}

ReceiveReportController::~ReceiveReportController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void ReceiveReportController::awakeFromNib()
{
    btnSave->setEnabled(false);
    loadTeacher();
    loadSubject();
    cmbTeacher->addItems(teachers);
    cmbSubject->addItems(subjects);
    btnStart->setEnabled(!teachers.isEmpty() && !subjects.isEmpty());
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    m_receiverOut = !(app && app->currentDevice());
    showReceiveState(ReceiveReportSession::Waiting);
}

void ReceiveReportController::handleDeviceChanged()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    m_receiverOut = !(app && app->currentDevice());
    showProgress();
}

void ReceiveReportController::showProgress()
{
    QString text = m_session.progressText(m_state);
    // The keypad sends its frames again until they are acknowledged: the receiving goes on where
    // it stopped once the receiver is back.
    if (m_receiverOut)
        text += QStringLiteral("\n\n") + tr("Receiver disconnected: nothing is received until it is plugged in again.");
    receiveView->setPlainText(text);
}

void ReceiveReportController::loadTeacher()
{
    teachers.clear();
    for (const TeacherEntity &t : TovTeacherXmlDatabase::sharedUI()->teacherList())
        teachers << mergeFirstLastString(t.firstName(), t.lastName());
}

void ReceiveReportController::loadSubject()
{
    subjects = RosterRecords::subjectNames();
}

void ReceiveReportController::showReceiveState(int state)
{
    m_state = state;
    showProgress();
    if (state == ReceiveReportSession::Waiting) {
        btnStart->setText(tr("Start"));
        btnStart->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    } else if (state == ReceiveReportSession::Receiving) {
        btnStart->setText(tr("Stop"));
        btnStart->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    } else {
        btnSave->setEnabled(true);
    }
}

void ReceiveReportController::doStart()
{
    if (m_bBtnStateStart) {
        showReceiveState(ReceiveReportSession::Receiving);
    } else {
        showReceiveState(ReceiveReportSession::Waiting);
        btnSave->setEnabled(false);
    }
    m_bBtnStateStart = !m_bBtnStateStart;
}

void ReceiveReportController::handleMachMessage()
{
    handleDataReceive();
}

void ReceiveReportController::handleDataReceive()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    if (!app)
        return;
    const DataOfFrame frame = app->frameToHandle();
    if (!m_bBtnStateStart && !frame.isNull()) {
        const ReceiveReportSession::Reply reply = m_session.handleFrame(ReceivedFrame::fromDataOfFrame(frame));
        if (!reply.handler.isEmpty())
            PollixFrameLog(reply.handler);
        if (!reply.ack.isEmpty()) {
            if (auto device = app->currentDevice())
                device->sendData(reply.ack);
        }
        if (reply.progress >= 0) {
            if (reply.progress == ReceiveReportSession::All)
                PollixLog(QStringLiteral("receive all complete."));
            showReceiveState(reply.progress);
        }
    }
    app->signalConditionOfDataHandled();
}

void ReceiveReportController::doSave()
{
    if (!btnSave->isEnabled())
        return;
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    ReceiveReportSession::Context context;
    context.teacherName = cmbTeacher->currentText();
    context.subject = cmbSubject->currentText();
    context.deviceType = app ? app->currentDeviceType() : -1;
    context.now = GetDateTimeNow();
    // The keypad keeps a session after sending it, so the same one may come again.
    const QStringList copies = m_session.savedCopies(context);
    if (!copies.isEmpty() && !askToSaveAgain(copies))
        return;
    QString error;
    bool saved = false;
    {
        // What was received is held nowhere else on this computer: what a refusal advises keeps it.
        const TakenFolders::UnsavedWork unsaved(tr("what this window received from the teacher keypad"), tr("press Save again"));
        saved = m_session.save(context, &m_savedPath, &error);
    }
    if (!saved) {
        // What was received stays, so the teacher can try again once the disk allows.
        PollixAlert::show(this, QStringLiteral("Pollix ARS"), tr("The session could not be saved."), {QStringLiteral("OK")},
                          error);
        return;
    }
    btnSave->setEnabled(false);
    m_session.clearAll();
    m_bBtnStateStart = true;
    showReceiveState(ReceiveReportSession::Waiting);
    SessionFormParts::sayWhereSaved(this, m_savedPath);
}

bool ReceiveReportController::askToSaveAgain(const QStringList &copies)
{
    const QString where = QDir::toNativeSeparators(copies.first());
    const QString saved = copies.size() == 1
                              ? tr("It is saved as %1.").arg(where)
                              : tr("It is saved %1 times, one of them as %2.").arg(copies.size()).arg(where);
    // Return, Escape and the close box leave the session unsaved, as Cancel does.
    return PollixAlert::askWithWayBack(
               this, QStringLiteral("Pollix ARS"), tr("This session from the teacher keypad is saved already."),
               {tr("Save Again"), tr("Cancel")},
               saved + QLatin1Char(' ')
                   + tr("Saved again, it becomes one more session with the same answers, and the gradebook counts "
                        "each of them."),
               PollixAlert::Default::LeavesAsIs)
           == 0;
}

void ReceiveReportController::doExit()
{
    close();
}

void ReceiveReportController::closeEvent(QCloseEvent *event)
{
    m_session.clearAll();
    event->accept();
    done(0);
}
