#pragma once
// The notification-area icon. A tap on it posts the callback message to the owner window with
// wParam = icon id and lParam = WM_LBUTTONDOWN, as the handheld's shell does. Where the desktop has
// no notification area, hiding minimises instead and activating the window restores it.

#include "WinTypes.h"

#include <QIcon>
#include <QPointer>

class QSystemTrayIcon;
class QWidget;

namespace platform {

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon; false when the desktop has no notification area (the icon is still "added" as
    // far as the program is concerned, so removing it twice is harmless).
    bool Add(QWidget* owner, UINT id, const QIcon& icon, UINT callbackMessage);
    void Remove();
    bool IsAdded() const { return m_added; }

    static bool Available();

    // Hides the window to the icon, or minimises it where there is no notification area.
    static void HideToTray(QWidget* w);

private:
    QSystemTrayIcon* m_icon = nullptr;
    bool m_added = false;
};

} // namespace platform
