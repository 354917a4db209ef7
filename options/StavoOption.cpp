#include "StavoOption.h"

#include "app/StavoDlg.h"
#include "res/resource.h"

#include "geodra/Geodra.h"
#include "platform/StringTable.h"
#include "platform/SystemTime.h"
#include "wirra/CSIFormat.h"
#include "wirra/GpsTime.h"

using namespace platform;

STAVO_IMPLEMENT_PAGE(CStavoOption)

namespace {

constexpr int kLocalTimeFontSize = 28;

// The drop-down list's string exchange: loading selects the first entry that begins with the text
// (none when no entry does); saving takes the selected entry's text.
void DDX_CBString(bool save, QComboBox& combo, QString& value)
{
    if (save) {
        value = combo.currentIndex() >= 0 ? combo.currentText() : QString();
        return;
    }
    int found = -1;
    for (int i = 0; i < combo.count() && found < 0; ++i)
        if (combo.itemText(i).startsWith(value, Qt::CaseInsensitive))
            found = i;
    combo.setCurrentIndex(found);
}

} // namespace

CStavoOption::CStavoOption() : CMyDialog(IDD_STAVO_OPTION, nullptr, FALSE) {}

QStringList CStavoOption::TimeZoneEntries()
{
    QStringList entries;
    for (int hours = -11; hours <= 12; ++hours)
        entries << QString::asprintf("%d:00", hours);
    return entries;
}

QString CStavoOption::BuildStamp() { return QStringLiteral("Build @ ") + QStringLiteral("2011/03/29 10:40:21"); }

BOOL CStavoOption::OnInitDialog()
{
    CMyDialog::OnInitDialog();
    m_cbTimeZone.clear();
    m_cbTimeZone.addItems(TimeZoneEntries());
    m_strTimeZone = strGetTimeZoneIndex();
    m_stLocalTime.SetFontSize(kLocalTimeFontSize);
    SetDlgItemText(IDC_BUILD_STAMP, BuildStamp());
    UpdateData(FALSE);
    // The user's choice only, as the list reports a selection change: not the selection set above.
    connect(&m_cbTimeZone, qOverload<int>(&QComboBox::activated), this,
            [this] { SendMessage(WM_COMMAND, MAKELONG(WORD(IDC_TIME_ZONE), CBN_SELCHANGE), LPARAM(&m_cbTimeZone)); });
    return TRUE;
}

void CStavoOption::DoDataExchange(bool saveAndValidate)
{
    CMyDialog::DoDataExchange(saveAndValidate);
    DDX_Control(IDC_TIME_ZONE, m_cbTimeZone);
    DDX_Control(IDC_LOCAL_TIME, m_stLocalTime);
    DDX_CBString(saveAndValidate, m_cbTimeZone, m_strTimeZone);
}

BOOL CStavoOption::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (id == IDC_TIME_ZONE && code == CBN_SELCHANGE) {
        OnTimeZoneChange();
        return TRUE;
    }
    if (id == IDC_SET_SYSTEM_TIME && code == BN_CLICKED) {
        OnSetSystemTime();
        return TRUE;
    }
    return CMyDialog::OnCommand(wParam, lParam);
}

void CStavoOption::OnTimeZoneChange()
{
    UpdateData(TRUE);
    m_strTimeZone = m_cbTimeZone.currentIndex() >= 0 ? m_cbTimeZone.itemText(m_cbTimeZone.currentIndex()) : QString();
    vSetTimeZoneIndex(QString(m_strTimeZone));
}

void CStavoOption::UpdateLocalTime()
{
    const CCSIFormat* d = m_pMainDlg ? m_pMainDlg->m_pDecoder : nullptr;
    if (!d)
        return;
    // The sum goes as it is, negative or beyond one week; GPS-UTC is taken at the receiver's own
    // time, so that the zone's hours never move a leap second.
    const double seconds = double(lngGetTimeZoneSec()) + double(d->m_ulGpsSeconds);
    long year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    if (!gps_to_ymdhms(d->m_nGpsWeek, seconds, &year, &month, &day, &hour, &minute, &second, d->nGpsUtcOffset()))
        return;
    // The format takes ints: every value is converted to the type its conversion reads.
    m_stLocalTime.setText(QString::asprintf(LoadString(IDS_LOCAL_TIME).toUtf8().constData(), int(year), int(month),
                                            int(day), int(hour), int(minute), int(second)));
}

void CStavoOption::OnSetSystemTime()
{
    const CCSIFormat* d = m_pMainDlg ? m_pMainDlg->m_pDecoder : nullptr;
    // Week 0 is the decoder's state before any GPS time: setting the clock to January 1980 helps nobody.
    if (!d || d->m_nGpsWeek == 0)
        return;
    long year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    if (!gps_to_ymdhms(d->m_nGpsWeek, d->m_dGpsSeconds, &year, &month, &day, &hour, &minute, &second,
                       d->nGpsUtcOffset()))
        return;
    SYSTEMTIME st;
    st.wYear = WORD(year);
    st.wMonth = WORD(month);
    st.wDay = WORD(day);
    st.wHour = WORD(hour);
    st.wMinute = WORD(minute);
    st.wSecond = WORD(second);
    st.wMilliseconds = WORD((second - st.wSecond) * 1000.0);
    SetSystemTime(&st); // needs privilege; a refusal is not reported
}

void CStavoOption::resizeEvent(QResizeEvent* e)
{
    CMyDialog::resizeEvent(e);
    // The page area under the tabs is shorter than the template: the controls are fitted into it.
    FitTemplateToHeight();
}
