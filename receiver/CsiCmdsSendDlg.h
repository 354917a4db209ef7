#pragma once
// The NMEA output page (tab 3).

#include "app/PageClass.h"

class CCsiCmdsSendDlg : public CMyDialog {
    STAVO_DECLARE_PAGE(CCsiCmdsSendDlg)
public:
    CCsiCmdsSendDlg();
    CStavoDlg* m_pMainDlg = nullptr;
};
