#include "GPSStatusDlg.h"

#include "res/resource.h"

STAVO_IMPLEMENT_PAGE(CGPSStatusDlg)

CGPSStatusDlg::CGPSStatusDlg() : CMyDialog(IDD_GPS_STATUS, nullptr, platform::FALSE) {}

void CGPSStatusDlg::Refresh()
{
    // The page's rows and its query cycle come with the page itself.
}
