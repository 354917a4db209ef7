#include "NamedDevice.h"

#include "LocalName.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>

#include <cctype>
#include <cstring>
#include <memory>
#include <mutex>

Q_LOGGING_CATEGORY(lcDevice, "stavo.device", QtWarningMsg)

namespace platform {

namespace {

constexpr int kConnectMs = 1000;
constexpr int kReplyMs = 3000;
constexpr qint64 kMaxLine = 2 * kMaxIoControlSize + 64;

struct InProcess {
    std::mutex mutex;
    std::map<QString, DeviceDriver*> drivers;     // by upper-case name
    std::map<QString, std::vector<DWORD>> opens;  // share modes of the handles open on each
};

InProcess& inProcess()
{
    static InProcess p;
    return p;
}

// A second open is allowed only when it and every open so far share the device.
bool sharingAllows(const std::vector<DWORD>& opens, DWORD share)
{
    if (opens.empty())
        return true;
    if (share == 0)
        return false;
    for (DWORD s : opens)
        if (s == 0)
            return false;
    return true;
}

// A device name: a few letters, a digit and a colon ("GPD1:").
bool isDeviceName(const QString& name)
{
    return name.size() >= 2 && name.size() <= 32 && name.endsWith(QLatin1Char(':'));
}

class DeviceHandle : public HandleObject {
public:
    QString name;                          // upper case
    DeviceDriver* local = nullptr;         // an in-process driver, or
    std::unique_ptr<QLocalSocket> remote;  // the connection to a host
    DWORD share = 0;

    ~DeviceHandle() override
    {
        if (local) {
            auto& p = inProcess();
            DeviceDriver* driver = nullptr;
            {
                std::lock_guard<std::mutex> lock(p.mutex);
                auto& list = p.opens[name];
                for (auto it = list.begin(); it != list.end(); ++it)
                    if (*it == share) {
                        list.erase(it);
                        break;
                    }
                const auto d = p.drivers.find(name);
                if (d != p.drivers.end() && d->second == local)
                    driver = local; // still registered: tell it
            }
            if (driver)
                driver->Close();
        }
        if (remote)
            remote->disconnectFromServer();
    }

