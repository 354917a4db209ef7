#pragma once
#include <cstddef>
#include <string>

namespace stavo::sim {

// The receiver's end of the serial line: the master side of a pseudo-terminal.
// The program opens the slave as if it were a serial device; the line settings it
// chooses there (the baud rate above all) are read here.
class PtyPort {
public:
    static constexpr int kMaxQueued = 3072; // unread bytes kept (the line discipline holds at most 4096)

    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort &) = delete;
    PtyPort &operator=(const PtyPort &) = delete;

    // Creates the pair with the slave raw at baud. False with a reason on failure.
    bool open(int baud, std::string &error);

    const std::string &slavePath() const { return m_slavePath; }
    int fd() const { return m_master; }

    // The rate the program has set on its side of the line now.
    int programRate() const;

    struct ReadResult {
        long bytes = -1;          // data bytes appended; 0 for a status-only read; -1: nothing to read
        bool settingsChanged = false; // the program changed the line settings
    };
    // One non-blocking read; data is appended to `data`.
    ReadResult readSome(std::string &data);

    // Non-blocking write; what does not fit in the line's buffer is lost, as on a
    // UART whose other end does not read. Returns the bytes taken.
    std::size_t write(const std::string &bytes);

private:
    int m_master = -1;
    int m_keepSlave = -1; // so the master never sees a hang-up when the program closes the port
    bool m_packetMode = false;
    std::string m_slavePath;
};

}  // namespace stavo::sim
