#include "TabSettingsDialogs.h"

#include "TabController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/QuizParticipantData.h"
#include "ui/app/DataManagementCtrl.h"
#include "ui/app/LoginSetCtrl.h"
#include "ui/app/SystemSettingCtrl.h"
#include "ui/controls/PollixAlert.h"
#include "ui/keypad/DeviceSettingCtrl.h"
#include "ui/keypad/HardwareTestCtrl.h"
#include "ui/keypad/SetChannelCtrl.h"
#include "ui/keypad/VersionInfoCtrl.h"

TabSettingsDialogs::TabSettingsDialogs(TabController *window) : w(window) {}

void TabSettingsDialogs::doVersionInfo()
{
    w->lowerToNormalLevel();
    if (TabController::hooks().runVersionInfo) {
        TabController::hooks().runVersionInfo(w);
    } else {
        VersionInfoCtrl version(w);
        if (w->appDelegate)
            w->appDelegate->setObjectToReceiveCommData(&version);
        version.exec();
    }
    w->becomeFrameListener();
}

void TabSettingsDialogs::doHardwareTest()
{
    w->lowerToNormalLevel();
    if (TabController::hooks().runHardwareTest) {
        TabController::hooks().runHardwareTest(w, 1);
    } else {
        HardwareTestCtrl test(w);
        test.setMode(1);
        if (w->appDelegate)
            w->appDelegate->setObjectToReceiveCommData(&test);
        test.exec();
    }
    w->becomeFrameListener();
}

void TabSettingsDialogs::doChannelSet()
{
    if (!w->isLogIn() && !w->login())
        return;
    w->lowerToNormalLevel();
    if (w->m_curDeviceType < 0 || w->m_curDeviceType > 4) {
        // No keypad model chosen: there is no receiver to set up.
        PollixAlert::show(w, QStringLiteral("Pollix ARS"), QStringLiteral("No Host"));
        return;
    }
    if (TabController::hooks().runChannelSet) {
        TabController::hooks().runChannelSet(w, w->m_curDeviceType);
    } else if (w->m_curDeviceType == 2 || w->m_curDeviceType == 3) {
        SetChannelCtrl channel(w);
        if (w->appDelegate)
            w->appDelegate->setObjectToReceiveCommData(&channel);
        channel.exec();
    } else {
        DeviceSettingCtrl settings(w);
        if (w->appDelegate)
            w->appDelegate->setObjectToReceiveCommData(&settings);
        settings.exec();
    }
    w->becomeFrameListener();
}

void TabSettingsDialogs::doSystemSet()
{
    w->lowerToNormalLevel();
    if (TabController::hooks().runSystemSetting) {
        TabController::hooks().runSystemSetting(w);
    } else {
        SystemSettingCtrl page(w);
        page.exec();
    }
    w->becomeFrameListener();
}

void TabSettingsDialogs::doLoginSet()
{
    w->lowerToNormalLevel();
    LoginSetCtrl dialog(w);
    dialog.exec();
}

void TabSettingsDialogs::doDataManagement()
{
    if (!w->isLogIn() && !w->login())
        return;
    w->lowerToNormalLevel();
    bool changed = false;
    if (TabController::hooks().runDataManagement) {
        changed = TabController::hooks().runDataManagement(w);
    } else {
        DataManagementCtrl page(w);
        page.exec();
        changed = page.isDataChanged();
    }
    if (changed) {
        // The title stops naming the class as the set-up is dropped: it may be gone with the data.
        w->setClassSetted(false);
        w->refreshTitle(w->m_curDeviceType, 0, QString());
        w->m_partiData->setClassNo(0);
        w->m_partiData->setSubjectNo(0);
        w->m_partiData->setTeacherNo(0);
    }
    w->becomeFrameListener();
}
