#pragma once
// A serial line to the receiver through Qt's serial port, 8N1 without flow control, at any rate the
// driver accepts (custom rates such as 14400 or 512000 included). The line lives in its own reader
// thread with its own event loop, so bytes keep being read while the program's thread is blocked,
// for instance in bWaitWriteBufferEmpty. Writes are queued from any thread and sent by the reader
// thread in order.

#include "platform/WinTypes.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class QObject;
class QSerialPort;
class QThread;
class QTimer;

class CSerialPort {
public:
    CSerialPort();
    // Closes the line. A derived class that receives bytes must call vClosePort() in its own
    // destructor, since the reader thread calls into it.
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens a device path at a rate; FALSE when it cannot be opened or the rate is refused.
    platform::BOOL bOpenDevice(const QString& device, unsigned baud);
    // Blocks until every byte written so far has left the line: through our queue, Qt's buffer and
    // the driver's output queue. Bounded: returns FALSE when the line makes no progress for a while
    // (nobody reads, a dead adapter) or takes far longer than the rate allows, or when closed.
    platform::BOOL bWaitWriteBufferEmpty();
    void vClosePort();

    // The line's file descriptor, -1 when closed.
    int handle() const { return m_hPort.load(); }
    // True once the line hung up or failed to read and was closed by the reader; a new open clears it.
    bool IsHungUp() const { return m_bHungUp.load(); }
    // The device path last opened (or that failed to open), as the system names it.
    QString Device() const { return m_device; }
    // Why the last open failed: "<device>: <the system's reason>", with what to do about a
    // permission refused; the system's error number (0 when not known).
    QString OpenFailure() const;
    int OpenErrno() const { return m_openErrno; }
    unsigned baud() const { return m_baud.load(); }
    // Bytes written but not yet taken by the driver (our queue and Qt's buffer): how far behind the
    // line is.
    std::uint64_t UnsentBytes() const;

protected:
    // Queues bytes for sending; silently dropped while closed.
    void WriteBytes(const char* data, std::size_t n);
    // Like bWaitWriteBufferEmpty, with an extra bound in milliseconds (0: none).
    platform::BOOL WaitDrained(int maxMs);
    // Drains, then sets the rate. FALSE when closed or the rate is refused.
    platform::BOOL SetRate(unsigned baud);
    // Asks for one OnTimer call in the reader thread after ms (replacing an earlier request).
    void ArmTimer(int ms);

    // Called in the reader thread.
    virtual void OnReceive(const char* data, std::size_t n) {}
    virtual void OnTimer() {}
    virtual void OnRateChanged() {}
    // The line hung up and has been closed.
    virtual void OnHangUp() {}

private:
    struct Line; // the reader thread's objects
    void StartWrite();
    void HangUp(Line* l); // in the reader thread
    static QString SystemLocation(const QString& device);

protected:
    // Records why opening device failed (the serial library's text when the system has no better).
    void SetOpenError(const QString& device, const QString& qtError);

private:

    std::unique_ptr<Line> m_line;
    std::atomic<int> m_hPort{-1};
    std::atomic<unsigned> m_baud{0};
    std::atomic<bool> m_bHungUp{false};
    QString m_device;
    QString m_openError;
    int m_openErrno = 0;
    bool m_isPty = false; // no hardware buffer behind the driver

    mutable std::mutex m_txMutex;
    std::condition_variable m_txCond;
    std::string m_txPending;        // queued by writers, not yet handed to Qt
    std::uint64_t m_txQueued = 0;   // bytes queued since open
    std::uint64_t m_txWritten = 0;  // bytes the driver has taken since open
    bool m_txFailed = false;        // a write error: waiting is pointless
};

class CMySerialPort : public CSerialPort {
public:
    // Queues a command text, one byte per character (Latin-1; anything beyond it as '?'). With n > 0
    // the call also waits at most n milliseconds until the text has left the line (used with
    // "$JSAVE\r\n" at exit, so the receiver has it before the port closes). The last argument is unused.
    void vWriteToPort(const QString& text, int n, int reserved);
    // The same for a wide string literal (L"$JOFF\r\n"), as the program writes its commands.
    void vWriteToPort(const wchar_t* text, int n, int reserved)
    {
        vWriteToPort(QString::fromWCharArray(text ? text : L""), n, reserved);
    }
    // Drains first, so a command is never split across two rates, then changes the line's rate. If
    // the line is stalled, what could not be sent is discarded rather than sent at the new rate.
    platform::BOOL bChangeBaudrate(unsigned baud);
};
