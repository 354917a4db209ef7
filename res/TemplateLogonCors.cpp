// Template of the CORS page (tab 4).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

namespace {
using platform::ControlKind;
using platform::ControlTemplate;

constexpr platform::DWORD kInput = platform::WS_VISIBLE | platform::WS_TABSTOP;
constexpr platform::DWORD ES_PASSWORD = 0x0020;
constexpr platform::DWORD ES_AUTOHSCROLL = 0x0080;

ControlTemplate edit(int id, int x, int y, int w, platform::DWORD style = 0)
{
    return {id, ControlKind::Edit, QString(), x, y, w, 13, kInput | ES_AUTOHSCROLL | style};
}
ControlTemplate combo(int id, int x, int y, int w, platform::DWORD kind)
{
    return {id, ControlKind::ComboBox, QString(), x, y, w, 80, kInput | kind};
}
ControlTemplate button(int id, const char* t, int x, int y, int w, int h)
{
    return {id, ControlKind::Button, QString::fromUtf8(t), x, y, w, h, kInput | platform::BS_PUSHBUTTON};
}
} // namespace

platform::DialogTemplate LogonCorsTemplate()
{
    platform::DialogTemplate t = page(IDD_LOGON_CORS, 158, 140);
    t.controls = {
        label("本地IP:", 4, 7, 38, 9),
        edit(IDC_CORS_LOCAL_IP, 44, 5, 72),
        button(IDC_CORS_NEXT_IP, "下一个", 119, 5, 35, 13),
        label("数据中心:", 4, 23, 38, 9),
        combo(IDC_CORS_DATA_CENTRE, 44, 21, 110, platform::CBS_DROPDOWN),
        label("端口号:", 4, 39, 38, 9),
        edit(IDC_CORS_PORT, 44, 37, 110, platform::ES_NUMBER),
        label("源列表:", 4, 55, 38, 9),
        combo(IDC_CORS_SOURCE, 44, 53, 62, platform::CBS_DROPDOWNLIST),
        button(IDC_CORS_GET_SOURCES, "获取源列表", 109, 53, 45, 13),
        label("用户名:", 4, 71, 38, 9),
        combo(IDC_CORS_USER, 44, 69, 110, platform::CBS_DROPDOWN),
        label("密码:", 4, 87, 38, 9),
        edit(IDC_CORS_PASSWORD, 44, 85, 110, ES_PASSWORD),
        label("接收数据:", 4, 103, 38, 9),
        text(IDC_CORS_RECEIVED, "0", 44, 103, 110, 9, platform::SS_LEFT),
        button(IDC_CORS_CONNECT, "连接网络", 4, 119, 73, 16),
        button(IDC_CORS_CLEAR_HISTORY, "清空历史记录", 81, 119, 73, 16),
    };
    return t;
}

} // namespace res
