#include "SatChart.h"

#include "app/StavoDlg.h"
#include "res/resource.h"

#include "geodra/Geodra.h"
#include "platform/Screen.h"
#include "platform/StringTable.h"
#include "wirra/CSIFormat.h"

#include <algorithm>

using namespace platform;

STAVO_IMPLEMENT_PAGE(CSatChart)

CSatChart::CSatChart() : CMyDialog(IDD_SAT_CHART, nullptr, FALSE) {}

CSatChart::~CSatChart() = default;

void CSatChart::DoDataExchange(bool saveAndValidate)
{
    CMyDialog::DoDataExchange(saveAndValidate);
    DDX_Control(IDC_SAT_LIST, m_listSat);
}

std::array<int, 4> CSatChart::ColumnWidths(int screenWidth, int pdaType)
{
    const int m = pdaType == 2 ? screenWidth - 120 : screenWidth;
    return {m / 5, m / 5, m / 5, 2 * m / 5};
}

QString CSatChart::ElevationAzimuthText(int elevation, int azimuth)
{
    return QString::asprintf("%3d° / %3d°", elevation, azimuth);
}

BOOL CSatChart::OnInitDialog()
{
    CMyDialog::OnInitDialog();
    m_bPlaced = true;
    placeList();
    m_listSat.raise();
    m_listSat.SetExtendedStyle(tessel::LVS_EX_GRIDLINES);
    m_listSat.PrepareControl(1);

    const std::array<int, 4> widths = ColumnWidths(Screen::width(), nGetPDAType());
    const QString headings[4] = {
        LoadString(IDS_SAT_PRN), LoadString(IDS_SAT_SNR), LoadString(IDS_SAT_SLIPS),
        QStringLiteral("%1/%2").arg(LoadString(IDS_SAT_ELEVATION), LoadString(IDS_SAT_AZIMUTH))};
    for (int i = 0; i < 4; ++i)
        m_listSat.InsertColumn(i, headings[i], tessel::LVCFMT_LEFT, widths[std::size_t(i)], i);
    return TRUE;
}

void CSatChart::placeList()
{
    const QRect client = rect();
    m_listSat.setGeometry(1, 0, client.width() - 10, client.height());
}

void CSatChart::resizeEvent(QResizeEvent* e)
{
    CMyDialog::resizeEvent(e);
    // Placed once from the template's size, the list would stay wider or taller than the page the
    // tab control gives it, its scroll bar out of sight.
    if (m_bPlaced)
        placeList();
}

void CSatChart::OnSatelliteData()
{
    if (!m_pMainDlg || !m_pMainDlg->m_pDecoder)
        return;
    const CCSIFormat& decoder = *m_pMainDlg->m_pDecoder;
    const int count = m_listSat.GetItemCount();
    const int n = std::clamp(int(decoder.m_nSatCount), 0, CCSIFormat::kChannels);
    for (int i = 0; i < n; ++i) {
        const CSatRecord& s = decoder.m_sats[i];
        const QString texts[4] = {QString::number(s.m_nPrn), QString::number(s.m_nSnr),
                                  QString::number(s.m_nCycleSlips),
                                  ElevationAzimuthText(s.m_nElevation, s.m_nAzimuth)};
        if (i >= count) {
            m_listSat.InsertItem(i, texts[0]);
            for (int c = 1; c < 4; ++c)
                m_listSat.SetItemText(i, c, texts[c]);
            continue;
        }
        // Only changed cells are written, so unchanged ones are not repainted.
        for (int c = 0; c < 4; ++c)
            if (m_listSat.GetItemText(i, c) != texts[c])
                m_listSat.SetItemText(i, c, texts[c]);
    }
    for (int i = count - 1; i >= n; --i)
        m_listSat.DeleteItem(i, FALSE);
}
