#include "SendQuestions.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/ActivityFrames.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizMode.h"
#include "core/keypad/DeviceController.h"
#include "core/keypad/TovDevice.h"
#include "core/presentation/MouseFunction.h"
#include "ui/controls/DialogHooks.h"
#include "ui/presentation/PPTQuizStateWindowController.h"
#include "ui/run/QuizStateWindowController.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/PostedCalls.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>
#include <utility>

namespace {
std::optional<QuestionSetSender::Timing> &testTiming()
{
    static std::optional<QuestionSetSender::Timing> t;
    return t;
}

constexpr uint8_t kTeacherKeyF1 = 0x81;
constexpr int kTeacherPointerDelayMs = 100;
// A receiver answers its wake at once; after this long the teacher is told it has not.
constexpr int kWakeAnswerExpectedMs = 3000;
// A wake not answered within this goes out again (keypads that log in answer none).
constexpr int kWakeAgainMs = 1000;

// The receiver that serves the transfer now: the current one, open, of the run's model. One
// plugged in again after it was pulled out takes over. Asked from the sending thread too.
std::shared_ptr<TovDevice> servingReceiver(int deviceType)
{
    if (!Orvenda_AppDelegate::getAppDelegate())
        return nullptr;
    std::shared_ptr<TovDevice> device = DeviceController::ShareDeviceController()->currentDevice();
    return device && device->type() == deviceType && device->isOpen() ? device : nullptr;
}
} // namespace

