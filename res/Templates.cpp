// The program's dialog templates, in dialog units ("MS Shell Dlg" 9 points).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

#include "platform/DialogTemplate.h"

namespace res {

using platform::ControlKind;
using platform::DialogTemplate;

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
    // One file per page template, in tab order of the pages' numbers.
    return {GpsStatusTemplate(), SatMapSnrTemplate(), SatChartTemplate(),
            CsiCmdsTemplate(), LogonCorsTemplate(), StavoOptionTemplate()};
}

void RegisterTemplates()
{
    platform::AddDialogTemplate(MainWindowTemplate());
    for (DialogTemplate& t : PageTemplates())
        platform::AddDialogTemplate(std::move(t));
}

} // namespace res
