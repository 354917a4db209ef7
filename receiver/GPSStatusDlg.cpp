#include "GPSStatusDlg.h"

#include "GpsPower.h"

#include "app/StavoDlg.h"
#include "res/resource.h"

#include "platform/Controls.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"

#include "wirra/CSIFormat.h"
#include "wirra/TrimblePort.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>

#include <iterator>

using namespace platform;

STAVO_IMPLEMENT_PAGE(CGPSStatusDlg)

namespace {

// The receiver's settings by index, as its status report gives them.
const char* const kDiffModeNames[] = {"NONE", "WAAS", "CORS"};
const char* const kAirModeNames[] = {"AUTO", "NORM", "HIGH", "LOW"};
const char* const kSmoothingNames[] = {"LONG", "SHORT"};
const char* const kAltAidingNames[] = {"NEVER", "SOMETIMES", "ALWAYS", "OTHER"};

template <std::size_t N>
QString nameAt(const char* const (&table)[N], int index)
{
    // An index the table does not know shows as no value.
    return index >= 0 && std::size_t(index) < N ? QString::fromLatin1(table[index]) : QStringLiteral("?");
}

const UINT kRowLabels[CGPSStatusDlg::kRows] = {IDS_BOARD_TYPE, IDS_BAUD,      IDS_DIFF_MODE,
                                              IDS_ELEV_MASK,  IDS_AIR_MODE,  IDS_SMOOTHING,
                                              IDS_ALT_AIDING, IDS_FREQUENCY, IDS_MAX_DIFF_AGE};

const char* const kFactorySettings =
    "$JBAUD,19200,OTHER\r\n$JDIFF,WAAS\r\n$JMASK,5\r\n$JAIR,AUTO\r\n$JSMOOTH,LONG\r\n";

} // namespace

CGPSStatusDlg::CGPSStatusDlg() : CMyDialog(IDD_GPS_STATUS, nullptr, FALSE) {}

CGPSStatusDlg::~CGPSStatusDlg() = default;

void CGPSStatusDlg::DoDataExchange(bool saveAndValidate)
{
    CMyDialog::DoDataExchange(saveAndValidate);
    DDX_Control(IDC_PARAM_LIST, m_list);
    // The radio group 1006/1007 and the start-up power preference: its index, -1 for none.
    auto* off = qobject_cast<QAbstractButton*>(GetDlgItem(IDC_POWER_OFF_AT_START));
    auto* on = qobject_cast<QAbstractButton*>(GetDlgItem(IDC_POWER_ON_AT_START));
    if (!off || !on)
        return;
    if (saveAndValidate) {
        m_nOpenPower = off->isChecked() ? 0 : on->isChecked() ? 1 : DWORD(-1);
    } else {
        QButtonGroup* group = off->group();
        const bool exclusive = group && group->exclusive();
        if (group)
            group->setExclusive(false);
        off->setChecked(m_nOpenPower == 0);
        on->setChecked(m_nOpenPower == 1);
        if (group)
            group->setExclusive(exclusive);
    }
}

BOOL CGPSStatusDlg::OnInitDialog()
{
    CMyDialog::OnInitDialog();

    DDX_Control(IDC_GPS_POWER, m_btnPower);
    DDX_Control(IDC_REFRESH, m_btnRefresh);
    DDX_Control(IDC_SET, m_btnSet);
    DDX_Control(IDC_PAGE_EXIT, m_btnExit);
    DDX_Control(IDC_FACTORY_RESET, m_btnFactory);
    for (CIconButton* b : {&m_btnPower, &m_btnRefresh, &m_btnSet, &m_btnExit, &m_btnFactory})
        b->SetFlat(FALSE);
    m_btnRefresh.SetIcon(IDI_REFRESH, QSize(32, 32));
    m_btnSet.SetIcon(IDI_SET, QSize(32, 32));
    m_btnExit.SetIcon(IDI_EXIT, QSize(32, 32));

    m_list.SetExtendedStyle(stavo::LVS_EX_GRIDLINES | stavo::LVS_EX_TRACKSELECT | stavo::LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, LoadString(IDS_PARAM_NAME));
    m_list.InsertColumn(1, LoadString(IDS_PARAM_VALUE));
    const int a = (m_list.width() - 10) / 2;
    m_list.SetColumnWidth(0, a + 30);
    m_list.SetColumnWidth(1, a - 30);
    m_list.RemeasureRows();
    for (int r = 0; r < kRows; ++r)
        m_list.InsertRow(r, LoadString(kRowLabels[r]));
    for (int r = 0; r < kRows; ++r) {
        const bool editable = r >= 2 && r <= 5;
        m_list.SetCellReadOnly(r, 1, editable ? 0 : 1);
        if (r == 2 || r == 4 || r == 5)
            m_list.SetChoiceRow(r, TRUE);
    }
    m_list.SetAllowedChars(QString::fromLatin1(kValueChars), 1);
    m_list.SetChoiceScrollBar(TRUE);
    m_list.SetExtendedStyle(stavo::LVS_EX_FULLROWSELECT);

    ReadPowerState();
    // The power button is offered only where the GPS power driver is there to switch: elsewhere the
    // receiver powers itself and the button could only say "Failed to load driver!".
    if (stavo::GpsPowerDriverPresent()) {
        m_btnPower.show();
        PlacePowerButton();
    }

    SetTimer(TIMER_QUERY, kQueryDelayMs);
    SetTimer(TIMER_FILL, kFillDelayMs);
    m_list.setFocus(Qt::OtherFocusReason);
    return FALSE;
}

