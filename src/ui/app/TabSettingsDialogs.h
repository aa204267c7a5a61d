#pragma once

class TabController;

// The windows of the main window's Settings tab: system settings, channel or keypad set-up,
// hardware test, data management, login set-up and version. Each is the installed hook's window or
// the program's own dialog, which takes the keypads while it runs; the main window listens again
// afterwards. Channel set-up and data management ask for the administration login first.
class TabSettingsDialogs
{
public:
    explicit TabSettingsDialogs(TabController *window);

    void doVersionInfo();
    void doHardwareTest();
    void doChannelSet();
    void doSystemSet();
    void doLoginSet();
    void doDataManagement();

private:
    TabController *w;
};
