// Template of the satellite status list page (tab 2).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

platform::DialogTemplate SatChartTemplate()
{
    platform::DialogTemplate t = page(IDD_SAT_CHART, 148, 172);
    // Report view, single selection, left aligned, border, tab stop.
    constexpr platform::DWORD kListStyle = 0x0001 | 0x0004 | 0x0800 | 0x00800000 | platform::WS_TABSTOP |
                                           platform::WS_VISIBLE;
    t.controls = {
        {IDC_SAT_LIST, platform::ControlKind::ListView, {}, 0, 0, 148, 171, kListStyle},
    };
    return t;
}

} // namespace res
