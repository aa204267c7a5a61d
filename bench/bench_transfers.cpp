// A question set to a classroom over the simulated line: 60 questions to 100 Dravel keypads,
// through the real serial code, with the pauses between frames taken out so that the line is
// the limit. Printed: the time taken, the bytes sent and what the line itself needs for them
// (115200 baud, 10 bits a byte), and how many keypads hold the whole set. Run: ./dev bench (or
// build/bench/bench_transfers).
#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/QuestionSetSender.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/keypad/DeviceController.h"
#include "core/keypad/LinkTiming.h"
#include "core/keypad/TovDevice.h"

#include "BenchReceiver.h"
#include "SimQuestionSet.h"
#include "SimReceiver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <memory>

using keypadsim::Model;
using keypadsim::SimQuestionSet;
using keypadsim::SimReceiver;

namespace {

class Listener : public QObject
{
    Q_OBJECT
public:
    QuestionSetSender *sender = nullptr;
    Q_INVOKABLE void handleMachMessage()
    {
        DeviceController *ctrl = DeviceController::ShareDeviceController();
        const ReceivedFrame f = ReceivedFrame::fromDataOfFrame(ctrl->frameToHandle());
        ctrl->signalConditionOfDataHandled();
        if (!sender || f.type() != 1)
            return;
        if (f.cmd() == 0xF5 && f.dataLen() == 1 && f.at(0) == 0xE3)
            sender->wakeReplied();
        else if (f.cmd() == 0xF8)
            sender->keypadReplied(f);
    }
};

void sendSet(int questions, int keypads, int lossPercent)
{
    SimReceiver::Options o;
    o.model = Model::Dravel;
    o.paceLine = true;
    SimReceiver sim(o);
    DeviceController *ctrl = plugInBenchReceiver(sim);
    if (!ctrl)
        return;
    sim.addKeypads(1, keypads);
    SimQuestionSet held(sim, {lossPercent, 0, true, 3});

    QuizQuestions::shareManager()->removeAllQuestionsInfo();
    for (int q = 1; q <= questions; ++q) {
        QuizQuestionsElement e;
        e.setStrTitle(QStringLiteral("Question %1: which of the following animals lives the longest?").arg(q));
        e.setNQuestionType(0);
        e.setNOptionNum(4);
        e.setStrOptionA(QStringLiteral("a tortoise"));
        e.setStrOptionB(QStringLiteral("a parrot"));
        e.setStrOptionC(QStringLiteral("an elephant"));
        e.setStrOptionD(QStringLiteral("a goldfish"));
        QuizQuestions::shareManager()->addQuestion(e);
    }
    QList<int> numbers;
    for (int k = 1; k <= keypads; ++k)
        numbers << k;

    std::shared_ptr<TovDevice> device = ctrl->currentDevice();
    std::atomic<qint64> bytes{0};
    QuestionSetSender::Timing t;
    t.examInfoGapMs = 0;
    t.passPauseMs = 0;
    t.frameGapMs = 0;
    t.endGapMs = 0;
    t.pollPauseMs = 0;
    t.pollSettleMs = 300;
    QuestionSetSender sender(QuestionSetSender::setFromRun(3, numbers),
                             [&](const QByteArray &frame) {
                                 bytes += frame.size();
                                 return device->sendData(frame);
                             },
                             [](const QString &) {}, t);
    Listener listener;
    listener.sender = &sender;
    ctrl->setDelegateOfPort(&listener);

    QElapsedTimer wall;
    wall.start();
    device->sendData(QByteArray::fromHex("F400C00135"));
    spin([&] { return sender.hasStarted() && !sender.isRunning(); }, 600000);
    sim.waitForOutputDrained(10000);
    const double seconds = wall.elapsed() / 1000.0;
    const double lineSeconds = bytes * 10.0 / 115200.0;
    int whole = 0;
    for (int k = 1; k <= keypads; ++k)
        whole += held.hasWholeSet(k) ? 1 : 0;
    // The simulated line takes the program's bytes as fast as they come; a real one needs
    // lineSeconds, so sending keeps up with the line when seconds stays below it.
    std::printf("%d questions to %d keypads, %d%% loss: done in %.2f s; %lld bytes sent, which the line itself needs "
                "%.2f s for; resend passes %d; %d keypads hold the whole set\n",
                questions, keypads, lossPercent, seconds, qint64(bytes), lineSeconds, sender.resendPasses(), whole);
    unplugBenchReceiver(sim);
}

} // namespace

int main(int argc, char *argv[])
{
    benchReceiverEnvironment();
    QTemporaryDir home;
    qputenv("POLLIX_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    LinkTiming::setCurrent(LinkTiming::fast());
    Orvenda_AppDelegate delegate;
    std::printf("Question set: program -> pty -> simulated keypads, pauses between frames taken out\n");
    sendSet(60, 100, 0);
    sendSet(60, 100, 10);
    return 0;
}

#include "bench_transfers.moc"
