#include "SerialPort.h"

#include <QFile>
#include <QMetaObject>
#include <QObject>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <chrono>
#include <thread>

using platform::BOOL;
using platform::FALSE;
using platform::TRUE;

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t Ms(Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); }

// Milliseconds to send n bytes at a rate, 10 bits a byte (8N1 with start and stop bits).
std::int64_t SendTimeMs(std::uint64_t n, unsigned baud)
{
    return baud ? std::int64_t(n * 10000 / baud) : 0;
}

// A pseudo-terminal's slave: its driver is "pty" (major numbers 136..143 for /dev/pts).
bool IsPseudoTerminal(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned major = ::major(st.st_rdev);
    return major >= 136 && major <= 143;
}

} // namespace

struct CSerialPort::Line {
    QThread thread;
    QObject* context = nullptr; // lives in the thread; owns the serial port and the timer
    QSerialPort* serial = nullptr;
    QTimer* timer = nullptr;
};

CSerialPort::CSerialPort() = default;

CSerialPort::~CSerialPort() { vClosePort(); }

BOOL CSerialPort::bOpenDevice(const QString& device, unsigned baud)
{
    vClosePort();
    auto line = std::make_unique<Line>();
    line->context = new QObject;
    line->context->moveToThread(&line->thread);
    line->thread.setObjectName(QStringLiteral("wirra-reader"));
    line->thread.start();
    {
        std::lock_guard<std::mutex> lock(m_txMutex);
        m_txPending.clear();
        m_txQueued = m_txWritten = 0;
        m_txFailed = false;
    }
    int fd = -1;
    QString qtError;
    Line* l = line.get();
    QMetaObject::invokeMethod(
        l->context,
        [&, l] {
            auto* s = new QSerialPort(l->context);
            s->setPortName(device);
            if (!s->open(QIODevice::ReadWrite) || !s->setBaudRate(qint32(baud)) || !s->setDataBits(QSerialPort::Data8)
                || !s->setParity(QSerialPort::NoParity) || !s->setStopBits(QSerialPort::OneStop)
                || !s->setFlowControl(QSerialPort::NoFlowControl)) {
                qtError = s->errorString();
                delete s;
                return;
            }
            // Bytes that reached the line before it was opened and set up were received at an unknown
            // rate by nobody; a UART drops them, so the reader must not take them as the receiver's.
            s->clear(QSerialPort::Input);
            l->serial = s;
            l->timer = new QTimer(l->context);
            l->timer->setSingleShot(true);
            QObject::connect(l->timer, &QTimer::timeout, l->context, [this] { OnTimer(); });
            QObject::connect(s, &QSerialPort::readyRead, l->context, [this, s] {
                char buf[4096];
                for (;;) {
                    const qint64 r = s->read(buf, sizeof buf);
                    if (r <= 0)
                        break;
                    OnReceive(buf, std::size_t(r));
                }
            });
            QObject::connect(s, &QSerialPort::bytesWritten, l->context, [this](qint64 n) {
                {
                    std::lock_guard<std::mutex> lock(m_txMutex);
                    m_txWritten += std::uint64_t(n);
                }
                m_txCond.notify_all();
            });
            QObject::connect(s, &QSerialPort::errorOccurred, l->context, [this, l](QSerialPort::SerialPortError e) {
                if (e == QSerialPort::WriteError || e == QSerialPort::ResourceError || e == QSerialPort::ReadError) {
                    {
                        std::lock_guard<std::mutex> lock(m_txMutex);
                        m_txFailed = true;
                    }
                    m_txCond.notify_all();
                }
                // A line that hung up (the other end gone, the adapter pulled) reports itself readable
                // for ever with nothing to read: stop watching it and close it, from outside this
                // signal, once the serial port has finished with it.
                if (e == QSerialPort::ReadError || e == QSerialPort::ResourceError)
                    QMetaObject::invokeMethod(l->context, [this, l] { HangUp(l); }, Qt::QueuedConnection);
            });
            fd = int(s->handle());
        },
        Qt::BlockingQueuedConnection);
    if (fd < 0) {
        line->thread.quit();
        line->thread.wait();
        delete line->context;
        SetOpenError(device, qtError);
        return FALSE;
    }
    m_openErrno = 0;
    m_openError.clear();
    m_line = std::move(line);
    m_device = SystemLocation(device);
    m_bHungUp = false;
    m_isPty = IsPseudoTerminal(fd);
    m_baud = baud;
    m_hPort = fd;
    return TRUE;
}

