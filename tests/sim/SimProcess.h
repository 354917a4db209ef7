#pragma once
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// A running stavo-sim and the test's end of its line (the pty slave), with the
// rate set by the test as a program would set it.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args, bool withLog = true);
    ~SimProcess();

    bool started() const { return m_pid > 0 && !m_slave.empty(); }
    const std::string &slavePath() const { return m_slave; }
    const std::string &dir() const { return m_dir; }
    pid_t pid() const { return m_pid; }

    // Opens the slave at baud; flush: discard what the receiver sent before.
    bool openLine(int baud, bool flush = true);
    void setRate(int baud);
    void closeLine();
    void send(const std::string &bytes);
    // Everything that arrives within ms milliseconds.
    std::string readFor(int ms);
    // Reads until `needle` appears or ms pass; returns all that was read.
    std::string readUntil(const std::string &needle, int ms);
    // Reads at least n bytes (or until ms pass).
    std::string readBytes(std::size_t n, int ms);
    void drain(int quietMs = 150);

    void signal(int sig);
    // SIGTERM and wait; returns the exit status (or -1).
    int stop();
    std::string logText() const;

private:
    std::string collect(const std::function<bool(const std::string &)> &done, int ms);
    pid_t m_pid = -1;
    int m_fd = -1;
    std::string m_slave;
    std::string m_dir;
    std::string m_log;
};

// Sentences "$...*hh" whose checksum is right, in order; `bad` counts wrong ones.
std::vector<std::string> validNmea(const std::string &bytes, int *bad = nullptr);
// "$>..." reply lines, in order.
std::vector<std::string> replyLines(const std::string &bytes);

struct BinFrame {
    int id;
    std::string data;
};
// "$BIN" frames whose length, checksum and CR LF are right; `bad` counts the others.
std::vector<BinFrame> validBinary(const std::string &bytes, int *bad = nullptr);

std::vector<std::string> fields(const std::string &sentence);
std::string readFile(const std::string &path);
