#pragma once
// The list-view notification records and numbers that the parameter list and its cell editors pass
// between them and to the list's parent.

#include "platform/WinTypes.h"

#include <QString>

class QWidget;

namespace stavo {

constexpr platform::UINT WM_CLOSE = 0x0010;
constexpr platform::UINT WM_NOTIFY = 0x004E;

// Sent to the list's parent just before a choice box opens: wParam the row, lParam a CArray<QString>*
// (empty) that the parent fills with the row's choices in display order.
constexpr platform::UINT WM_LIST_GETCHOICES = platform::WM_APP + 1020;
// Sent to the list's parent after an edit has ended and the cell text was set: wParam the list's
// control id, lParam the end-of-edit record (NMLVDISPINFO*).
constexpr platform::UINT WM_LIST_CELLEDITED = platform::WM_APP + 1021;

constexpr int LVN_FIRST = -100;
constexpr int LVN_BEGINLABELEDIT = LVN_FIRST - 75;
constexpr int LVN_ENDLABELEDIT = LVN_FIRST - 76;

constexpr platform::UINT LVIF_TEXT = 0x0001;
constexpr platform::UINT LVIF_STATE = 0x0008;
constexpr platform::UINT LVIS_FOCUSED = 0x0001;
constexpr platform::UINT LVIS_SELECTED = 0x0002;
constexpr platform::UINT LVNI_SELECTED = 0x0002;
constexpr platform::UINT LVIR_BOUNDS = 0;

constexpr platform::DWORD LVS_REPORT = 0x0001;
constexpr platform::DWORD LVS_TYPEMASK = 0x0003;
constexpr platform::DWORD LVS_SINGLESEL = 0x0004;
constexpr platform::DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr platform::DWORD LVS_EDITLABELS = 0x0200;
constexpr platform::DWORD LVS_OWNERDRAWFIXED = 0x0400;
constexpr platform::DWORD LVS_EX_GRIDLINES = 0x0001;
constexpr platform::DWORD LVS_EX_TRACKSELECT = 0x0008;
constexpr platform::DWORD LVS_EX_FULLROWSELECT = 0x0020;
constexpr int LVCFMT_LEFT = 0;

constexpr platform::DWORD WS_BORDER = 0x00800000;
constexpr platform::DWORD WS_VSCROLL = 0x00200000;
constexpr platform::DWORD WS_CHILD = 0x40000000;
constexpr platform::DWORD ES_AUTOVSCROLL = 0x0040;
constexpr platform::DWORD ES_AUTOHSCROLL = 0x0080;
constexpr platform::DWORD ES_NOHIDESEL = 0x0100;
constexpr platform::DWORD CBS_AUTOHSCROLL = 0x0040;
constexpr platform::DWORD CBS_OEMCONVERT = 0x0080;
constexpr platform::DWORD CBS_DISABLENOSCROLL = 0x0800;

struct NMHDR {
    QWidget* hwndFrom = nullptr;
    platform::UINT idFrom = 0;
    int code = 0;
};

struct LVITEM {
    platform::UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    platform::UINT state = 0;
    platform::UINT stateMask = 0;
    QString pszText;
    int cchTextMax = 0;
};

struct NMLVDISPINFO {
    NMHDR hdr;
    LVITEM item;
};

} // namespace stavo
