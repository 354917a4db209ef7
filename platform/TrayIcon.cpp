#include "TrayIcon.h"

#include "Window.h"

#include <QSystemTrayIcon>
#include <QWidget>

namespace platform {

TrayIcon::~TrayIcon() { Remove(); }

bool TrayIcon::Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool TrayIcon::Add(QWidget* owner, UINT id, const QIcon& icon, UINT callbackMessage)
{
    Remove();
    m_added = true;
    if (!Available())
        return false;
    m_icon = new QSystemTrayIcon(icon);
    QPointer<QWidget> target(owner);
    QObject::connect(m_icon, &QSystemTrayIcon::activated, m_icon,
                     [target, id, callbackMessage](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                             PostMessageTo(target, callbackMessage, id, WM_LBUTTONDOWN);
                     });
    m_icon->show();
    return true;
}

void TrayIcon::Remove()
{
    delete m_icon;
    m_icon = nullptr;
    m_added = false;
}

void TrayIcon::HideToTray(QWidget* w)
{
    if (Available())
        w->hide();
    else
        w->showMinimized();
}

} // namespace platform
