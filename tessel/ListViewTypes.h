#pragma once
// The handheld's list-view vocabulary: styles, item states, rectangle codes, the column and item
// records, and the notification records a list sends to its parent (WM_NOTIFY) or hands to its
// custom-draw hook. Values are the platform's own, so code and tests speak the same numbers.

#include <platform/WinTypes.h>

#include <QRect>
#include <QString>

class QPainter;
class QWidget;

namespace tessel {

using platform::DWORD;
using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;

constexpr UINT WM_NOTIFY = 0x004E;

// Window styles of a list view.
constexpr DWORD LVS_ICON = 0x0000;
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SMALLICON = 0x0002;
constexpr DWORD LVS_LIST = 0x0003;
constexpr DWORD LVS_TYPEMASK = 0x0003;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_EDITLABELS = 0x0200;
constexpr DWORD LVS_ALIGNLEFT = 0x0800;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
constexpr DWORD WS_BORDER = 0x00800000;

// Extended list-view styles.
constexpr DWORD LVS_EX_GRIDLINES = 0x0001;
constexpr DWORD LVS_EX_CHECKBOXES = 0x0004;
constexpr DWORD LVS_EX_HEADERDRAGDROP = 0x0010;
constexpr DWORD LVS_EX_FULLROWSELECT = 0x0020;

// Column formats.
constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;
constexpr int LVCFMT_JUSTIFYMASK = 0x0003;

// Column record fields.
constexpr UINT LVCF_FMT = 0x0001;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;
constexpr UINT LVCF_SUBITEM = 0x0008;

// Item record fields and states.
constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;
constexpr UINT INDEXTOSTATEIMAGEMASK(UINT i) { return i << 12; }

// Searches of GetNextItem.
constexpr int LVNI_ALL = 0x0000;
constexpr int LVNI_FOCUSED = 0x0001;
constexpr int LVNI_SELECTED = 0x0002;

// Rectangle codes of GetItemRect.
constexpr UINT LVIR_BOUNDS = 0;
constexpr UINT LVIR_ICON = 1;
constexpr UINT LVIR_LABEL = 2;

// Notification codes (wide-character list).
constexpr UINT LVN_BEGINLABELEDITW = UINT(-175);
constexpr UINT LVN_COLUMNCLICK = UINT(-108);
constexpr UINT NM_CUSTOMDRAW = UINT(-12);

// Custom-draw stages, answers and item states.
constexpr DWORD CDDS_PREPAINT = 0x00000001;
constexpr DWORD CDDS_POSTPAINT = 0x00000002;
constexpr DWORD CDDS_ITEM = 0x00010000;
constexpr DWORD CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
constexpr DWORD CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT;
constexpr DWORD CDDS_SUBITEM = 0x00020000;
constexpr LRESULT CDRF_DODEFAULT = 0x00;
constexpr LRESULT CDRF_SKIPDEFAULT = 0x04;
constexpr LRESULT CDRF_NOTIFYPOSTPAINT = 0x10;
constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x20;
constexpr LRESULT CDRF_NOTIFYSUBITEMDRAW = 0x20;
constexpr UINT CDIS_SELECTED = 0x0001;
constexpr UINT CDIS_FOCUS = 0x0010;

struct NMHDR {
    QWidget* hwndFrom = nullptr;
    std::uintptr_t idFrom = 0;
    UINT code = 0;
};

struct LVCOLUMN {
    UINT mask = 0;
    int fmt = LVCFMT_LEFT;
    int cx = 0;
    QString pszText;
    int iSubItem = 0;
};

struct LVITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    QString pszText;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
};

struct NMLVDISPINFO {
    NMHDR hdr;
    LVITEM item;
};

// One custom-draw call. Rectangles are in the list's client coordinates, as the painter draws them;
// for a subitem other than 0 the rectangle is not moved by horizontal scrolling (add the row's left
// edge to place it), and for subitem 0 it is the whole row.
struct NMLVCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage = 0;
    QPainter* hdc = nullptr;
    QRect rc;
    std::uintptr_t dwItemSpec = 0; // the row
    UINT uItemState = 0;
    int iSubItem = 0;
};

} // namespace tessel
