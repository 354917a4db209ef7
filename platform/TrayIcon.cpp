#include "TrayIcon.h"

#include "Window.h"

#include <QSystemTrayIcon>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace platform {

namespace {
std::optional<bool>& forced()
{
    static std::optional<bool> value = []() -> std::optional<bool> {
        bool ok = false;
        const int v = qEnvironmentVariableIntValue("STAVO_TRAY", &ok);
        return ok ? std::optional<bool>(v != 0) : std::nullopt;
    }();
    return value;
}

std::vector<TrayIcon*>& added()
{
    static std::vector<TrayIcon*> icons;
    return icons;
}
} // namespace

TrayIcon::~TrayIcon() { Remove(); }

bool TrayIcon::Available()
{
    if (forced())
        return *forced();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::ForceAvailable(std::optional<bool> available) { forced() = available; }

bool TrayIcon::Add(QWidget* owner, UINT id, const QIcon& icon, UINT callbackMessage)
{
    Remove();
    m_added = true;
    m_owner = owner;
    m_id = id;
    m_message = callbackMessage;
    added().push_back(this);
    if (!Available())
        return false;
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_icon = new QSystemTrayIcon(icon);
        QObject::connect(m_icon, &QSystemTrayIcon::activated, m_icon,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                                 Tap();
                         });
        m_icon->show();
    }
    return true;
}

void TrayIcon::Remove()
{
    delete m_icon;
    m_icon = nullptr;
    m_added = false;
    auto& icons = added();
    icons.erase(std::remove(icons.begin(), icons.end(), this), icons.end());
}

void TrayIcon::Tap() const
{
    if (m_added)
        PostMessageTo(m_owner, m_message, m_id, WM_LBUTTONDOWN);
}

TrayIcon* TrayIcon::Find(UINT id)
{
    for (TrayIcon* icon : added())
        if (icon->m_id == id)
            return icon;
    return nullptr;
}

void TrayIcon::HideToTray(QWidget* w)
{
    if (Available())
        w->hide();
    else
        w->showMinimized();
}

} // namespace platform
