#include "PtyPort.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "LineRate.h"

namespace stavo::sim {

PtyPort::~PtyPort()
{
    if (m_keepSlave >= 0)
        ::close(m_keepSlave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyPort::open(int baud, std::string &error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[256];
    if (::ptsname_r(m_master, name, sizeof name) != 0) {
        error = std::string("ptsname: ") + std::strerror(errno);
        return false;
    }
    m_slavePath = name;
    m_keepSlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_keepSlave < 0) {
        error = "cannot open " + m_slavePath + ": " + std::strerror(errno);
        return false;
    }
    // Raw, so nothing is echoed or translated before the program sets its own mode.
    if (!setRawLine(m_keepSlave, baud)) {
        error = "cannot set the line settings of " + m_slavePath;
        return false;
    }
    // Packet mode plus EXTPROC: a change of line settings wakes the reader, so a
    // rate switch is seen in order with the bytes around it as far as possible.
    int one = 1;
    m_packetMode = setExtProc(m_keepSlave, true) && ::ioctl(m_master, TIOCPKT, &one) == 0;
    const int flags = ::fcntl(m_master, F_GETFL);
    ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
    return true;
}

int PtyPort::programRate() const { return readLineRate(m_master); }

PtyPort::ReadResult PtyPort::readSome(std::string &data)
{
    unsigned char buf[4096];
    const ssize_t n = ::read(m_master, buf, sizeof buf);
    ReadResult r;
    if (n <= 0)
        return r;
    if (!m_packetMode) {
        data.append(reinterpret_cast<const char *>(buf), static_cast<std::size_t>(n));
        r.bytes = n;
        return r;
    }
    // Packet mode: a leading 0 byte means data follows; anything else is status alone.
    if (buf[0] != TIOCPKT_DATA) {
        r.bytes = 0;
        r.settingsChanged = (buf[0] & TIOCPKT_IOCTL) != 0;
        return r;
    }
    data.append(reinterpret_cast<const char *>(buf + 1), static_cast<std::size_t>(n - 1));
    r.bytes = n - 1;
    return r;
}

std::size_t PtyPort::write(const std::string &bytes)
{
    // Nobody has read the line for a long while (the program is not running yet):
    // drop the stale output so that a program opening the port later starts with
    // fresh messages, as it would on a UART.
    int queued = 0;
    if (::ioctl(m_keepSlave, FIONREAD, &queued) == 0 && queued > kMaxQueued)
        ::ioctl(m_keepSlave, TCFLSH, TCIFLUSH);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            if (n < 0 && errno == EINTR)
                continue;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace stavo::sim
