#include "LogonCORSDlg.h"

#include "res/resource.h"

STAVO_IMPLEMENT_PAGE(CLogonCORSDlg)

CLogonCORSDlg::CLogonCORSDlg() : CMyDialog(IDD_LOGON_CORS, nullptr, platform::FALSE) {}
