#pragma once

#include <QByteArray>

class DataOfFrame;
class TabController;

// The teacher keypad at the main window: Start, the class's log-out, the class and quiz
// messages a keypad asks for, the keypad mouse, and the class set-up and loading a keypad can
// start from the Brightpoll tab; and the frames the window sends the keypads.
class TabKeypadInput
{
public:
    explicit TabKeypadInput(TabController *window);

    void handleKeypadFrame(const DataOfFrame &frame);
    // The class logout frame, three times (the keypads' answer to the logout wake asks it).
    void sendStudentLogoutClass();
    void sendWrongState(int state);
    void sendQuizMsgToTeacher();
    void sendClassMsgToDevice(int id);

private:
    bool sendFrame(const QByteArray &frame);
    void handleDataReceiveArvel(const DataOfFrame &frame);
    void handleDataReceiveCorvel_Dravel(const DataOfFrame &frame);

    TabController *w;
};
