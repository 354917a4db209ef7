#pragma once
// The receiver parameter page (tab 0).

#include "app/PageClass.h"

class CGPSStatusDlg : public CMyDialog {
    STAVO_DECLARE_PAGE(CGPSStatusDlg)
public:
    CGPSStatusDlg();
    CStavoDlg* m_pMainDlg = nullptr;
};
