#include "KeyRouter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>

namespace platform {

namespace {

AppPreTranslate& appHook()
{
    static AppPreTranslate hook;
    return hook;
}

class KeyRouter : public QObject {
public:
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease)
            return false;
        auto* w = qobject_cast<QWidget*>(obj);
        if (!w)
            return false;
        // A message box runs the system's own loop on the handheld, which pre-translates nothing: its
        // keys are the box's (Esc answers it instead of asking to leave the program from inside it).
        if (qobject_cast<QMessageBox*>(w->window()))
            return false;
        // Qt hands an unused key on to the parents; only its first delivery is pre-translated. While
        // a pop-up (a drop-down list) is open, keys go to it first.
        QWidget* focus = QApplication::focusWidget();
        if (QWidget* popup = w->window(); popup->windowType() == Qt::Popup)
            focus = popup->focusWidget() ? popup->focusWidget() : popup;
        if (focus ? w != focus : !w->isWindow())
            return false;
        auto* k = static_cast<QKeyEvent*>(e);
        MSG msg;
        msg.hwnd = w;
        msg.message = e->type() == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP;
        msg.wParam = VirtualKeyFromQt(k->key());
        msg.lParam = k->isAutoRepeat() ? 1 : 0;
        if (msg.wParam == 0)
            return false;
        return RouteKeyMessage(&msg) != FALSE;
    }
};

} // namespace

void SetAppPreTranslate(AppPreTranslate hook) { appHook() = std::move(hook); }

void InstallKeyRouter(AppPreTranslate hook)
{
    static KeyRouter* router = nullptr;
    if (!router) {
        router = new KeyRouter;
        router->setParent(qApp);
        qApp->installEventFilter(router);
    }
    SetAppPreTranslate(std::move(hook));
}

BOOL RouteKeyMessage(MSG* msg)
{
    if (appHook() && appHook()(msg))
        return TRUE;
    for (QWidget* w = msg->hwnd; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (Window* win = Window::FromWidget(w))
            if (win->PreTranslateMessage(msg))
                return TRUE;
    }
    return FALSE;
}

} // namespace platform
