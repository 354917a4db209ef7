#include "GPSStatusDlg.h"

#include "res/resource.h"

STAVO_IMPLEMENT_PAGE(CGPSStatusDlg)

CGPSStatusDlg::CGPSStatusDlg() : CMyDialog(IDD_GPS_STATUS, nullptr, platform::FALSE) {}
