#include "CsiCmdsSendDlg.h"


#include "app/StavoDlg.h"
#include "res/resource.h"

#include "tessel/MyTabCtrl.h"

#include "wirra/CSIFormat.h"
#include "wirra/TrimblePort.h"

#include <QAbstractButton>

using namespace platform;

STAVO_IMPLEMENT_PAGE(CCsiCmdsSendDlg)

const CCsiCmdsSendDlg::Sentence CCsiCmdsSendDlg::kTable[kSentences] = {
    {"GPGGA", IDC_GPGGA, true},  {"GPGSV", IDC_GPGSV, true},  {"GPGSA", IDC_GPGSA, false},
    {"GPGST", IDC_GPGST, true},  {"GPRMC", IDC_GPRMC, false}, {"GPGLL", IDC_GPGLL, false},
    {"GPGNS", IDC_GPGNS, false}, {"GPGRS", IDC_GPGRS, false}, {"GPGBS", IDC_GPGBS, false},
    {"GPRRE", IDC_GPRRE, false}, {"GPVTG", IDC_GPVTG, true},  {"GPZDA", IDC_GPZDA, false},
};

namespace {
// Rates at or below this count as off.
constexpr double kRateOff = 1e-8;
} // namespace

CCsiCmdsSendDlg::CCsiCmdsSendDlg() : CMyDialog(IDD_CSI_CMDS, nullptr, FALSE) {}

CCsiCmdsSendDlg::~CCsiCmdsSendDlg() = default;

void CCsiCmdsSendDlg::DoDataExchange(bool saveAndValidate)
{
    CMyDialog::DoDataExchange(saveAndValidate);
    for (int i = 0; i < kSentences; ++i) {
        auto* box = qobject_cast<QAbstractButton*>(GetDlgItem(kTable[i].controlId));
        if (!box)
            continue;
        if (saveAndValidate)
            m_nCheck[i] = box->isChecked() ? 1 : 0;
        else
            box->setChecked(m_nCheck[i] != 0);
    }
}

void CCsiCmdsSendDlg::ShowRateTable()
{
    if (!m_pMainDlg || !m_pMainDlg->m_pDecoder)
        return;
    const CCSIFormat& d = *m_pMainDlg->m_pDecoder;
    for (int i = 0; i < kSentences; ++i) {
        double rate = 0;
        m_nCheck[i] = d.bLookupRate(kTable[i].name, &rate) && rate > kRateOff ? 1 : 0;
    }
    UpdateData(FALSE);
}

void CCsiCmdsSendDlg::ApplyDefaultSet()
{
    if (!m_pMainDlg || !m_pMainDlg->m_pPort || !m_pMainDlg->m_pDecoder)
        return;
    QString commands;
    for (int i = 0; i < kSentences; ++i) {
        const Sentence& s = kTable[i];
        m_nCheck[i] = s.defaultOn ? 1 : 0;
        m_pMainDlg->m_pDecoder->vSetRate(s.name, s.defaultOn ? 1.0 : 0.0);
        commands += QString::asprintf("$JASC,%s,%d,OTHER\r\n", s.name, s.defaultOn ? 1 : 0);
    }
    UpdateData(FALSE);
    m_pMainDlg->m_pPort->vWriteToPort(commands, 0, 0);
}

void CCsiCmdsSendDlg::ApplyTickedSet()
{
    if (!m_pMainDlg || !m_pMainDlg->m_pPort || !m_pMainDlg->m_pDecoder)
        return;
    UpdateData(TRUE);
    QString commands;
    for (int i = 0; i < kSentences; ++i) {
        const double rate = m_nCheck[i] ? 1.0 : 0.0;
        m_pMainDlg->m_pDecoder->vSetRate(kTable[i].name, rate);
        commands += QString::asprintf("$JASC,%s,%.1f,OTHER\r\n", kTable[i].name, rate);
    }
    m_pMainDlg->m_pPort->vWriteToPort(commands, 0, 0);
    m_pMainDlg->m_pPort->bWaitWriteBufferEmpty();
}

BOOL CCsiCmdsSendDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_DEFAULT_OUTPUT: ApplyDefaultSet(); return TRUE;
        case IDC_SEND_OUTPUT: ApplyTickedSet(); return TRUE;
        default: break;
        }
    }
    return CMyDialog::OnCommand(wParam, lParam);
}

LRESULT CCsiCmdsSendDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TAB_PAGE_CHANGED) {
        ShowRateTable();
        return 0;
    }
    return CMyDialog::WindowProc(message, wParam, lParam);
}

void CCsiCmdsSendDlg::resizeEvent(QResizeEvent* e)
{
    CMyDialog::resizeEvent(e);
    // The page area under the tabs is shorter than the template: the controls are fitted into it.
    FitTemplateToHeight();
}
