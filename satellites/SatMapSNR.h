#pragma once
// The sky plot and signal-to-noise page (tab 1).

#include "app/PageClass.h"

class CSatMapSNR : public CMyDialog {
    STAVO_DECLARE_PAGE(CSatMapSNR)
public:
    CSatMapSNR();
    CStavoDlg* m_pMainDlg = nullptr;
};
