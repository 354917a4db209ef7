// Template of the NMEA output page (tab 3).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

namespace {
using platform::ControlKind;
using platform::ControlTemplate;

ControlTemplate check(int id, const char* name, int x, int y)
{
    return {id, ControlKind::Button, QString::fromLatin1(name), x, y, 38, 10,
            platform::WS_VISIBLE | platform::WS_TABSTOP | platform::BS_AUTOCHECKBOX};
}

ControlTemplate defaultButton(int id, const char* text, int y)
{
    return {id, ControlKind::Button, QString::fromUtf8(text), 21, y, 110, 15,
            platform::WS_VISIBLE | platform::WS_TABSTOP | platform::BS_DEFPUSHBUTTON};
}
} // namespace

platform::DialogTemplate CsiCmdsTemplate()
{
    platform::DialogTemplate t = page(IDD_CSI_CMDS, 158, 138);
    t.controls = {
        check(IDC_GPGGA, "GPGGA", 23, 5),   check(IDC_GPGSV, "GPGSV", 23, 20),  check(IDC_GPGSA, "GPGSA", 23, 35),
        check(IDC_GPGST, "GPGST", 23, 50),  check(IDC_GPRMC, "GPRMC", 23, 65),  check(IDC_GPGLL, "GPGLL", 23, 80),
        check(IDC_GPGNS, "GPGNS", 96, 5),   check(IDC_GPGRS, "GPGRS", 96, 20),  check(IDC_GPGBS, "GPGBS", 96, 35),
        check(IDC_GPRRE, "GPRRE", 96, 50),  check(IDC_GPVTG, "GPVTG", 96, 65),  check(IDC_GPZDA, "GPZDA", 96, 80),
        defaultButton(IDC_DEFAULT_OUTPUT, "默认输出设置", 95),
        defaultButton(IDC_SEND_OUTPUT, "设  置", 112),
    };
    return t;
}

} // namespace res
