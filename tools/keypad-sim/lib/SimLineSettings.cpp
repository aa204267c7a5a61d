#include "SimLineSettings.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace keypadsim {

SimLineSettings SimLineSettings::read(int masterFd)
{
    SimLineSettings s;
    struct termios2 tio {};
    if (ioctl(masterFd, TCGETS2, &tio) != 0)
        return s;
    s.valid = true;
    s.speed = int(tio.c_ospeed);
    const bool lineRaw = !(tio.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN));
    const bool inputRaw = !(tio.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | PARMRK));
    const bool outputRaw = !(tio.c_oflag & OPOST);
    const bool eightN1 = (tio.c_cflag & CSIZE) == CS8 && !(tio.c_cflag & (PARENB | CSTOPB));
    s.raw8N1 = lineRaw && inputRaw && outputRaw && eightN1;
    return s;
}

} // namespace keypadsim
