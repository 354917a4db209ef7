#pragma once
// The CORS page (tab 4).

#include "app/PageClass.h"

class CLogonCORSDlg : public CMyDialog {
    STAVO_DECLARE_PAGE(CLogonCORSDlg)
public:
    CLogonCORSDlg();
    CStavoDlg* m_pMainDlg = nullptr;
};
