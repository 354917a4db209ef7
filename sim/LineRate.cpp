#include "LineRate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace stavo::sim {

int readLineRate(int fd)
{
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return 0;
    return static_cast<int>(t.c_ospeed);
}

static bool applyRate(struct termios2 &t, int baud)
{
    if (baud <= 0)
        return false;
    t.c_cflag &= ~CBAUD;
    t.c_cflag |= BOTHER;
    t.c_cflag &= ~(CBAUD << IBSHIFT);
    t.c_cflag |= BOTHER << IBSHIFT;
    t.c_ospeed = static_cast<speed_t>(baud);
    t.c_ispeed = static_cast<speed_t>(baud);
    return true;
}

bool setRawLine(int fd, int baud)
{
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    // The same bits cfmakeraw() clears, plus 8N1, receiver on, no modem control.
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (!applyRate(t, baud))
        return false;
    return ioctl(fd, TCSETS2, &t) == 0;
}

bool setLineRate(int fd, int baud)
{
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0 || !applyRate(t, baud))
        return false;
    return ioctl(fd, TCSETS2, &t) == 0;
}

bool flushInput(int fd) { return ioctl(fd, TCFLSH, TCIFLUSH) == 0; }

bool setExtProc(int fd, bool on)
{
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    if (on)
        t.c_lflag |= EXTPROC;
    else
        t.c_lflag &= ~EXTPROC;
    return ioctl(fd, TCSETS2, &t) == 0;
}

}  // namespace stavo::sim
