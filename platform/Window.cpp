#include "Window.h"

#include "Clock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace platform {

namespace {

const char* const kWindowProperty = "_platform_window";

QEvent::Type messageEventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

class MessageEvent : public QEvent {
public:
    MessageEvent(UINT m, WPARAM w, LPARAM l) : QEvent(messageEventType()), message(m), wParam(w), lParam(l) {}
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

} // namespace

// Catches posted messages on the widget and hands them to the window procedure.
class WindowHook : public QObject {
public:
    explicit WindowHook(Window* w) : m_window(w) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == messageEventType()) {
            auto* m = static_cast<MessageEvent*>(e);
            m_window->WindowProc(m->message, m->wParam, m->lParam);
            return true;
        }
        return false;
    }

private:
    Window* m_window;
};

Window::Window(QWidget* self) : m_self(self), m_guard(self), m_hook(new WindowHook(this))
{
    m_self->setProperty(kWindowProperty, QVariant::fromValue<quintptr>(quintptr(this)));
    m_self->installEventFilter(m_hook);
}

Window::~Window()
{
    Clock::dropTimers(this);
    // The widget is normally still alive here (Window is the second base); if not, Qt has already
    // dropped the filter with it.
    if (m_guard) {
        m_self->removeEventFilter(m_hook);
        m_self->setProperty(kWindowProperty, QVariant());
    }
    delete m_hook;
}

LRESULT Window::WindowProc(UINT, WPARAM, LPARAM) { return 0; }

BOOL Window::PreTranslateMessage(MSG*) { return FALSE; }

QString Window::ClassName() const { return QString::fromLatin1(m_self->metaObject()->className()); }

LRESULT Window::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowProc(message, wParam, lParam);
}

void Window::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    QCoreApplication::postEvent(m_self, new MessageEvent(message, wParam, lParam));
}

void PostMessageTo(const QPointer<QWidget>& target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (target)
        QCoreApplication::postEvent(target.data(), new MessageEvent(message, wParam, lParam));
}

UINT Window::SetTimer(UINT id, UINT periodMs)
{
    Clock::startTimer(this, id, periodMs);
    return id;
}

BOOL Window::KillTimer(UINT id) { return Clock::stopTimer(this, id) ? TRUE : FALSE; }

bool Window::HasTimer(UINT id) const { return Clock::hasTimer(this, id); }

void Window::SetProp(const char* name, qintptr value) { m_self->setProperty(name, QVariant::fromValue(value)); }

qintptr Window::GetProp(const char* name) const
{
    const QVariant v = m_self->property(name);
    return v.isValid() ? v.value<qintptr>() : 0;
}

void Window::RemoveProp(const char* name) { m_self->setProperty(name, QVariant()); }

Window* Window::FromWidget(const QWidget* w)
{
    if (!w)
        return nullptr;
    const QVariant v = w->property(kWindowProperty);
    return v.isValid() ? reinterpret_cast<Window*>(v.value<quintptr>()) : nullptr;
}

UINT VirtualKeyFromQt(int key)
{
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Delete: return VK_DELETE;
    default: break;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return UINT('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return UINT('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return UINT(VK_F1 + (key - Qt::Key_F1));
    return 0;
}

} // namespace platform