void SendQuestions::installForRunWindows()
{
    // Over the activity window and over a slide show alike: the run's keypads that ask for the
    // set, and every frame the window does not take passed on to the run.
    const auto run = [](QWidget *window, QuizMode *mode, RunFrameSink *sink, bool askForQuestion, bool teacherControl) {
        SendQuestions dialog(window);
        if (askForQuestion && mode)
            dialog.getAskForQueStu(mode->arrAskForQueStu());
        else if (askForQuestion)
            dialog.setM_bAskForQuestion(true);
        dialog.setBIsRunForTeacherControl(teacherControl);
        dialog.setPassOn([sink](const DataOfFrame &frame) { sink->handleLongFrame(frame); });
        if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
            app->setObjectToReceiveCommData(&dialog);
        DialogHooks::runModal(&dialog);
    };
    QuizStateWindowController::hooks().runSendQuestions = [run](QuizStateWindowController *window, bool askForQuestion) {
        run(window, window->modeObject(), window, askForQuestion, false);
    };
    PPTQuizStateWindowController::hooks().runSendQuestions = [run](PPTQuizStateWindowController *window, bool askForQuestion,
                                                                   bool teacherControl) {
        run(window, window->modeObject(), window, askForQuestion, teacherControl);
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

    statusText = new QLabel(this);
    statusText->setObjectName(QStringLiteral("statusText"));
    QFont bold = statusText->font();
    bold.setBold(true);
    statusText->setFont(bold);
    statusText->setWordWrap(true);
    // Two lines' room, so the bar below stays put when a status takes a second line.
    statusText->setMinimumHeight(2 * statusText->fontMetrics().lineSpacing());
    statusText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    progressSend = new QProgressBar(this);
    progressSend->setObjectName(QStringLiteral("progressSend"));
    progressSend->setRange(0, 1);
    progressSend->setValue(0);
    keypadsText = new QLabel(this);
    keypadsText->setObjectName(QStringLiteral("keypadsText"));
    sendMessageView = new QPlainTextEdit(this);
    sendMessageView->setObjectName(QStringLiteral("sendMessageView"));
    sendMessageView->setReadOnly(true);
    sendMessageView->setMinimumSize(420, 180);
    btnOK = new QPushButton(tr("Stop"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    // One width for both captions: the button keeps its place when it changes.
    btnOK->setMinimumWidth(qMax(btnOK->sizeHint().width(), QPushButton(tr("OK")).sizeHint().width()));
    connect(btnOK, &QPushButton::clicked, this, &SendQuestions::OnOK);
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(100);
    connect(m_progressTimer, &QTimer::timeout, this, &SendQuestions::refreshProgress);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(keypadsText, 1);
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(statusText);
    layout->addWidget(progressSend);
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
    m_deviceType = app ? app->currentDeviceType() : -1;
    m_pollsAskers = m_bAskForQuestion;
    m_bAskForQuestion = false;
    makeSender();

    // Opened while the receiver is out: the window says so and wakes it once it is back.
    if (!wakeReceiver())
        sendMessage(QStringLiteral("Receiver disconnected: the questions go out when it is plugged in again. \n"));
    refreshProgress();
    m_progressTimer->start();
    // Opened from the teacher keypad over a slide show: the keypad's pointer starts again from
    // the screen's lower left corner, where the run bar keeps a margin that a click leaves alone.
    if (bIsRunForTeacherControl)
        QTimer::singleShot(kTeacherPointerDelayMs, this, [] {
            QGuiApplication::sync();
            MouseFunction::shareManager()->MoveToLeftBottomAndClickLeftButton();
        });
}

QList<int> SendQuestions::keypadsToPoll() const
{
    if (m_pollsAskers)
        return m_arrAskForQueStu;
    QList<int> keypads;
    const int logged = QuizParticipantData::shareManager()->getSumOfLoginStudents();
    for (int k = 1; k <= logged; ++k)
        keypads << k;
    return keypads;
}

void SendQuestions::makeSender()
{
    QPointer<SendQuestions> self(this);
    const int deviceType = m_deviceType;
    m_sender = std::make_unique<QuestionSetSender>(
        QuestionSetSender::setFromRun(deviceType, keypadsToPoll()),
        [deviceType](const QByteArray &frame) {
            const std::shared_ptr<TovDevice> out = servingReceiver(deviceType);
            return out && !frame.isEmpty() && out->sendData(frame);
        },
        [posted = m_posted, self](const QString &text) {
            // The window outlives the thread (its end joins it), so the queue is still there.
            posted->post([self, text] {
                if (self)
                    self->sendMessage(text);
            });
        },
        testTiming().value_or(QuestionSetSender::Timing()));
}

bool SendQuestions::wakeReceiver()
{
    // A receiver just plugged in is woken once the link reads it: its answer must reach us.
    device = DeviceController::ShareDeviceController()->getBHaveDevice() ? servingReceiver(m_deviceType) : nullptr;
    if (!device)
        return false;
    // Said once; the wake goes out again while nothing answers.
    if (!std::exchange(m_wakeSent, true)) {
        sendMessage(QStringLiteral("Waking up the host to send the exam questions. \n"));
        m_sinceFirstWake.start();
    }
    if (!device->sendData(ActivityFrames::wake())) {
        sendMessage(QStringLiteral("Fail to wake up the host. \n"));
        m_noReceiver = true;
    }
    m_sinceWake.start();
    return true;
}

void SendQuestions::wakeAnswered()
{
    // Keypads that logged in since the window opened (a receiver plugged in again wakes them
    // first: they log in rather than answer) are in the set, as long as none of it went out.
    if (!m_sender->hasStarted() && !m_pollsAskers && keypadsToPoll().size() != m_sender->progress().keypads)
        makeSender();
    m_sender->wakeReplied();
}

void SendQuestions::refreshProgress()
{
    if (!m_sender)
        return;
    const QuestionSetSender::Progress p = m_sender->progress();
    // A wake answered by keypads logging in (the class was out, or the receiver was plugged in
    // again) gets no answer of its own: it goes out again until one comes.
    if (!m_closing && !m_noReceiver && !p.started && (!m_wakeSent || m_sinceWake.elapsed() >= kWakeAgainMs))
        wakeReceiver();
    const int n = m_sender->questionCount();
    const bool over = m_noReceiver || m_closing || (p.started && !p.running) || n == 0;
    // Once every keypad replied that it has the set, only its end is still going out.
    const bool everyKeypadHasIt = p.started && p.keypads > 0 && p.keypadsComplete >= p.keypads;
    // Pulled out while the set goes out: nothing reaches the keypads until it is back.
    const bool lost = !m_noReceiver && !servingReceiver(m_deviceType);
    QString status;
    if (m_noReceiver) {
        status = tr("No receiver answers: the questions were not sent.");
    } else if (n == 0) {
        status = tr("The question set has no questions to send.");
    } else if (lost && !over) {
        status = tr("Receiver disconnected. No question reaches the keypads; the sending goes on when the receiver is "
                    "plugged in again.");
    } else if (lost && p.keypadsComplete < p.keypads) {
        status = tr("Receiver disconnected: the sending ended before every keypad had every question. Plug the "
                    "receiver in again and send the questions again.");
    } else if (!p.started && m_sinceFirstWake.isValid() && m_sinceFirstWake.elapsed() > kWakeAnswerExpectedMs) {
        status = tr("The receiver does not answer. Is it plugged in and switched on?");
    } else if (!p.started) {
        status = tr("Waking up the receiver…");
    } else if ((over && p.keypadsComplete >= p.keypads) || everyKeypadHasIt) {
        if (p.keypads == 0)
            status = tr("Done: the questions were sent.");
        else
            status = n == 1 ? tr("Done: every keypad has the question.") : tr("Done: every keypad has all %1 questions.").arg(n);
    } else if (over) {
        // Named, so that the teacher knows which keypads to see to.
        const QString which = QuestionSetSender::keypadNumbers(p.keypadsLacking);
        status = p.keypadsLacking.size() == 1
                     ? tr("Sending is over, but keypad %1 did not confirm every question.").arg(which)
                     : tr("Sending is over, but keypads %1 (%2 of %3) did not confirm every question.")
                           .arg(which)
                           .arg(p.keypadsLacking.size())
                           .arg(p.keypads);
    } else if (p.state == QuestionSetSender::Poll) {
        status = tr("Asking the keypads which questions they lack…");
    } else if (p.questionNo == 0) {
        status = tr("Announcing the question set to the keypads…");
    } else if (p.resendPass == 0) {
        status = tr("Sending question %1 of %2…").arg(p.questionNo).arg(n);
    } else {
        status = tr("Sending again what the keypads lack (round %1): question %2…").arg(p.resendPass).arg(p.questionNo);
    }
    statusText->setText(status);
    // The bar follows what is awaited: the questions of the pass going out, then the keypads.
    const bool sending = !over && !everyKeypadHasIt && p.started && p.state == QuestionSetSender::Send && p.questionNo > 0;
    if (m_noReceiver) {
        progressSend->setRange(0, 1);
        progressSend->setValue(0);
        progressSend->setFormat(QString());
    } else if (sending) {
        progressSend->setRange(0, qMax(1, p.passLength));
        progressSend->setValue(qBound(0, p.sentInPass - 1, p.passLength)); // the one going out is not done
        progressSend->setFormat(tr("%v / %m questions"));
    } else if (p.keypads > 0) {
        progressSend->setRange(0, p.keypads);
        progressSend->setValue(p.keypadsComplete);
        progressSend->setFormat(tr("%v / %m keypads"));
    } else {
        progressSend->setRange(0, 1);
        progressSend->setValue(over ? 1 : 0);
        progressSend->setFormat(QString());
    }
    progressSend->setEnabled(!m_noReceiver);
    keypadsText->setText(p.keypads > 0 ? tr("Keypads with every question: %1 of %2").arg(p.keypadsComplete).arg(p.keypads)
                                       : QString());
    btnOK->setText(over ? tr("OK") : tr("Stop"));
    if (over)
        m_progressTimer->stop();
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
            // The teacher closes from the keypad: a click before and one after the window goes
            // hand the screen back to the run under the keypad's pointer. Opened by a click on
            // the bar, the pointer is the teacher's own and stays where it is.
            MouseFunction *mouse = bIsRunForTeacherControl ? MouseFunction::shareManager() : nullptr;
            if (mouse)
                mouse->ChickMouseLeftButton();
            OnOK();
            if (mouse)
                mouse->ChickMouseLeftButton();
            NotificationCenter::defaultCenter()->postNotification(Notify::SendQuestionOverSetFocus, {}, this);
        }
        return;
    }
    if (f.cmd() == 0xF5 && f.dataLen() == 1) {
        if (f.at(0) == 0xE3 && m_sender)
            wakeAnswered();
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
    m_progressTimer->stop();
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
