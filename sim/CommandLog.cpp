#include "CommandLog.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace stavo::sim {

CommandLog::~CommandLog()
{
    if (m_fd > 2)
        ::close(m_fd);
}

bool CommandLog::open(const std::string &path)
{
    if (path.empty())
        return true;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    if (m_fd > 2)
        ::close(m_fd);
    m_fd = fd;
    return true;
}

std::string CommandLog::printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

void CommandLog::write(double seconds, int simBaud, int programBaud, std::string_view text)
{
    char head[64];
    std::snprintf(head, sizeof head, "%.3f %d %d ", seconds, simBaud, programBaud);
    std::string line = head + printable(text) + "\n";
    // One write per line: O_APPEND keeps lines whole even if someone else appends.
    const char *p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, left);
        if (n <= 0)
            return;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

}  // namespace stavo::sim
