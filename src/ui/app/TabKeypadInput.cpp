#include "TabKeypadInput.h"

#include "TabController.h"

#include "core/app/MainWindowFrames.h"
#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/ClassLogout.h"
#include "core/keypad/KeypadMouse.h"
#include "core/keypad/TeacherKeyMap.h"
#include "core/keypad/TovDevice.h"
#include "platform/Log.h"

#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>

TabKeypadInput::TabKeypadInput(TabController *window) : w(window) {}

bool TabKeypadInput::sendFrame(const QByteArray &frame)
{
    if (frame.isEmpty() || !w->appDelegate)
        return false;
    const std::shared_ptr<TovDevice> device = w->appDelegate->currentDevice();
    return device && device->sendData(frame);
}

void TabKeypadInput::handleKeypadFrame(const DataOfFrame &frame)
{
    if (w->m_curDeviceType == 0 || w->m_curDeviceType == 1) {
        if (w->m_curWinState == 0)
            handleDataReceiveArvel(frame);
    } else if (w->m_curDeviceType >= 2 && w->m_curDeviceType <= 4) {
        handleDataReceiveCorvel_Dravel(frame);
    }
}

void TabKeypadInput::handleDataReceiveArvel(const DataOfFrame &frame)
{
    PollixFrameLogf("data receive in TabController : %02x\t%02x\t%02x\n", frame.data()[0], frame.data()[1], frame.data()[2]);
    if (TeacherKeyMap::action(TeacherKeyMap::Context::MainWindow, frame) == TeacherKeyMap::Action::Start && !w->m_isRun)
        w->doStart();
}

void TabKeypadInput::handleDataReceiveCorvel_Dravel(const DataOfFrame &frame)
{
    if (frame.type() != 1)
        return;
    const TeacherKeyMap::Action action = TeacherKeyMap::action(TeacherKeyMap::Context::MainWindow, frame);
    if (action == TeacherKeyMap::Action::Mouse)
        KeypadMouse::pass(frame);
    if (w->m_curWinState != 0 || w->tabView->currentIndex() != 0)
        return;
    switch (frame.cmd()) {
    case 0xF5:
        if (frame.dataAt(0) == 0xE3)
            sendStudentLogoutClass();
        break;
    case 0xF4:
        if (action == TeacherKeyMap::Action::Start) {
            if (!w->m_bIsClassSetted)
                sendWrongState(10);
            if (w->btnStart->isEnabled() && !w->m_isRun)
                w->doStart();
        }
        break;
    case 0xF9:
        if (w->m_bIsClassSetted)
            sendClassMsgToDevice(frame.isTeacherCommand() ? 0xEF00 : frame.deviceID());
        break;
    case 0xFE:
        if (!frame.isTeacherCommand() || w->m_isRun)
            break;
        if (!w->m_bIsClassSetted) {
            sendWrongState(10);
            w->doClassSet();
        } else if (!w->m_bIsLoaded) {
            if (w->m_isFreeStyle || w->cboActivityMode->currentIndex() == 7) {
                w->m_bIsLoaded = true;
                break;
            }
            sendWrongState(11);
            w->m_isRun = true;
            if (w->openFile()) {
                w->setLoad(true);
                w->setControlEnabled(w->btnTitleSet, true);
                w->setControlEnabled(w->btnStart, true);
                w->raiseToStatusLevel();
            } else {
                w->setLoad(false);
                w->setControlEnabled(w->btnTitleSet, false);
                w->setControlEnabled(w->btnStart, false);
            }
            w->m_isRun = false;
        } else {
            sendQuizMsgToTeacher();
            if (w->btnStart->isEnabled() && !w->m_isRun)
                w->doStart();
        }
        break;
    default:
        break;
    }
}

void TabKeypadInput::sendStudentLogoutClass()
{
    ClassLogout::shareManager()->send([this](const QByteArray &frame) { return sendFrame(frame); });
}

void TabKeypadInput::sendWrongState(int state)
{
    sendFrame(MainWindowFrames::wrongState(state));
}

void TabKeypadInput::sendQuizMsgToTeacher()
{
    const int mode = w->m_isFreeStyle ? 5 : MainWindowFrames::actModeTransToDeviceMode(w->m_curActivityMode);
    sendFrame(MainWindowFrames::quizMsgToTeacher(w->m_partiData->className(), w->m_partiData->teacherName(), mode,
                                                 w->m_partiData->getSumOfClassStudents(), w->m_partiData->randomTeacherID(),
                                                 w->m_curDeviceType == 2));
}

void TabKeypadInput::sendClassMsgToDevice(int id)
{
    sendFrame(MainWindowFrames::classMsgToDevice(id, w->m_partiData->className(), w->m_partiData->teacherName(),
                                                 w->m_partiData->getSumOfClassStudents()));
}
