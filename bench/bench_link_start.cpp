// How long the receiver link takes to find a receiver at a start, with the program's own pauses
// (LinkTiming's defaults, the settle before each open included), against the simulated receiver:
// a quiet Dravel (it pays the small family's question in silence), a quiet Arvel, a port that
// never answers (until it is given up), and a Dravel named behind a port that sends bytes but is
// no receiver. Then, with a Dravel read and a babbling port probed again meanwhile, how long the
// receiver's keys wait: pressed as it is read, pulled out and plugged back, asked about its
// channel. Each figure is the median of a few starts.
// Run: build/bench/bench_link_start (a minute or so).
#include "core/keypad/DeviceController.h"
#include "core/keypad/LinkTiming.h"
#include "platform/Singleton.h"

#include "BenchReceiver.h"
#include "BenchTiming.h"
#include "SimKeyPresser.h"
#include "SimReceiver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

using keypadsim::Model;
using keypadsim::SimKeyPresser;
using keypadsim::SimReceiver;

namespace {

constexpr int kStarts = 3;
constexpr int kTimeoutMs = 30000;

class CountingListener : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void handleMachMessage()
    {
        ++frames;
        DeviceController::ShareDeviceController()->signalConditionOfDataHandled();
    }
    int frames = 0;
};

std::unique_ptr<SimReceiver> receiver(Model model, const QString &link, bool answers = true)
{
    SimReceiver::Options o;
    o.model = model;
    o.linkPath = link;
    auto sim = std::make_unique<SimReceiver>(o);
    if (!sim->start()) {
        std::printf("cannot start the simulator: %s\n", qPrintable(sim->errorString()));
        return nullptr;
    }
    sim->setCommandsIgnored(!answers);
    return sim;
}

// The link made afresh naming these ports, as Pollix starts with POLLIX_SERIAL_PORTS set.
DeviceController *startNaming(const QStringList &ports)
{
    qputenv("POLLIX_SERIAL_PORTS", ports.join(QLatin1Char(':')).toUtf8());
    SingletonRegistry::resetAll();
    DeviceController *link = DeviceController::ShareDeviceController();
    qunsetenv("POLLIX_SERIAL_PORTS");
    return link;
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Found: the receiver has a slot; read: it is open and read. Given up: no probe under way and no
// receiver (a port that never answers).
void startFinds(const char *what, Model model, bool answers, bool babblerFirst, const QString &dir)
{
    QList<double> found, read;
    for (int i = 0; i < kStarts; ++i) {
        auto sim = receiver(model, dir + QStringLiteral("/rx"), answers);
        if (!sim)
            return;
        QStringList ports{sim->portPath()};
        std::unique_ptr<SimReceiver> babbler;
        std::unique_ptr<SimKeyPresser> babbling;
        if (babblerFirst) {
            babbler = receiver(Model::Dravel, dir + QStringLiteral("/other"), false);
            if (!babbler)
                return;
            babbling = std::make_unique<SimKeyPresser>(*babbler, 4, 20);
            ports.prepend(babbler->portPath());
        }
        QElapsedTimer t;
        t.start();
        DeviceController *link = startNaming(ports);
        if (answers) {
            if (!spin([&] { return link->deviceCount() > 0; }, kTimeoutMs))
                break;
            found << msSince(t);
            if (!spin([&] { return link->getBHaveDevice(); }, kTimeoutMs))
                break;
            read << msSince(t);
        } else {
            if (!spin([&] { return !link->isBusy(); }, kTimeoutMs))
                break;
            found << msSince(t);
        }
        babbling.reset();
        SingletonRegistry::resetAll();
    }
    if (answers)
        std::printf("%-58s found %7.0f ms   read %7.0f ms\n", what, median(found), median(read));
    else
        std::printf("%-58s given up %7.0f ms\n", what, median(found));
}

// A Dravel is read; a port that babbles is probed again (as a port that sent no answer among its
// bytes is, a few times). Meanwhile: how long a key pressed on the receiver takes to the listener,
// how long after it is plugged back it is read again, and how long its channel query takes.
void answersWhileAnotherPortIsProbed(const QString &dir)
{
    QList<double> key, plugged, channel;
    for (int i = 0; i < kStarts; ++i) {
        auto sim = receiver(Model::Dravel, dir + QStringLiteral("/rx"));
        auto babbler = receiver(Model::Dravel, dir + QStringLiteral("/other"), false);
        if (!sim || !babbler)
            return;
        DeviceController *link = startNaming({sim->portPath()});
        if (!spin([&] { return link->getBHaveDevice() && !link->isBusy(); }, kTimeoutMs))
            return;
        CountingListener listener;
        link->setDelegateOfPort(&listener);
        sim->addKeypads(1, 3);
        SimKeyPresser babbling(*babbler, 4, 20);
        // Until the babbler hears the probe's first question: its probe is under way.
        const auto probeTheBabbler = [&] {
            babbler->clearLogs();
            link->scanPorts({babbler->portPath()});
            spin([&] {
                const auto log = babbler->byteLog();
                return std::any_of(log.begin(), log.end(), [](const auto &f) { return f.direction == keypadsim::SimFrame::FromProgram; });
            }, kTimeoutMs);
        };

        probeTheBabbler();
        QElapsedTimer t;
        t.start();
        sim->answer(1, QStringLiteral("A"));
        if (!spin([&] { return listener.frames >= 1; }, kTimeoutMs))
            return;
        key << msSince(t);
        spin([&] { return !link->isBusy(); }, kTimeoutMs);

        sim->unplug();
        spin([&] { return !link->getBHaveDevice(); }, kTimeoutMs);
        probeTheBabbler();
        t.restart();
        sim->plug();
        link->scanPorts({sim->portPath()}); // as the system's device event has it probed
        if (!spin([&] { return link->getBHaveDevice(); }, kTimeoutMs))
            return;
        plugged << msSince(t);
        spin([&] { return !link->isBusy(); }, kTimeoutMs);

        probeTheBabbler();
        bool done = false;
        t.restart();
        link->checkChannelsOfCurrent([&](bool) { done = true; });
        if (!spin([&] { return done; }, kTimeoutMs))
            return;
        channel << msSince(t);
        spin([&] { return !link->isBusy(); }, kTimeoutMs);
        link->setDelegateOfPort(nullptr);
        SingletonRegistry::resetAll();
    }
    std::printf("%-58s %7.0f ms\n", "  a key pressed on the receiver, to the listener", median(key));
    std::printf("%-58s %7.0f ms\n", "  the receiver plugged back, to read again", median(plugged));
    std::printf("%-58s %7.0f ms\n", "  its channel query (reading paused meanwhile)", median(channel));
}

} // namespace

int main(int argc, char *argv[])
{
    benchReceiverEnvironment();
    QCoreApplication app(argc, argv);
    LinkTiming::setCurrent(LinkTiming()); // the program's own pauses
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    std::printf("Receiver link at a start, the program's pauses (median of %d)\n", kStarts);
    startFinds("a quiet Dravel", Model::Dravel, true, false, dir.path());
    startFinds("a quiet Arvel", Model::Arvel, true, false, dir.path());
    startFinds("a port that never answers", Model::Dravel, false, false, dir.path());
    startFinds("a Dravel named behind a port that babbles", Model::Dravel, true, true, dir.path());
    std::printf("A Dravel read while a port that babbles is probed again:\n");
    answersWhileAnotherPortIsProbed(dir.path());
    return 0;
}

#include "bench_link_start.moc"
