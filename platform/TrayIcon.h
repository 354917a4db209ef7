#pragma once
// The notification-area icon. A tap on it posts the callback message to the owner window with
// wParam = icon id and lParam = WM_LBUTTONDOWN, as the handheld's shell does. Where the desktop has
// no notification area, hiding minimises instead and activating the window restores it. Tests (and
// STAVO_TRAY=1 or 0) can force either path; a forced notification area without a real one has an
// icon that only Tap() reaches.

#include "WinTypes.h"

#include <QIcon>
#include <QPointer>

#include <optional>

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

    // What a tap on the icon does: the callback message, posted to the owner.
    void Tap() const;
    // The icon added with this id, null when there is none.
    static TrayIcon* Find(UINT id);

    static bool Available();
    // Takes the path with a notification area (true) or without one (false) whatever the desktop
    // has; nullopt goes back to the desktop's answer (or STAVO_TRAY when set).
    static void ForceAvailable(std::optional<bool> available);

    // Hides the window to the icon, or minimises it where there is no notification area.
    static void HideToTray(QWidget* w);

private:
    QSystemTrayIcon* m_icon = nullptr;
    QPointer<QWidget> m_owner;
    UINT m_id = 0;
    UINT m_message = 0;
    bool m_added = false;
};

} // namespace platform
