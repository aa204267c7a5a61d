#include "RunReceiver.h"

#include "RunTimer.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/QuizMode.h"
#include "platform/Log.h"

#include <utility>

namespace {
std::function<void()> &wakeDueHook()
{
    static std::function<void()> hook;
    return hook;
}
} // namespace

RunReceiver::RunReceiver(std::function<QuizMode *()> modeObject, std::function<bool()> answering, QObject *parent)
    : QObject(parent), m_modeObject(std::move(modeObject)), m_answering(std::move(answering))
{
}

void RunReceiver::setWakeDueHook(std::function<void()> hook)
{
    wakeDueHook() = std::move(hook);
}

void RunReceiver::setIdleAtOpening(int deviceType)
{
    QuizMode *mode = m_modeObject();
    if (!mode || !DeviceType::isLargeFamily(deviceType))
        return;
    mode->settleClassLogout();
    mode->sendPCState(2);
    m_pcStateSent.start();
}

void RunReceiver::sendNullWithNextWake(int deviceType)
{
    m_nullDue = deviceType == DeviceType::Arvel;
}

void RunReceiver::SendWakeUpMessage(int wakeMode, int freeStyleActivity)
{
    if (!m_modeObject())
        return;
    // The keypads need half a second after the idle PC state before the wake frame.
    const qint64 since = m_pcStateSent.isValid() ? m_pcStateSent.elapsed() : 500;
    const auto send = [this, wakeMode, freeStyleActivity] {
        if (wakeDueHook())
            wakeDueHook()();
        QuizMode *mode = m_modeObject();
        if (!mode)
            return;
        if (wakeMode == 0 && m_answering()) {
            PollixLog(QStringLiteral("a question started before the call to log in went out: the call is not sent"));
            return;
        }
        if (freeStyleActivity >= 0)
            mode->setQFreeMode(freeStyleActivity);
        mode->setWakeUpMode(wakeMode);
        mode->sendWakeFrame(std::exchange(m_nullDue, false));
    };
    if (since < 500)
        RunTimer::after(int(500 - since), this, send);
    else
        send();
}

void RunReceiver::stopAnswering(int deviceType)
{
    QuizMode *mode = m_modeObject();
    if (!mode)
        return;
    if (DeviceType::isLargeFamily(deviceType))
        mode->sendPCState(2);
    else
        mode->closeReceiveArvel();
}

void RunReceiver::handleDeviceChanged(int deviceType)
{
    QuizMode *mode = m_modeObject();
    if (!mode)
        return;
    const bool answering = m_answering();
    mode->getNewDevice();
    if (DeviceType::isSmallFamily(deviceType)) {
        if (answering)
            mode->openReceiveArvel();
        else
            mode->closeReceiveArvel();
    } else if (DeviceType::isLargeFamily(deviceType)) {
        mode->sendPCState(answering ? 3 : 2);
    }
}

void RunReceiver::greetAgain(int deviceType, int freeStyleActivity)
{
    QuizMode *mode = m_modeObject();
    if (!mode)
        return;
    const bool answering = m_answering();
    mode->getNewDevice();
    if (DeviceType::isSmallFamily(deviceType)) {
        // A receiver plugged in anew wants its null byte again, with the wake in one write.
        mode->sendWakeFrame(deviceType == DeviceType::Arvel);
        if (answering)
            mode->openReceiveArvel();
        else
            mode->closeReceiveArvel();
    } else if (DeviceType::isLargeFamily(deviceType)) {
        if (answering) {
            mode->sendPCState(3);
        } else {
            setIdleAtOpening(deviceType);
            SendWakeUpMessage(0, freeStyleActivity);
        }
    }
}
