#pragma once

#include "core/keypad/DeviceController.h"
#include "core/keypad/LinkTiming.h"

#include "SimReceiver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <functional>

// What the benchmarks that drive a simulated receiver share: the environment they run in, the
// event loop turned until something holds, and the receiver plugged in and pulled out.

// Before the application: the simulator's port is the only one looked at, no hot-plug watch, and
// the program's diagnostic lines stay out of the figures.
inline void benchReceiverEnvironment()
{
    qputenv("POLLIX_NO_UDEV", "1");
    qunsetenv("POLLIX_SERIAL_PORTS");
    qputenv("QT_LOGGING_RULES", "pollix.info=false");
}

// Turns the event loop until done holds or timeoutMs has passed; whether it held. A short nap
// between turns leaves the simulator's thread the processor.
inline bool spin(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

// Starts sim and lets the program find and open it; the device controller then, or nullptr after
// saying what failed.
inline DeviceController *plugInBenchReceiver(keypadsim::SimReceiver &sim)
{
    if (!sim.start()) {
        std::printf("cannot start the simulator: %s\n", qPrintable(sim.errorString()));
        return nullptr;
    }
    DeviceController *ctrl = DeviceController::ShareDeviceController();
    ctrl->scanPorts({sim.portPath()});
    if (!spin([&] { return ctrl->getBHaveDevice() && !ctrl->isBusy(); }, 10000)) {
        std::printf("receiver not found\n");
        return nullptr;
    }
    return ctrl;
}

// Drops the listener, pulls sim out and waits until the program has let the receiver go.
inline void unplugBenchReceiver(keypadsim::SimReceiver &sim)
{
    DeviceController *ctrl = DeviceController::ShareDeviceController();
    ctrl->setDelegateOfPort(nullptr);
    sim.unplug();
    spin([&] { return !ctrl->getBHaveDevice(); }, 5000);
}
