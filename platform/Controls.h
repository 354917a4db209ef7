#pragma once
// What the handheld's code asks of any control: its id, style, window text and class name, for
// standard Qt widgets and for the library's own windows alike.

#include "WinTypes.h"

#include <QString>

class QWidget;

namespace platform {

int GetDlgCtrlID(const QWidget* w);
void SetDlgCtrlID(QWidget* w, int id);
DWORD GetStyle(const QWidget* w);
void SetStyle(QWidget* w, DWORD style);

QString GetWindowText(const QWidget* w);
void SetWindowText(QWidget* w, const QString& text);

// "Button", "ComboBox", "Edit", "Static", "ListBox", "SysListView32", "SysTabControl32", or the
// window's own class name.
QString GetClassName(const QWidget* w);

// The direct child of parent with this control id, or null.
QWidget* FindControl(const QWidget* parent, int id);

} // namespace platform
