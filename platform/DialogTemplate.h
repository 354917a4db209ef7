#pragma once
// Dialog templates as data: each control with its id, kind, text, position and size in dialog units
// and its style bits. Dialog units become pixels through the template font's base units at the
// screen's dpi, as on the handheld (x * baseX / 4, y * baseY / 8).

#include "WinTypes.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

namespace platform {

enum class ControlKind {
    Static,
    Button,      // push, check, radio and group boxes by style
    Edit,
    ComboBox,
    ListBox,
    ListView,
    TabControl,
    Custom,      // a window of the program's own class, created by the dialog
};

struct ControlTemplate {
    int id = -1;            // -1 for labels nobody refers to
    ControlKind kind = ControlKind::Static;
    QString text;
    int x = 0, y = 0, w = 0, h = 0; // dialog units
    DWORD style = WS_VISIBLE;
};

struct DialogTemplate {
    UINT id = 0;
    QString caption;
    QString fontFace = QStringLiteral("MS Shell Dlg");
    int pointSize = 9;
    int w = 0, h = 0;      // dialog units
    bool child = true;     // a page inside another window, else a top-level dialog
    std::vector<ControlTemplate> controls;
};

void AddDialogTemplate(DialogTemplate t);
const DialogTemplate* FindDialogTemplate(UINT id);

// Base units (average character width, character height) of a template font at the screen's dpi.
QSize DialogBaseUnits(const QString& face, int pointSize);
// Dialog units to pixels.
QRect MapDialogRect(const QRect& dialogUnits, QSize baseUnits);
QRect MapDialogRect(const QRect& dialogUnits, const DialogTemplate& t);

} // namespace platform
