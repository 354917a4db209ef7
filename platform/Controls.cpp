#include "Controls.h"

#include "Window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <QVariant>
#include <QWidget>

namespace platform {

namespace {
const char* const kId = "_ctrl_id";
const char* const kStyle = "_ctrl_style";
const char* const kText = "_ctrl_text";
} // namespace

int GetDlgCtrlID(const QWidget* w)
{
    const QVariant v = w ? w->property(kId) : QVariant();
    return v.isValid() ? v.toInt() : 0;
}

void SetDlgCtrlID(QWidget* w, int id) { w->setProperty(kId, id); }

DWORD GetStyle(const QWidget* w)
{
    const QVariant v = w ? w->property(kStyle) : QVariant();
    return v.isValid() ? DWORD(v.toUInt()) : 0;
}

void SetStyle(QWidget* w, DWORD style) { w->setProperty(kStyle, uint(style)); }

QString GetWindowText(const QWidget* w)
{
    if (!w)
        return {};
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return c->currentText();
    if (w->isWindow())
        return w->windowTitle();
    return w->property(kText).toString();
}

void SetWindowText(QWidget* w, const QString& text)
{
    if (!w)
        return;
    if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(text);
    else if (w->isWindow())
        w->setWindowTitle(text);
    else {
        w->setProperty(kText, text);
        w->update();
    }
}

QString GetClassName(const QWidget* w)
{
    if (!w)
        return {};
    if (const Window* win = Window::FromWidget(w))
        return win->ClassName();
    if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QGroupBox*>(w))
        return QStringLiteral("Button");
    if (qobject_cast<const QComboBox*>(w))
        return QStringLiteral("ComboBox");
    if (qobject_cast<const QLineEdit*>(w))
        return QStringLiteral("Edit");
    if (qobject_cast<const QLabel*>(w))
        return QStringLiteral("Static");
    if (qobject_cast<const QListWidget*>(w))
        return QStringLiteral("ListBox");
    if (qobject_cast<const QTreeWidget*>(w))
        return QStringLiteral("SysListView32");
    return QString::fromLatin1(w->metaObject()->className());
}

QWidget* FindControl(const QWidget* parent, int id)
{
    if (!parent)
        return nullptr;
    const auto children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* c : children)
        if (GetDlgCtrlID(c) == id)
            return c;
    return nullptr;
}

} // namespace platform
