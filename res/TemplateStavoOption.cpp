// Template of the options page (tab 5).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

platform::DialogTemplate StavoOptionTemplate()
{
    using namespace platform;
    DialogTemplate t = page(IDD_STAVO_OPTION, 158, 145);
    t.controls = {
        label("时区设置:", 19, 16, 41, 8),
        // A drop-down list: 53 units is the height with the list dropped.
        {IDC_TIME_ZONE, ControlKind::ComboBox, QString(), 68, 14, 48, 53,
         WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
        text(IDC_LOCAL_TIME, "--", 19, 40, 120, 8, SS_LEFT),
        {IDC_SET_SYSTEM_TIME, ControlKind::Button, QString::fromUtf8("设置系统时间"), 19, 80, 120, 17,
         WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
        text(IDC_BUILD_STAMP, "", 0, 107, 158, 8, SS_CENTER),
        text(-1, "版本: 1.0", 0, 121, 158, 8, SS_CENTER),
    };
    return t;
}

} // namespace res