void CGPSStatusDlg::UpdateRows(int row)
{
    if (!m_pMainDlg || !m_pMainDlg->m_pPort || !m_pMainDlg->m_pDecoder)
        return;
    const CCSIFormat& d = *m_pMainDlg->m_pDecoder;
    if (!d.m_nJshowAnswered) {
        // No answer yet: ask again, and look again in a second.
        m_pMainDlg->RequestReceiverState();
        SetTimer(TIMER_FILL, kRetryMs);
        return;
    }
    for (int r = 0; r < kRows; ++r) {
        if (row != -1 && row != r)
            continue;
        QString text;
        switch (r) {
        case 0: text = QStringLiteral("Tarvo OEM"); break;
        case 1: text = QString::asprintf("%d", int(d.m_nBaud)); break;
        case 2:
            m_list.SetCellReadOnly(2, 1, 0);
            m_list.SetChoiceRow(2, TRUE);
            text = nameAt(kDiffModeNames, d.m_nDiffMode);
            break;
        case 3: text = QString::asprintf("%d", int(d.m_nElevMask)); break;
        case 4: text = nameAt(kAirModeNames, d.m_nAirMode); break;
        case 5: text = nameAt(kSmoothingNames, d.m_nSmoothing); break;
        case 6: text = nameAt(kAltAidingNames, d.m_nAltAiding); break;
        case 7: text = QString::asprintf("%.3f", d.m_dFrequency); break;
        case 8: text = QString::asprintf("%d", int(d.m_nMaxDiffAge)); break;
        default: break;
        }
        m_list.SetItemText(r, 1, text);
    }
}

QString CGPSStatusDlg::CommandValue(const QString& cell)
{
    // A pasted line break (or any control character) ends the value: nothing after it may ride
    // along as a second command.
    int end = 0;
    while (end < cell.size() && cell[end].unicode() >= 0x20)
        ++end;
    QString v = cell.left(end);
    // What a 10-character buffer holds: 9 characters and the end mark. Half a surrogate pair is
    // not kept.
    if (v.size() > 9)
        v.truncate(v[8].isHighSurrogate() ? 8 : 9);
    return v;
}

void CGPSStatusDlg::SendParameters()
{
    if (!m_pMainDlg || !m_pMainDlg->m_pPort)
        return;
    CTrimblePort* port = m_pMainDlg->m_pPort;
    const struct {
        int row;
        const char* command;
    } commands[] = {{2, "$JDIFF,"}, {3, "$JMASK,"}, {4, "$JAIR,"}, {5, "$JSMOOTH,"}};
    for (const auto& c : commands) {
        const QString text =
            QString::fromLatin1(c.command) + CommandValue(m_list.GetItemText(c.row, 1)) + QStringLiteral("\r\n");
        port->vWriteToPort(text, 0, 0);
        port->bWaitWriteBufferEmpty();
    }
}

void CGPSStatusDlg::Refresh()
{
    UpdateData(FALSE);
    if (m_pMainDlg && m_pMainDlg->m_pPort) {
        m_pMainDlg->RequestReceiverState();
        SetTimer(TIMER_FILL, kFillDelayMs);
    }
}

