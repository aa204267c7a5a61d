#pragma once

namespace keypadsim {

// What the program set on its end of the pseudo-terminal, read from the master side.
struct SimLineSettings
{
    bool valid = false;
    int speed = 0;
    bool raw8N1 = false;

    // Reads the settings through termios2 (kept apart: <asm/termbits.h> clashes with <termios.h>).
    static SimLineSettings read(int masterFd);
};

} // namespace keypadsim
