#pragma once
// The receiver parameter page (tab 0).

#include "app/PageClass.h"

class CGPSStatusDlg : public CMyDialog {
    STAVO_DECLARE_PAGE(CGPSStatusDlg)
public:
    CGPSStatusDlg();
    CStavoDlg* m_pMainDlg = nullptr;

    // The Refresh button's operation: re-reads the receiver's settings. Other pages use it through the
    // main window's RefreshStatusPage().
    void Refresh();
};
