#pragma once
// The satellite status list page (tab 2).

#include "app/PageClass.h"

class CSatChart : public CMyDialog {
    STAVO_DECLARE_PAGE(CSatChart)
public:
    CSatChart();
    CStavoDlg* m_pMainDlg = nullptr;
};
