#pragma once
// A window in the handheld's sense, layered on a QWidget: numbered messages that are sent (a direct
// virtual call) or posted (queued through the Qt event loop, safe from any thread), timers by id,
// and named properties. Widgets that take part in the program's message traffic inherit this beside
// their Qt base class and pass themselves to the constructor.

#include "WinTypes.h"

#include <QPointer>
#include <QString>
#include <QVariant>

class QWidget;

namespace platform {

class WindowHook;

// A key message as the pre-translation hooks see it.
struct MSG {
    QWidget* hwnd = nullptr; // the widget the key is for (the focus widget)
    UINT message = 0;        // WM_KEYDOWN or WM_KEYUP
    WPARAM wParam = 0;       // virtual key
    LPARAM lParam = 0;       // 1 for an auto-repeated key, else 0
};

class Window {
public:
    explicit Window(QWidget* self);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    QWidget* widget() const { return m_self; }

    // Message procedure: every sent or posted message, timer and command arrives here.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Key pre-translation, called for key messages to this window or any child before the
    // target sees them; TRUE consumes the message.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Called when a dialog binds this control to one of its template's controls.
    virtual void PreSubclassWindow() {}

    // The window-class name as the handheld's controls report it ("Button", "Edit", ...).
    virtual QString ClassName() const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Starts (or restarts) the timer with this id; WM_TIMER with wParam = id arrives every period.
    UINT SetTimer(UINT id, UINT periodMs);
    BOOL KillTimer(UINT id);
    bool HasTimer(UINT id) const;

    // Named window properties (the handheld's SetProp/GetProp/RemoveProp).
    void SetProp(const char* name, qintptr value);
    qintptr GetProp(const char* name) const;
    void RemoveProp(const char* name);

    // The Window that a widget is, if it is one.
    static Window* FromWidget(const QWidget* w);

private:
    QWidget* m_self;
    QPointer<QWidget> m_guard;
    WindowHook* m_hook;
};

// Posts to a window through a guarded pointer; a message to a window that has gone is dropped.
void PostMessageTo(const QPointer<QWidget>& target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// The virtual-key code of a Qt key, 0 when the key has none.
UINT VirtualKeyFromQt(int qtKey);

} // namespace platform
