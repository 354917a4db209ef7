#include "SimProcess.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "LineRate.h"

using namespace std::chrono;

SimProcess::SimProcess(std::vector<std::string> args, bool withLog)
{
    char tmpl[] = "/tmp/stavo-sim-test-XXXXXX";
    if (!::mkdtemp(tmpl))
        return;
    m_dir = tmpl;
    m_log = m_dir + "/sim.log";
    if (withLog) {
        args.insert(args.begin(), m_log);
        args.insert(args.begin(), "--log");
    }
    int out[2];
    if (::pipe(out) != 0)
        return;
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char *> argv;
        std::string exe = STAVO_SIM_EXE;
        argv.push_back(exe.data());
        for (auto &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(exe.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    // The first line on stdout is the slave's path.
    std::string line;
    const auto deadline = steady_clock::now() + seconds(5);
    while (steady_clock::now() < deadline) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char c;
        if (::read(out[0], &c, 1) != 1)
            break;
        if (c == '\n') {
            m_slave = line;
            break;
        }
        line.push_back(c);
    }
    ::close(out[0]);
}

SimProcess::~SimProcess()
{
    closeLine();
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (!m_dir.empty() && std::getenv("STAVO_KEEP_SIM_LOGS") == nullptr) {
        const std::string cmd = "rm -rf '" + m_dir + "'";
        [[maybe_unused]] int rc = std::system(cmd.c_str());
    }
}

bool SimProcess::openLine(int baud, bool flush)
{
    closeLine();
    m_fd = ::open(m_slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    if (!stavo::sim::setRawLine(m_fd, baud))
        return false;
    return !flush || stavo::sim::flushInput(m_fd);
}

void SimProcess::setRate(int baud) { stavo::sim::setLineRate(m_fd, baud); }

void SimProcess::closeLine()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void SimProcess::send(const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
        else
            ::usleep(1000);
    }
}

std::string SimProcess::readFor(int ms)
{
    return collect([](const std::string &) { return false; }, ms);
}

std::string SimProcess::readUntil(const std::string &needle, int ms)
{
    return collect([&](const std::string &out) { return out.find(needle) != std::string::npos; }, ms);
}

std::string SimProcess::readBytes(std::size_t n, int ms)
{
    return collect([n](const std::string &out) { return out.size() >= n; }, ms);
}

// Reads what arrives until done() says so or ms have passed.
std::string SimProcess::collect(const std::function<bool(const std::string &)> &done, int ms)
{
    std::string out;
    const auto deadline = steady_clock::now() + milliseconds(ms);
    while (!done(out)) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0)
            break;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n > 0)
            out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

void SimProcess::drain(int quietMs)
{
    // Discards what is queued now (not waiting for a quiet line: the sim may talk at 5 Hz).
    readFor(quietMs);
}

void SimProcess::signal(int sig)
{
    if (m_pid > 0)
        ::kill(m_pid, sig);
}

int SimProcess::stop()
{
    if (m_pid <= 0)
        return -1;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 300; ++i) {
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        ::usleep(10000);
    }
    return -1;
}

std::string SimProcess::logText() const { return readFile(m_log); }

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> validNmea(const std::string &bytes, int *bad)
{
    std::vector<std::string> out;
    int wrong = 0;
    std::size_t pos = 0;
    while ((pos = bytes.find("$G", pos)) != std::string::npos) {
        const auto end = bytes.find("\r\n", pos);
        if (end == std::string::npos)
            break;
        const std::string s = bytes.substr(pos, end - pos);
        pos = end;
        const auto star = s.find('*');
        if (star == std::string::npos || star + 3 != s.size()) {
            ++wrong;
            continue;
        }
        unsigned sum = 0;
        for (std::size_t i = 1; i < star; ++i)
            sum ^= static_cast<unsigned char>(s[i]);
        if (std::strtoul(s.substr(star + 1).c_str(), nullptr, 16) == sum)
            out.push_back(s);
        else
            ++wrong;
    }
    if (bad)
        *bad = wrong;
    return out;
}

std::vector<std::string> replyLines(const std::string &bytes)
{
    std::vector<std::string> out;
    std::size_t pos = 0;
    while ((pos = bytes.find("$>", pos)) != std::string::npos) {
        const auto end = bytes.find("\r\n", pos);
        if (end == std::string::npos)
            break;
        out.push_back(bytes.substr(pos, end - pos));
        pos = end;
    }
    return out;
}

std::vector<BinFrame> validBinary(const std::string &bytes, int *bad)
{
    std::vector<BinFrame> out;
    int wrong = 0;
    std::size_t pos = 0;
    while ((pos = bytes.find("$BIN", pos)) != std::string::npos) {
        if (pos + 8 > bytes.size())
            break;
        auto u16 = [&](std::size_t at) {
            return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]))
                   | static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
        };
        const int id = static_cast<int>(u16(pos + 4));
        const std::size_t len = u16(pos + 6);
        if (pos + 12 + len > bytes.size())
            break;
        unsigned sum = 0;
        for (std::size_t i = 0; i < len; ++i)
            sum += static_cast<unsigned char>(bytes[pos + 8 + i]);
        if ((sum & 0xFFFF) == u16(pos + 8 + len) && bytes.compare(pos + 10 + len, 2, "\r\n") == 0) {
            out.push_back({id, bytes.substr(pos + 8, len)});
            pos += 12 + len;
        } else {
            ++wrong;
            pos += 4;
        }
    }
    if (bad)
        *bad = wrong;
    return out;
}

std::vector<std::string> fields(const std::string &sentence)
{
    std::vector<std::string> out;
    std::string body = sentence.substr(0, sentence.find('*'));
    std::size_t start = 0;
    for (;;) {
        const auto c = body.find(',', start);
        out.push_back(body.substr(start, c == std::string::npos ? std::string::npos : c - start));
        if (c == std::string::npos)
            break;
        start = c + 1;
    }
    return out;
}