QString CSerialPort::SystemLocation(const QString& device)
{
    // As the serial port library names devices: a bare name is one under /dev.
    if (device.startsWith(QLatin1Char('/')) || device.startsWith(QLatin1String("./"))
        || device.startsWith(QLatin1String("../")))
        return device;
    return QStringLiteral("/dev/") + device;
}

void CSerialPort::SetOpenError(const QString& device, const QString& qtError)
{
    if (device.isEmpty()) {
        m_device.clear();
        m_openErrno = 0;
        m_openError = qtError;
        return;
    }
    // The serial port library's own message does not always carry the system's reason (a
    // missing device, no permission): ask the system about the path itself.
    const QByteArray path = QFile::encodeName(SystemLocation(device));
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || ::access(path.constData(), R_OK | W_OK) != 0) {
        m_openErrno = errno;
        m_openError = QString::fromLocal8Bit(std::strerror(errno));
    } else {
        m_openErrno = 0;
        m_openError = qtError.isEmpty() ? QStringLiteral("cannot be opened") : qtError;
    }
    m_device = SystemLocation(device);
}

QString CSerialPort::OpenFailure() const
{
    QString text = (m_device.isEmpty() ? QStringLiteral("(no device)") : m_device) + QStringLiteral(": ") + m_openError;
    if (m_openErrno == EACCES)
        text += QStringLiteral("; the user must be in the group that owns the device (usually dialout: "
                               "sudo usermod -aG dialout $USER, then log in again)");
    return text;
}

void CSerialPort::HangUp(Line* l)
{
    if (!l->serial)
        return;
    delete l->serial; // closes the line (we are called from the event loop, not from its signal)
    l->serial = nullptr;
    if (l->timer)
        l->timer->stop();
    m_hPort = -1;
    m_bHungUp = true;
    m_txCond.notify_all();
    OnHangUp();
}

void CSerialPort::vClosePort()
{
    if (!m_line)
        return;
    Line* l = m_line.get();
    QMetaObject::invokeMethod(
        l->context,
        [l] {
            delete l->serial; // closes the line
            l->serial = nullptr;
            delete l->timer;
            l->timer = nullptr;
        },
        Qt::BlockingQueuedConnection);
    l->thread.quit();
    l->thread.wait();
    delete l->context;
    m_hPort = -1;
    m_baud = 0;
    m_line.reset();
    m_txCond.notify_all();
}

void CSerialPort::WriteBytes(const char* data, std::size_t n)
{
    if (!m_line || n == 0)
        return;
    {
        std::lock_guard<std::mutex> lock(m_txMutex);
        m_txPending.append(data, n);
        m_txQueued += n;
    }
    StartWrite();
}

void CSerialPort::StartWrite()
{
    Line* l = m_line.get();
    QMetaObject::invokeMethod(
        l->context,
        [this, l] {
            std::string out;
            {
                std::lock_guard<std::mutex> lock(m_txMutex);
                out.swap(m_txPending);
            }
            if (out.empty() || !l->serial)
                return;
            if (l->serial->write(out.data(), qint64(out.size())) != qint64(out.size())) {
                std::lock_guard<std::mutex> lock(m_txMutex);
                m_txFailed = true;
                m_txCond.notify_all();
            }
        },
        Qt::QueuedConnection);
}

std::uint64_t CSerialPort::UnsentBytes() const
{
    std::lock_guard<std::mutex> lock(m_txMutex);
    return m_txQueued > m_txWritten ? m_txQueued - m_txWritten : 0;
}

BOOL CSerialPort::bWaitWriteBufferEmpty() { return WaitDrained(0); }

