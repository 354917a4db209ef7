#include "CsiCmdsSendDlg.h"

#include "res/resource.h"

STAVO_IMPLEMENT_PAGE(CCsiCmdsSendDlg)

CCsiCmdsSendDlg::CCsiCmdsSendDlg() : CMyDialog(IDD_CSI_CMDS, nullptr, platform::FALSE) {}
