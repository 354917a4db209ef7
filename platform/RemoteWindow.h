#pragma once
// Messages between programs: window messages registered by name (the same number in every process)
// and windows that other processes can post to by a handle number, which a program may publish (in
// the registry, as the power manager does). Delivery goes through a local socket named after the
// data folder and the handle, and arrives on the target's event loop.

#include "WinTypes.h"

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;

namespace platform {

// A message number from 0xC000 to 0xFFFF for the name (case-insensitive), the same in every process.
UINT RegisterWindowMessage(const QString& name);

// A window's mailbox for other processes: a handle number they can post to.
class MessageTarget : public QObject {
    Q_OBJECT
public:
    using Receiver = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
    explicit MessageTarget(Receiver receiver, QObject* parent = nullptr);
    ~MessageTarget() override;

    // Nonzero once listening.
    DWORD Handle() const { return m_handle; }

private:
    void onConnection();
    void onReadable(QLocalSocket* s);

    Receiver m_receiver;
    QLocalServer* m_server = nullptr;
    DWORD m_handle = 0;
};

// Posts to another program's window; FALSE (ERROR_INVALID_WINDOW_HANDLE) when no window has the handle.
BOOL PostMessageToHandle(DWORD hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// One posted message as it travels (exposed for the fuzz target); false for anything malformed.
bool ParsePostedMessage(const QByteArray& line, UINT* message, WPARAM* wParam, LPARAM* lParam);

} // namespace platform
