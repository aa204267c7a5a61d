#pragma once

// Sets an arbitrary line speed (28800 baud is outside the classic termios table) through
// termios2/BOTHER. Lives in its own source file because <asm/termbits.h> clashes with <termios.h>.
// Returns 0 on success, else the errno of the failing call.
int setSerialSpeedTermios2(int fd, int baud);
// Reads back the output speed the driver holds; -1 when it cannot be read.
int serialSpeedTermios2(int fd);
