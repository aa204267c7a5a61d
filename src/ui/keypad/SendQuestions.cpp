#include "SendQuestions.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/ActivityFrames.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizMode.h"
#include "core/keypad/TovDevice.h"
#include "ui/controls/DialogHooks.h"
#include "ui/run/QuizStateWindowController.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/PostedCalls.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace {
std::optional<QuestionSetSender::Timing> &testTiming()
{
    static std::optional<QuestionSetSender::Timing> t;
    return t;
}

constexpr uint8_t kTeacherKeyF1 = 0x81;
} // namespace

void SendQuestions::installForRunWindows()
{
    QuizStateWindowController::hooks().runSendQuestions = [](QuizStateWindowController *window, bool askForQuestion) {
        SendQuestions dialog(window);
        if (askForQuestion && window->modeObject())
            dialog.getAskForQueStu(window->modeObject()->arrAskForQueStu());
        else if (askForQuestion)
            dialog.setM_bAskForQuestion(true);
        dialog.setPassOn([window](const DataOfFrame &frame) { window->handleLongFrame(frame); });
        if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
            app->setObjectToReceiveCommData(&dialog);
        DialogHooks::runModal(&dialog);
    };
}

void SendQuestions::setTimingForTesting(const QuestionSetSender::Timing &timing)
{
    testTiming() = timing;
}

void SendQuestions::resetTimingForTesting()
{
    testTiming().reset();
}

SendQuestions::SendQuestions(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SendQuestions"));
    setWindowTitle(tr("Send Questions"));
    m_posted = new PostedCalls(this);

    sendMessageView = new QPlainTextEdit(this);
    sendMessageView->setObjectName(QStringLiteral("sendMessageView"));
    sendMessageView->setReadOnly(true);
    sendMessageView->setMinimumSize(380, 220);
    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &SendQuestions::OnOK);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sendMessageView, 1);
    layout->addLayout(buttons);
}

SendQuestions::~SendQuestions()
{
    // The sending thread posts its messages here: it ends before the window does.
    m_sender.reset();
}

void SendQuestions::getAskForQueStu(const QList<int> &keypads)
{
    m_bAskForQuestion = true;
    for (int k : keypads)
        if (!m_arrAskForQueStu.contains(k))
            m_arrAskForQueStu.append(k);
}

QString SendQuestions::messages() const
{
    return sendMessageView->toPlainText();
}

void SendQuestions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        windowDidLoad();
    }
}

void SendQuestions::windowDidLoad()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    device = app ? app->currentDevice() : nullptr;
    const int deviceType = app ? app->currentDeviceType() : -1;

    QList<int> keypads;
    if (m_bAskForQuestion) {
        keypads = m_arrAskForQueStu;
        m_bAskForQuestion = false;
    } else {
        const int logged = QuizParticipantData::shareManager()->getSumOfLoginStudents();
        for (int k = 1; k <= logged; ++k)
            keypads << k;
    }
    std::shared_ptr<TovDevice> out = device;
    QPointer<SendQuestions> self(this);
    m_sender = std::make_unique<QuestionSetSender>(
        QuestionSetSender::setFromRun(deviceType, keypads),
        [out](const QByteArray &frame) { return out && !frame.isEmpty() && out->sendData(frame); },
        [posted = m_posted, self](const QString &text) {
            // The window outlives the thread (its end joins it), so the queue is still there.
            posted->post([self, text] {
                if (self)
                    self->sendMessage(text);
            });
        },
        testTiming().value_or(QuestionSetSender::Timing()));

    sendMessage(QStringLiteral("Waking up the host to send the exam questions. \n"));
    if (!device || !device->sendData(ActivityFrames::wake()))
        sendMessage(QStringLiteral("Fail to wake up the host. \n"));
}

void SendQuestions::sendMessage(const QString &text)
{
    showSendMessage(text);
}

void SendQuestions::showSendMessage(const QString &text)
{
    sendMessageView->moveCursor(QTextCursor::End);
    sendMessageView->insertPlainText(text);
    sendMessageView->moveCursor(QTextCursor::End);
}

void SendQuestions::handleMachMessage()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    if (!app)
        return;
    const DataOfFrame frame = app->frameToHandle();
    const ReceivedFrame f = ReceivedFrame::fromDataOfFrame(frame);
    const bool transfer = f.type() == 1
                          && ((f.cmd() == 0xF4 && f.isTeacherCommand()) || (f.cmd() == 0xF5 && f.dataLen() == 1)
                              || (f.cmd() == 0xF8 && f.isStudentCommand() && f.dataLen() >= 3 && f.at(0) >= 0xE0
                                  && f.at(0) <= 0xE2));
    if (!transfer) {
        // Logins, answers and the rest are the activity's; its handler signals the frame handled.
        if (m_passOn && !frame.isNull() && !m_closing)
            m_passOn(frame);
        else
            app->signalConditionOfDataHandled();
        return;
    }
    app->signalConditionOfDataHandled();
    if (m_closing)
        return;
    if (f.cmd() == 0xF4 && f.isTeacherCommand()) {
        if (f.at(0) == kTeacherKeyF1) {
            OnOK();
            NotificationCenter::defaultCenter()->postNotification(Notify::SendQuestionOverSetFocus, {}, this);
        }
        return;
    }
    if (f.cmd() == 0xF5 && f.dataLen() == 1) {
        if (f.at(0) == 0xE3 && m_sender)
            m_sender->wakeReplied();
        return;
    }
    if (f.cmd() == 0xF8 && f.isStudentCommand() && f.dataLen() >= 3 && f.at(0) >= 0xE0 && f.at(0) <= 0xE2) {
        if (m_sender)
            m_sender->keypadReplied(f);
        return;
    }
}

void SendQuestions::OnOK()
{
    if (m_closing)
        return;
    m_closing = true;
    if (m_sender && m_sender->state() != QuestionSetSender::Stop)
        PollixLog(QStringLiteral("kill thread"));
    if (m_sender)
        m_sender->stop();
    done(1);
}

void SendQuestions::closeEvent(QCloseEvent *event)
{
    OnOK();
    event->accept();
}

void SendQuestions::reject()
{
    OnOK();
}
