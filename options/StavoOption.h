#pragma once
// The options page (tab 5).

#include "app/PageClass.h"

class CStavoOption : public CMyDialog {
    STAVO_DECLARE_PAGE(CStavoOption)
public:
    CStavoOption();
    CStavoDlg* m_pMainDlg = nullptr;
};
