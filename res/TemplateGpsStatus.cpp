// Template of the receiver parameter page (tab 0).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

namespace {
using platform::ControlKind;
using platform::DWORD;
using platform::WS_GROUP;
using platform::WS_TABSTOP;
using platform::WS_VISIBLE;

// List view: report view, single selection, selection always shown, labels editable, rows drawn by
// the owner at a fixed height, border.
constexpr DWORD kListStyle = WS_VISIBLE | WS_TABSTOP | 0x00800000 /* border */ | 0x0001 /* report */ |
                             0x0004 /* single selection */ | 0x0008 /* show selection always */ |
                             0x0200 /* edit labels */ | 0x0400 /* owner-draw fixed */;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | platform::BS_PUSHBUTTON;
} // namespace

platform::DialogTemplate GpsStatusTemplate()
{
    platform::DialogTemplate t = page(IDD_GPS_STATUS, 158, 137);
    t.controls = {
        {IDC_PARAM_LIST, ControlKind::ListView, QString(), 0, 0, 158, 111, kListStyle},
        {IDC_REFRESH, ControlKind::Button, QStringLiteral("刷新"), 0, 114, 38, 20, kButton},
        {IDC_SET, ControlKind::Button, QStringLiteral("设置"), 40, 114, 38, 20, kButton},
        {IDC_FACTORY_RESET, ControlKind::Button, QStringLiteral("恢复出\n厂设置"), 80, 114, 38, 20, kButton},
        {IDC_PAGE_EXIT, ControlKind::Button, QStringLiteral("退出"), 120, 114, 38, 20, kButton},
        // GPS power: in the template, not shown.
        {IDC_GPS_POWER, ControlKind::Button, QString(), 0, 95, 25, 20, WS_TABSTOP | platform::BS_PUSHBUTTON},
        {IDC_POWER_OFF_AT_START, ControlKind::Button, QStringLiteral("关"), 31, 107, 17, 10,
         WS_GROUP | WS_TABSTOP | platform::BS_AUTORADIOBUTTON},
        {IDC_POWER_ON_AT_START, ControlKind::Button, QStringLiteral("开"), 56, 106, 17, 10,
         platform::BS_AUTORADIOBUTTON},
        {-1, ControlKind::Button, QStringLiteral("开机GPS电源"), 27, 98, 50, 21, platform::BS_GROUPBOX},
    };
    return t;
}

} // namespace res