    // One request line and its answer line; empty when the host is gone or does not answer in time.
    QByteArray ask(const QByteArray& line)
    {
        if (!remote || remote->state() != QLocalSocket::ConnectedState)
            return QByteArray();
        remote->write(line);
        remote->flush();
        while (!remote->canReadLine()) {
            if (remote->bytesAvailable() > kMaxLine || !remote->waitForReadyRead(kReplyMs))
                return QByteArray();
        }
        return remote->readLine(kMaxLine).trimmed();
    }
};

// "ERR <code>" to the code, anything else to ERROR_GEN_FAILURE.
DWORD errorOf(const QByteArray& reply)
{
    bool ok = false;
    const DWORD code = reply.startsWith("ERR ") ? reply.mid(4).toUInt(&ok) : 0;
    return ok && code ? code : ERROR_GEN_FAILURE;
}

} // namespace

void RegisterDeviceDriver(const QString& name, DeviceDriver* driver)
{
    auto& p = inProcess();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.drivers[name.toUpper()] = driver;
}

void UnregisterDeviceDriver(const QString& name)
{
    auto& p = inProcess();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.drivers.erase(name.toUpper());
}

HANDLE CreateFile(const QString& name, DWORD access, DWORD share, void*, DWORD disposition, DWORD, HANDLE)
{
    if (disposition != OPEN_EXISTING || !isDeviceName(name)) {
        SetLastError(disposition != OPEN_EXISTING ? ERROR_INVALID_PARAMETER : ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto handle = std::make_unique<DeviceHandle>();
    handle->name = name.toUpper();
    handle->share = share;

    DeviceDriver* local = nullptr;
    {
        auto& p = inProcess();
        std::lock_guard<std::mutex> lock(p.mutex);
        const auto d = p.drivers.find(handle->name);
        if (d != p.drivers.end()) {
            if (!sharingAllows(p.opens[handle->name], share)) {
                SetLastError(ERROR_SHARING_VIOLATION);
                return INVALID_HANDLE_VALUE;
            }
            local = d->second;
        }
    }
    if (local) {
        const DWORD error = local->Open(access, share);
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            return INVALID_HANDLE_VALUE;
        }
        auto& p = inProcess();
        std::lock_guard<std::mutex> lock(p.mutex);
        p.opens[handle->name].push_back(share);
        handle->local = local;
        return AddHandle(std::move(handle));
    }

    handle->remote = std::make_unique<QLocalSocket>();
    handle->remote->connectToServer(LocalServerName(QStringLiteral("dev"), handle->name));
    if (!handle->remote->waitForConnected(kConnectMs)) {
        SetLastError(ERROR_FILE_NOT_FOUND); // no driver provides the device
        return INVALID_HANDLE_VALUE;
    }
    const QByteArray reply = handle->ask("OPEN " + QByteArray::number(access) + ' ' + QByteArray::number(share) + '\n');
    if (reply != "OK") {
        SetLastError(reply.isEmpty() ? ERROR_FILE_NOT_FOUND : errorOf(reply));
        return INVALID_HANDLE_VALUE;
    }
    return AddHandle(std::move(handle));
}

BOOL DeviceIoControl(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned, void*)
{
    auto* h = HandleAs<DeviceHandle>(device);
    if (!h)
        return FALSE;
    if (returned)
        *returned = 0;
    if (inSize > kMaxIoControlSize || outSize > kMaxIoControlSize || (inSize && !in) || (outSize && !out)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const QByteArray input(static_cast<const char*>(in), int(inSize));
    QByteArray output;
    DWORD error = ERROR_SUCCESS;
    if (h->local) {
        DeviceDriver* driver = nullptr;
        {
            auto& p = inProcess();
            std::lock_guard<std::mutex> lock(p.mutex);
            const auto d = p.drivers.find(h->name);
            if (d != p.drivers.end() && d->second == h->local)
                driver = h->local;
        }
        error = driver ? driver->IoControl(code, input, &output) : ERROR_DEV_NOT_EXIST;
    } else {
        const QByteArray reply = h->ask("IOCTL " + QByteArray::number(code) + ' ' + QByteArray::number(outSize) + ' '
                                        + input.toHex() + '\n');
        if (reply == "OK" || reply.startsWith("OK "))
            output = QByteArray::fromHex(reply.mid(3));
        else
            error = reply.isEmpty() ? ERROR_DEV_NOT_EXIST : errorOf(reply);
    }
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (DWORD(output.size()) > outSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (!output.isEmpty())
        std::memcpy(out, output.constData(), std::size_t(output.size()));
    if (returned)
        *returned = DWORD(output.size());
    return TRUE;
}

DeviceRequest ParseDeviceRequest(const QByteArray& line)
{
    DeviceRequest r;
    const QList<QByteArray> f = line.trimmed().split(' ');
    bool ok1 = false, ok2 = false;
    if (f.size() == 3 && f[0] == "OPEN") {
        r.access = f[1].toUInt(&ok1);
        r.share = f[2].toUInt(&ok2);
        if (ok1 && ok2)
            r.kind = DeviceRequest::Open;
    } else if ((f.size() == 3 || f.size() == 4) && f[0] == "IOCTL") {
        r.code = f[1].toUInt(&ok1);
        r.outSize = f[2].toUInt(&ok2);
        const QByteArray hex = f.size() == 4 ? f[3] : QByteArray();
        bool hexOk = hex.size() % 2 == 0 && hex.size() <= qsizetype(2 * kMaxIoControlSize);
        for (const char c : hex)
            hexOk = hexOk && std::isxdigit(static_cast<unsigned char>(c));
        if (hexOk)
            r.in = QByteArray::fromHex(hex);
        if (ok1 && ok2 && hexOk && r.outSize <= kMaxIoControlSize)
            r.kind = DeviceRequest::IoControl;
    }
    if (r.kind == DeviceRequest::Invalid)
        r = DeviceRequest();
    return r;
}

DeviceHost::DeviceHost(const QString& name, DeviceDriver* driver, QObject* parent)
    : QObject(parent), m_name(name.toUpper()), m_driver(driver)
{
}

DeviceHost::~DeviceHost()
{
    for (std::size_t i = 0; i < m_opens.size(); ++i)
        m_driver->Close();
    m_opens.clear();
    if (m_server)
        m_server->close();
}

bool DeviceHost::listen()
{
    const QString server = LocalServerName(QStringLiteral("dev"), m_name);
    m_server = new QLocalServer(this);
    QLocalServer::removeServer(server); // a socket left by a host that died
    if (!m_server->listen(server)) {
        qCWarning(lcDevice) << "cannot provide" << m_name << m_server->errorString();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &DeviceHost::onConnection);
    return true;
}

void DeviceHost::onConnection()
{
    while (QLocalSocket* s = m_server->nextPendingConnection()) {
        connect(s, &QLocalSocket::readyRead, this, [this, s] { onReadable(s); });
        connect(s, &QLocalSocket::disconnected, this, [this, s] { onGone(s); });
    }
}

void DeviceHost::onReadable(QLocalSocket* s)
{
    while (s->canReadLine()) {
        const DeviceRequest r = ParseDeviceRequest(s->readLine(kMaxLine));
        const bool opened = m_opens.count(s) > 0;
        QByteArray reply;
        if (r.kind == DeviceRequest::Open && !opened) {
            std::vector<DWORD> shares;
            for (const auto& [other, share] : m_opens)
                shares.push_back(share);
            DWORD error = sharingAllows(shares, r.share) ? m_driver->Open(r.access, r.share) : ERROR_SHARING_VIOLATION;
            if (error == ERROR_SUCCESS)
                m_opens[s] = r.share;
            reply = error == ERROR_SUCCESS ? QByteArray("OK") : "ERR " + QByteArray::number(error);
        } else if (r.kind == DeviceRequest::IoControl && opened) {
            QByteArray out;
            const DWORD error = m_driver->IoControl(r.code, r.in, &out);
            if (error != ERROR_SUCCESS)
                reply = "ERR " + QByteArray::number(error);
            else if (DWORD(out.size()) > r.outSize)
                reply = "ERR " + QByteArray::number(ERROR_INSUFFICIENT_BUFFER);
            else
                reply = "OK " + out.toHex();
        } else {
            reply = "ERR " + QByteArray::number(ERROR_INVALID_PARAMETER);
        }
        s->write(reply + '\n');
        s->flush();
    }
    if (s->bytesAvailable() > kMaxLine) // no line end in sight: not one of ours
        s->abort();
}

void DeviceHost::onGone(QLocalSocket* s)
{
    if (m_opens.erase(s))
        m_driver->Close();
    s->deleteLater();
}

} // namespace platform