void CGPSStatusDlg::OnSet()
{
    UpdateData(TRUE);
    SendParameters();
    SetTimer(TIMER_QUERY, kQueryDelayMs);
}

void CGPSStatusDlg::OnFactoryReset()
{
    if (MessageBox(this, LoadString(IDS_FACTORY_RESET), QApplication::applicationDisplayName(),
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!m_pMainDlg || !m_pMainDlg->m_pPort)
        return;
    // The differential source is WAAS: a receiver of this family knows no "WASS" and would keep
    // whatever source it had.
    m_pMainDlg->m_pPort->vWriteToPort(QString::fromLatin1(kFactorySettings), 0, 0);
    m_pMainDlg->m_pPort->bWaitWriteBufferEmpty();
    SetTimer(TIMER_QUERY, kQueryDelayMs);
}

void CGPSStatusDlg::PowerOn() { stavo::GpsPowerOn(this); }

void CGPSStatusDlg::PowerOff() { stavo::GpsPowerOff(this); }

void CGPSStatusDlg::ReadPowerState()
{
    const stavo::GpsPowerState state = stavo::ReadGpsPowerState();
    m_nPowerStatus = state.powerStatus;
    m_nOpenPower = state.openPower;
    const stavo::PowerButtonLook look = stavo::PowerButtonLookFor(m_nPowerStatus);
    m_btnPower.SetIcon(int(look.icon), QSize(32, 32));
    SetWindowText(&m_btnPower, look.text);
    UpdateData(FALSE);
}

void CGPSStatusDlg::TogglePower()
{
    stavo::ToggleGpsPower(this, m_pMainDlg, m_nPowerStatus);
    ReadPowerState();
}

void CGPSStatusDlg::OnExit()
{
    if (m_pMainDlg)
        m_pMainDlg->RequestExit();
}

BOOL CGPSStatusDlg::OnGetChoices(int row, CArray<QString>* choices)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus || !choices)
        return FALSE;
    choices->RemoveAll();
    const QRect listRect(m_list.mapToGlobal(QPoint(0, 0)), m_list.size());
    if (!listRect.contains(focus->mapToGlobal(QPoint(0, 0))))
        return TRUE;
    auto add = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            choices->Add(QString::fromLatin1(n));
    };
    switch (row) {
    case 2: add({"NONE", "WAAS"}); break;
    case 4: add({"AUTO", "NORM", "HIGH", "LOW"}); break;
    case 5: add({"LONG", "SHORT"}); break;
    default: break;
    }
    return TRUE;
}

void CGPSStatusDlg::OnTimer(UINT id)
{
    if (id == TIMER_FILL) {
        KillTimer(TIMER_FILL);
        UpdateRows(-1);
    } else if (id == TIMER_QUERY) {
        KillTimer(TIMER_QUERY);
        if (m_pMainDlg)
            m_pMainDlg->RequestReceiverState();
        SetTimer(TIMER_FILL, kFillDelayMs);
    }
}

BOOL CGPSStatusDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_REFRESH: Refresh(); return TRUE;
        case IDC_SET: OnSet(); return TRUE;
        case IDC_FACTORY_RESET: OnFactoryReset(); return TRUE;
        case IDC_PAGE_EXIT: OnExit(); return TRUE;
        case IDC_GPS_POWER: TogglePower(); return TRUE;
        default: break;
        }
    }
    return CMyDialog::OnCommand(wParam, lParam);
}

LRESULT CGPSStatusDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case stavo::WM_LIST_GETCHOICES:
        return OnGetChoices(int(wParam), reinterpret_cast<CArray<QString>*>(lParam));
    case WM_TIMER:
        OnTimer(UINT(wParam));
        return CMyDialog::WindowProc(message, wParam, lParam);
    default: return CMyDialog::WindowProc(message, wParam, lParam);
    }
}

void CGPSStatusDlg::resizeEvent(QResizeEvent* e)
{
    CMyDialog::resizeEvent(e);
    // The page area under the tabs is shorter than the template: the controls are fitted into it.
    FitTemplateToHeight();
    PlacePowerButton();
}

void CGPSStatusDlg::PlacePowerButton()
{
    // The template puts the button over the left end of the list's last row, where it would hide the
    // row's label; shown, it sits at the right end of that row instead, beside the short value.
    if (!m_btnPower.isHidden())
        m_btnPower.move(width() - m_btnPower.width(), m_btnPower.y());
}
