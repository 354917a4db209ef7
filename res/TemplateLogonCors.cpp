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

// The page area under the tab strip is about 118 dialog units high: eight rows of 12 with a pitch of 14.
constexpr int kRow = 12;

ControlTemplate edit(int id, int x, int y, int w, platform::DWORD style = 0)
{
    return {id, ControlKind::Edit, QString(), x, y, w, kRow, kInput | ES_AUTOHSCROLL | style};
}
// The height is the closed box's: the drop-down list takes what it needs when it opens.
ControlTemplate combo(int id, int x, int y, int w, platform::DWORD kind)
{
    return {id, ControlKind::ComboBox, QString(), x, y, w, kRow, kInput | kind};
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
        label("本地IP:", 4, 5, 38, 9),
        edit(IDC_CORS_LOCAL_IP, 44, 3, 72),
        button(IDC_CORS_NEXT_IP, "下一个", 119, 3, 35, kRow),
        label("数据中心:", 4, 19, 38, 9),
        combo(IDC_CORS_DATA_CENTRE, 44, 17, 110, platform::CBS_DROPDOWN),
        label("端口号:", 4, 33, 38, 9),
        edit(IDC_CORS_PORT, 44, 31, 110, platform::ES_NUMBER),
        label("源列表:", 4, 47, 38, 9),
        combo(IDC_CORS_SOURCE, 44, 45, 62, platform::CBS_DROPDOWNLIST),
        button(IDC_CORS_GET_SOURCES, "获取源列表", 109, 45, 45, kRow),
        label("用户名:", 4, 61, 38, 9),
        combo(IDC_CORS_USER, 44, 59, 110, platform::CBS_DROPDOWN),
        label("密码:", 4, 75, 38, 9),
        edit(IDC_CORS_PASSWORD, 44, 73, 110, ES_PASSWORD),
        label("接收数据:", 4, 89, 38, 9),
        text(IDC_CORS_RECEIVED, "0", 44, 89, 110, 9, platform::SS_LEFT),
        button(IDC_CORS_CONNECT, "连接网络", 4, 101, 73, 14),
        button(IDC_CORS_CLEAR_HISTORY, "清空历史记录", 81, 101, 73, 14),
    };
    return t;
}

} // namespace res
