#include "RunFrameRouter.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/ActivityCodes.h"
#include "core/engine/QuizMode.h"
#include "core/keypad/KeypadMouse.h"
#include "platform/Log.h"
#include "ui/controls/PollixAlert.h"

RunFrameRouter::RunFrameRouter(Window window)
    : m_window(std::move(window)), appDelegate(Orvenda_AppDelegate::getAppDelegate())
{
}

void RunFrameRouter::handleDataReceive()
{
    if (!appDelegate)
        return;
    const DataOfFrame frame = appDelegate->frameToHandle();
    const int type = appDelegate->currentDeviceType();
    if (frame.isNull() || type < DeviceType::Envel || type > DeviceType::Brevel) {
        appDelegate->signalConditionOfDataHandled();
        return;
    }
    if (DeviceType::isSmallFamily(type))
        handleDataReceiveArvel(frame);
    else
        handleDataReceiveCorvel_Dravel(frame);
}

void RunFrameRouter::handleDataReceiveArvel(const DataOfFrame &frame)
{
    appDelegate->signalConditionOfDataHandled();
    const uint8_t *b = frame.data();
    PollixFrameLogf("data receive in QuizState : %02x\t%02x\t%02x\n", b[0], b[1], b[2]);
    if (frame.isTeacherCommand())
        RX_TeacherCommandArvel(frame);
    else if (frame.isStudentCommand())
        handleStudentFrame(frame);
}

void RunFrameRouter::handleStudentFrame(const DataOfFrame &frame)
{
    QuizMode *mode = m_window.modeObject();
    if (!mode)
        return;
    mode->setFrameToHandle(frame);
    mode->handleStudentCommandArvel();
}

void RunFrameRouter::RX_TeacherCommandArvel(const DataOfFrame &frame)
{
    runTeacherKey(frame);
}

void RunFrameRouter::runTeacherKey(const DataOfFrame &frame)
{
    const TeacherKeyMap::Action action = m_window.keyAction ? m_window.keyAction(frame)
                                                            : TeacherKeyMap::action(TeacherKeyMap::Context::RunWindow, frame);
    if (PollixAlert *alert = m_window.alert()) {
        // F1 and F2 answer the alert that is up; nothing else reaches the window meanwhile, but
        // for a Stop that the alert itself waits for.
        const bool stopThrough = action == TeacherKeyMap::Action::Stop && m_window.alertLetsStopThrough
                                 && m_window.alertLetsStopThrough();
        if (!stopThrough) {
            alert->runTeacherKey(frame);
            return;
        }
    }
    if (action == TeacherKeyMap::Action::Mouse) {
        KeypadMouse::pass(frame);
        return;
    }
    // A child window that left the listener role here owns the teacher's keys while it is up.
    if (m_window.childUp() || action == TeacherKeyMap::Action::None)
        return;
    m_window.press(action);
}

void RunFrameRouter::handleDataReceiveCorvel_Dravel(const DataOfFrame &frame)
{
    if (frame.isShortFrame())
        handleShortFrame(frame);
    else
        handleLongFrame(frame);
}

void RunFrameRouter::handleLongFrame(const DataOfFrame &frame)
{
    m_frameInHand = true;
    if (QuizMode *mode = m_window.modeObject()) {
        mode->setFrameToHandle(frame);
        mode->handleDataReceiveCorvel_Dravel();
    }
    releaseFrameInHand();
}

void RunFrameRouter::releaseFrameInHand()
{
    // Once per frame. A child window or alert opened while a frame is handled releases it first:
    // the receiver offers nothing more until it is signalled, and the child needs the next frames.
    if (!m_frameInHand)
        return;
    m_frameInHand = false;
    if (appDelegate)
        appDelegate->signalConditionOfDataHandled();
}

void RunFrameRouter::handleShortFrame(const DataOfFrame &frame)
{
    appDelegate->signalConditionOfDataHandled();
    if (frame.cmd() == 0xF4 && frame.isTeacherCommand())
        runTeacherKey(frame);
}
