#include "ClassLogout.h"

#include "core/engine/ActivityFrames.h"

void ClassLogout::send(const std::function<bool(const QByteArray &)> &sendFrame)
{
    bool sent = false;
    for (int i = 0; i < 3; ++i)
        sent = sendFrame(ActivityFrames::studentLogoutClass()) || sent;
    // Frames that found no receiver told no keypad.
    if (sent)
        m_owed = false;
}
