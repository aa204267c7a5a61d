#pragma once

#include "core/engine/QuestionSetSender.h"
#include "core/keypad/DataOfFrame.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QList>

#include <functional>
#include <memory>

class PostedCalls;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class TovDevice;

// The question-sending window ("SendQuestions"): wakes the receiver, sends the run's whole
// question set to the keypads (QuestionSetSender) and shows how it goes. Its opener makes it the
// frame listener while it runs; frames that are not the transfer's go to the opener's handler,
// so logins and answers still reach the activity. OK, closing the window and the teacher key F1
// stop the sending and wait for its thread before the window goes; while the sending runs the
// button reads "Stop", so that nobody takes it for a confirmation. A status line, a bar over the
// questions of the current pass and the count of keypads that have the whole set show how far it
// has come; the message log below keeps every step. Opened while the run's receiver is out, it
// says so and wakes the receiver once it is back.
class SendQuestions : public QDialog
{
    Q_OBJECT
public:
    explicit SendQuestions(QWidget *parent = nullptr);
    ~SendQuestions() override;

    // Makes the run windows open this window for their Send Questions button and the keypads'
    // requests.
    static void installForRunWindows();
    // Shorter pauses for tests and benchmarks.
    static void setTimingForTesting(const QuestionSetSender::Timing &timing);
    static void resetTimingForTesting();

    // Set before the window is shown.
    void setM_bAskForQuestion(bool v) { m_bAskForQuestion = v; }
    void setBIsRunForTeacherControl(bool v) { bIsRunForTeacherControl = v; }
    // The keypads that asked for the set (ask-for-question mode polls only them).
    void getAskForQueStu(const QList<int> &keypads);
    // Where frames that are not the transfer's go.
    void setPassOn(std::function<void(const DataOfFrame &)> passOn) { m_passOn = std::move(passOn); }

    Q_INVOKABLE void handleMachMessage();
    void OnOK();
    void sendMessage(const QString &text);

    QuestionSetSender *sender() const { return m_sender.get(); }
    QString messages() const;

    // Outlets.
    QLabel *statusText = nullptr;
    QProgressBar *progressSend = nullptr;
    QLabel *keypadsText = nullptr;
    QPlainTextEdit *sendMessageView = nullptr;
    QPushButton *btnOK = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void windowDidLoad();
    void showSendMessage(const QString &text);
    void refreshProgress();
    // Wakes the receiver that serves the sending (the run's model, open); false while there is
    // none, and the window waits for it.
    bool wakeReceiver();
    // The receiver answered the wake: the sending starts, to the keypads in at that moment.
    void wakeAnswered();
    // The keypads that asked for the set, or those logged in.
    QList<int> keypadsToPoll() const;
    void makeSender();

    bool m_bAskForQuestion = false;
    bool bIsRunForTeacherControl = false;
    bool m_loaded = false;
    bool m_closing = false;
    bool m_noReceiver = false;
    bool m_wakeSent = false;
    bool m_pollsAskers = false;
    int m_deviceType = -1;
    QTimer *m_progressTimer = nullptr;
    QElapsedTimer m_sinceWake;
    QElapsedTimer m_sinceFirstWake;
    QList<int> m_arrAskForQueStu;
    std::function<void(const DataOfFrame &)> m_passOn;
    std::shared_ptr<TovDevice> device;
    PostedCalls *m_posted = nullptr;
    std::unique_ptr<QuestionSetSender> m_sender;
};
