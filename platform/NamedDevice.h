#pragma once
// Devices by name ("GPD1:"), opened and sent control requests as on the handheld. A device exists
// only while a driver provides it: one registered in this process (tests), or one that another
// process publishes through a DeviceHost (the simulator's stand-in for the GPS power driver). With
// no driver the open fails, as on a handheld whose driver is not loaded.

#include "Handle.h"
#include "LastError.h"
#include "WinTypes.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <map>

class QLocalServer;
class QLocalSocket;

namespace platform {

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD METHOD_BUFFERED = 0;
constexpr DWORD FILE_ANY_ACCESS = 0;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;

constexpr DWORD CTL_CODE(DWORD deviceType, DWORD function, DWORD method, DWORD access)
{
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

// Largest input or output of one control request.
constexpr DWORD kMaxIoControlSize = 65536;

// Opens a device; INVALID_HANDLE_VALUE when no driver provides it (ERROR_FILE_NOT_FOUND), when it is
// open already and either open does not share it (ERROR_SHARING_VIOLATION), or when the driver
// refuses. Only OPEN_EXISTING makes sense for a device.
HANDLE CreateFile(const QString& name, DWORD access, DWORD share, void* security, DWORD disposition,
                  DWORD flags, HANDLE templateFile);

// A control request; nonzero when the driver did it. On failure the last error is the driver's.
BOOL DeviceIoControl(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned, void* overlapped);

// What a driver does with the requests of the handles open on it.
class DeviceDriver {
public:
    virtual ~DeviceDriver() = default;
    // ERROR_SUCCESS, or the error the open fails with.
    virtual DWORD Open(DWORD access, DWORD share) { return ERROR_SUCCESS; }
    // ERROR_SUCCESS with the output in *out, or the error the request fails with.
    virtual DWORD IoControl(DWORD code, const QByteArray& in, QByteArray* out) = 0;
    virtual void Close() {}
};

// Provides a device in this process while registered (driver not owned).
void RegisterDeviceDriver(const QString& name, DeviceDriver* driver);
void UnregisterDeviceDriver(const QString& name);

// Publishes a driver to other processes under a device name; requests are answered on the event
// loop of the thread the host lives in.
class DeviceHost : public QObject {
    Q_OBJECT
public:
    DeviceHost(const QString& name, DeviceDriver* driver, QObject* parent = nullptr);
    ~DeviceHost() override;
    bool listen();

private:
    void onConnection();
    void onReadable(QLocalSocket* s);
    void onGone(QLocalSocket* s);

    QString m_name;
    DeviceDriver* m_driver;
    QLocalServer* m_server = nullptr;
    std::map<QLocalSocket*, DWORD> m_opens; // connections that opened the device, with their share mode
};

// One request line from a handle to its host (exposed for the fuzz target).
struct DeviceRequest {
    enum Kind { Invalid, Open, IoControl } kind = Invalid;
    DWORD access = 0, share = 0;     // Open
    DWORD code = 0, outSize = 0;     // IoControl
    QByteArray in;                   // IoControl input
};
DeviceRequest ParseDeviceRequest(const QByteArray& line);

} // namespace platform
