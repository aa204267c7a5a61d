// Receiver link throughput and latency against the simulated receiver on a pseudo-terminal:
// frames per second from the simulator through the serial port, the parser and the hand-off to a
// listener, with every keypad of a class answering at once, and key-press-to-listener latency.
// Printed beside the serial line's own limit. Run: ./dev bench (or build/bench/bench_frames).
#include "core/keypad/DeviceController.h"
#include "core/keypad/LinkTiming.h"

#include "BenchReceiver.h"
#include "SimReceiver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>

using keypadsim::Model;
using keypadsim::SimFrame;
using keypadsim::SimReceiver;

namespace {

class TimedListener : public QObject
{
    Q_OBJECT
public:
    explicit TimedListener(SimReceiver *sim) : m_sim(sim) {}
    Q_INVOKABLE void handleMachMessage()
    {
        DeviceController *ctrl = DeviceController::ShareDeviceController();
        const DataOfFrame frame = ctrl->frameToHandle();
        ctrl->signalConditionOfDataHandled();
        arrivals.insert(frame.bytes(), m_sim->elapsedNs());
        ++count;
    }
    QHash<QByteArray, qint64> arrivals;
    int count = 0;

private:
    SimReceiver *m_sim;
};

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct Percentiles
{
    double p50 = 0, p99 = 0, max = 0;
};

Percentiles percentiles(QList<double> v)
{
    Percentiles p;
    if (v.isEmpty())
        return p;
    std::sort(v.begin(), v.end());
    p.p50 = v.at(v.size() / 2);
    p.p99 = v.at(std::min<qsizetype>(v.size() - 1, qsizetype(v.size() * 0.99)));
    p.max = v.last();
    return p;
}

// One burst: every keypad answers at once (shortFrames: five-byte frames instead of answers).
void burst(Model model, int keypads, bool paced, bool shortFrames = false)
{
    SimReceiver::Options o;
    o.model = model;
    o.paceLine = paced;
    o.seed = 7;
    SimReceiver sim(o);
    DeviceController *ctrl = plugInBenchReceiver(sim);
    if (!ctrl)
        return;
    TimedListener listener(&sim);
    ctrl->setDelegateOfPort(&listener);
    sim.addKeypads(1, keypads);
    sim.clearLogs();

    const double cpu0 = threadCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    for (int id = 1; id <= keypads; ++id) {
        if (shortFrames)
            sim.sendFrame(SimReceiver::shortFrame(0xF3, quint8(id & 0xFF), quint8(id >> 8), 0x41));
        else
            sim.answer(id, QString(QChar('A' + id % 8)));
    }
    const bool ok = spin([&] { return listener.count >= keypads; }, 60000);
    const double seconds = wall.nsecsElapsed() / 1e9;
    const double cpu = threadCpuSeconds() - cpu0;

    // Per frame: from the moment its bytes were written to the line to the listener.
    QList<double> lineToListener;
    qint64 firstWrite = -1;
    for (const SimFrame &f : sim.byteLog()) {
        if (f.direction != SimFrame::ToProgram)
            continue;
        if (firstWrite < 0)
            firstWrite = f.timeNs;
        const auto it = listener.arrivals.constFind(f.bytes);
        if (it != listener.arrivals.constEnd())
            lineToListener << (*it - f.timeNs) / 1e6;
    }
    const Percentiles p = percentiles(lineToListener);
    const int frameBytes = keypads > 0 ? int(sim.framesToProgram().first().bytes.size()) : 0;
    const double lineLimit = modelInfo(model).baud / 10.0 / frameBytes;
    std::printf("%-7s %4d keypads %-9s %s  %7.0f frames/s (line limit %5.0f for %d-byte frames)  "
                "all in %6.1f ms  GUI thread busy %4.1f%%  line-to-listener p50 %.2f ms p99 %.2f ms max %.2f ms\n",
                modelInfo(model).name, keypads, paced ? "paced" : "unpaced", ok ? "ok  " : "LOST",
                listener.count / seconds, lineLimit, frameBytes, seconds * 1000, 100.0 * cpu / seconds, p.p50, p.p99,
                p.max);
    unplugBenchReceiver(sim);
}

// Single key presses on an idle line: press to listener.
void keyLatency(Model model, int presses)
{
    SimReceiver::Options o;
    o.model = model;
    o.paceLine = true;
    SimReceiver sim(o);
    DeviceController *ctrl = plugInBenchReceiver(sim);
    if (!ctrl)
        return;
    TimedListener listener(&sim);
    ctrl->setDelegateOfPort(&listener);
    sim.addKeypads(1, presses);
    QList<double> latencies;
    for (int id = 1; id <= presses; ++id) {
        const qint64 pressed = sim.elapsedNs();
        sim.answer(id, QStringLiteral("A"));
        if (!spin([&] { return listener.count >= id; }, 2000))
            break;
        latencies << (sim.elapsedNs() - pressed) / 1e6;
    }
    const Percentiles p = percentiles(latencies);
    std::printf("%-7s key press to listener, %d single presses: p50 %.2f ms  p99 %.2f ms  max %.2f ms\n",
                modelInfo(model).name, int(latencies.size()), p.p50, p.p99, p.max);
    unplugBenchReceiver(sim);
}

} // namespace

int main(int argc, char *argv[])
{
    benchReceiverEnvironment();
    QCoreApplication app(argc, argv);
    LinkTiming::setCurrent(LinkTiming::fast());
    std::printf("Receiver link: simulator -> pty -> parser -> hand-off -> listener\n");
    burst(Model::Dravel, 999, true);
    burst(Model::Dravel, 999, false);
    burst(Model::Dravel, 999, true, true);
    burst(Model::Arvel, 400, true);
    burst(Model::Arvel, 400, false);
    keyLatency(Model::Dravel, 200);
    keyLatency(Model::Arvel, 200);
    return 0;
}

#include "bench_frames.moc"
