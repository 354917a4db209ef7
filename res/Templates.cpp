// The program's dialog templates, in dialog units ("MS Shell Dlg" 9 points).

#include "Resources.h"
#include "resource.h"

#include "platform/DialogTemplate.h"

namespace res {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;

namespace {

ControlTemplate label(const char* text, int x, int y, int w, int h)
{
    return {-1, ControlKind::Static, QString::fromUtf8(text), x, y, w, h, platform::WS_VISIBLE | platform::SS_LEFT};
}

ControlTemplate text(int id, const char* t, int x, int y, int w, int h, platform::DWORD align)
{
    return {id, ControlKind::Static, QString::fromUtf8(t), x, y, w, h, platform::WS_VISIBLE | align};
}

DialogTemplate page(platform::UINT id, int w, int h)
{
    DialogTemplate t;
    t.id = id;
    t.w = w;
    t.h = h;
    t.child = true;
    return t;
}

} // namespace

DialogTemplate MainWindowTemplate()
{
    DialogTemplate t;
    t.id = IDD_STAVO_DIALOG;
    t.caption = QStringLiteral("Stavo V1.0");
    t.w = 162;
    t.h = 180;
    t.child = false;
    t.controls = {
        {IDC_TAB, ControlKind::TabControl, QString(), 0, 0, 162, 148, platform::WS_VISIBLE | platform::WS_TABSTOP},
        label("N:", 3, 148, 10, 9),
        text(IDC_NORTH, "--", 17, 148, 73, 8, platform::SS_RIGHT),
        label("E:", 3, 160, 10, 8),
        text(IDC_EAST, "--", 17, 160, 73, 8, platform::SS_RIGHT),
        label("H:", 95, 148, 10, 8),
        text(IDC_HEIGHT, "--", 118, 148, 37, 8, platform::SS_LEFT),
        label("PDOP:", 95, 160, 20, 8),
        text(IDC_PDOP, "--", 118, 160, 37, 8, platform::SS_LEFT),
        text(IDC_STATUS, "Pos Status", 4, 171, 158, 8, platform::SS_LEFT),
    };
    return t;
}

std::vector<DialogTemplate> PageTemplates()
{
    // Sizes of the six pages; their controls are added by the pages' own templates as they are built.
    return {
        page(IDD_GPS_STATUS, 158, 137),
        page(IDD_SAT_MAP_SNR, 158, 140),
        page(IDD_SAT_CHART, 148, 172),
        page(IDD_CSI_CMDS, 158, 138),
        page(IDD_LOGON_CORS, 158, 140),
        page(IDD_STAVO_OPTION, 158, 145),
    };
}

void RegisterTemplates()
{
    platform::AddDialogTemplate(MainWindowTemplate());
    for (DialogTemplate& t : PageTemplates())
        platform::AddDialogTemplate(std::move(t));
}

} // namespace res
