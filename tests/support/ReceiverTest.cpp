#include "ReceiverTest.h"

#include "core/keypad/DeviceController.h"
#include "core/keypad/LinkTiming.h"
#include "platform/Singleton.h"

#include <QTest>

void ReceiverTest::SetUp()
{
    LinkTiming::setCurrent(LinkTiming::fast());
    PollixTest::SetUp();
}

void ReceiverTest::TearDown()
{
    PollixTest::TearDown(); // ends the link before the receivers go
    receivers.clear();
    DeviceController::setAlertHandler({});
    LinkTiming::setCurrent(LinkTiming());
}

keypadsim::SimReceiver *ReceiverTest::makeReceiver(keypadsim::Model model, keypadsim::SimReceiver::Options options)
{
    options.model = model;
    options.paceLine = false;
    auto sim = std::make_unique<keypadsim::SimReceiver>(options);
    if (!sim->start())
        return nullptr;
    receivers.push_back(std::move(sim));
    return receivers.back().get();
}

keypadsim::SimReceiver *ReceiverTest::plugIn(keypadsim::Model model, keypadsim::SimReceiver::Options options)
{
    keypadsim::SimReceiver *sim = makeReceiver(model, options);
    return sim && probe(sim) ? sim : nullptr;
}

bool ReceiverTest::probe(keypadsim::SimReceiver *sim)
{
    DeviceController *link = DeviceController::ShareDeviceController();
    link->scanPorts({sim->portPath()});
    waitIdle();
    // An answer handed over late by a busy machine comes among the next family's wait, and the
    // port is probed again shortly.
    while (link->probesAgain(sim->portPath()) && waitFor([&] { return !link->probesAgain(sim->portPath()); }))
        waitIdle();
    if (const QString why = link->refusalOf(sim->portPath()); !why.isEmpty()) {
        ADD_FAILURE() << "the program could not open the simulated receiver: " << why.toStdString();
        return false;
    }
    return true;
}

bool ReceiverTest::restartLinkNaming(const QStringList &ports)
{
    qputenv("POLLIX_SERIAL_PORTS", ports.join(QLatin1Char(':')).toUtf8());
    SingletonRegistry::resetAll();
    DeviceController::ShareDeviceController(); // discovers at creation
    qunsetenv("POLLIX_SERIAL_PORTS");
    return waitIdle();
}

bool ReceiverTest::waitIdle(int timeoutMs)
{
    return DeviceController::ShareDeviceController()->waitUntilIdle(timeoutMs);
}

QList<QByteArray> ReceiverTest::programFrames(const keypadsim::SimReceiver *sim)
{
    QList<QByteArray> out;
    for (const auto &f : sim->framesFromProgram())
        out << f.bytes;
    return out;
}

bool ReceiverTest::waitFor(const std::function<bool()> &pred, int timeoutMs)
{
    return QTest::qWaitFor(pred, timeoutMs);
}

quint64 ReceiverTest::framesHandedOn()
{
    return DeviceController::ShareDeviceController()->framesDelivered();
}

bool ReceiverTest::waitHandedOn(quint64 before, int count)
{
    auto *link = DeviceController::ShareDeviceController();
    return waitFor([&] { return link->framesDelivered() >= before + quint64(count) && link->queuedFrameCount() == 0; });
}

bool ReceiverTest::keypadsLoggedIn(const keypadsim::SimReceiver *sim, int first, int count)
{
    for (int id = first; id < first + count; ++id)
        if (!sim->keypad(id).loggedIn)
            return false;
    return true;
}

void ReceiverTest::setSameChannelWait(int ms)
{
    LinkTiming timing = LinkTiming::current();
    timing.sameChannelWaitMs = ms;
    LinkTiming::setCurrent(timing);
}

void ReceiverTest::setSettle(int ms)
{
    LinkTiming timing = LinkTiming::current();
    timing.settleMs = ms;
    LinkTiming::setCurrent(timing);
}