BOOL CSerialPort::WaitDrained(int maxMs)
{
    const int fd = m_hPort.load();
    const unsigned baud = m_baud.load();
    if (fd < 0 || baud == 0)
        return FALSE;
    const auto start = Clock::now();
    auto lastProgress = start;
    // Give up when nothing moves for the time of 64 bytes plus half a second, or when the whole
    // wait takes twice what the rate needs plus a second.
    const std::int64_t stallMs = 500 + SendTimeMs(64, baud);
    std::int64_t boundMs = 0;
    {
        std::unique_lock<std::mutex> lock(m_txMutex);
        const std::uint64_t target = m_txQueued;
        boundMs = 1000 + 2 * SendTimeMs((target > m_txWritten ? target - m_txWritten : 0) + 4096, baud);
        if (maxMs > 0)
            boundMs = std::min<std::int64_t>(boundMs, maxMs);
        std::uint64_t seen = m_txWritten;
        while (m_txWritten < target) {
            if (m_txFailed || m_hPort.load() < 0)
                return FALSE;
            m_txCond.wait_for(lock, std::chrono::milliseconds(5));
            const auto now = Clock::now();
            if (m_txWritten != seen) {
                seen = m_txWritten;
                lastProgress = now;
            }
            if (Ms(now - lastProgress) > stallMs || Ms(now - start) > boundMs)
                return FALSE;
        }
    }
    // Qt has handed everything to the driver; wait for the driver's output queue to empty.
    int last = -1;
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            break;
        const auto now = Clock::now();
        if (queued != last) {
            last = queued;
            lastProgress = now;
        }
        if (Ms(now - lastProgress) > stallMs || Ms(now - start) > boundMs)
            return FALSE;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    // Then for the hardware's own buffer, so that a rate change cannot catch the last bytes of a
    // command: a UART tells when its transmitter is empty; for a USB adapter, allow the time of
    // 32 bytes. A pseudo-terminal has no hardware behind it.
    if (m_isPty)
        return m_hPort.load() >= 0 ? TRUE : FALSE;
    unsigned lsr = 0;
    if (::ioctl(fd, TIOCSERGETLSR, &lsr) == 0) {
        while (!(lsr & TIOCSER_TEMT)) {
            if (Ms(Clock::now() - start) > boundMs)
                return FALSE;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            if (::ioctl(fd, TIOCSERGETLSR, &lsr) != 0)
                break;
        }
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(SendTimeMs(32, baud) + 1));
    }
    return m_hPort.load() >= 0 ? TRUE : FALSE;
}

BOOL CSerialPort::SetRate(unsigned baud)
{
    if (!m_line || baud == 0)
        return FALSE;
    Line* l = m_line.get();
    const bool drained = WaitDrained(0) == TRUE;
    bool ok = false;
    QMetaObject::invokeMethod(
        l->context,
        [&] {
            if (!l->serial)
                return;
            if (!drained) {
                // Whatever is stuck would reach the receiver at the wrong rate: drop it.
                {
                    std::lock_guard<std::mutex> lock(m_txMutex);
                    m_txPending.clear();
                    m_txWritten = m_txQueued;
                }
                l->serial->clear(QSerialPort::Output);
            }
            ok = l->serial->setBaudRate(qint32(baud));
            OnRateChanged();
        },
        Qt::BlockingQueuedConnection);
    if (ok)
        m_baud = baud;
    return ok ? TRUE : FALSE;
}

void CSerialPort::ArmTimer(int ms)
{
    if (!m_line)
        return;
    Line* l = m_line.get();
    if (QThread::currentThread() == &l->thread) {
        if (l->timer)
            l->timer->start(std::max(ms, 0));
        return;
    }
    QMetaObject::invokeMethod(
        l->context, [l, ms] { if (l->timer) l->timer->start(std::max(ms, 0)); }, Qt::QueuedConnection);
}

void CMySerialPort::vWriteToPort(const QString& text, int n, int reserved)
{
    const QByteArray bytes = text.toLatin1();
    WriteBytes(bytes.constData(), std::size_t(bytes.size()));
    if (n > 0)
        WaitDrained(n);
}

BOOL CMySerialPort::bChangeBaudrate(unsigned baud) { return SetRate(baud); }
