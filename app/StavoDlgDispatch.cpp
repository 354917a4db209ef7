// The main window's message dispatch: the port's queue is drained on each notice, every message
// goes through the 9600 rule and to its decoding operation, and the status area is refreshed after
// each GGA.

#include "StavoDlg.h"

#include "PositionStatus.h"

#include "cors/LogonCORSDlg.h"
#include "options/StavoOption.h"
#include "satellites/SatChart.h"
#include "satellites/SatMapSNR.h"

#include "wirra/CSIFormat.h"
#include "wirra/MessageKinds.h"
#include "wirra/TrimblePort.h"

using namespace platform;
using namespace stavo;

using wirra::kTypeBinary;
using wirra::kTypeNmea;
using wirra::kTypeReply;

namespace {
constexpr double kDegreesPerRadian = 57.29577951308232;
} // namespace

void CStavoDlg::DrainReceiverQueue()
{
    if (!m_pPort || m_pPort->handle() == -1)
        return;
    // A decoding step may close the port (it never does today, but the page calls can), so the port
    // is looked up again for every message.
    while (m_pPort && m_pPort->m_out.Read() == 1) {
        const CNOutUnknown& m = m_pPort->m_out.Current();
        DispatchReceiverMessage(m.Id(), m.Type());
    }
}

int CStavoDlg::DispatchReceiverMessage(unsigned id, int type)
{
    if (!m_pPort)
        return -1;
    if (m_pPort->handle() == -1)
        return 0;
    Apply9600Rule();

    const char* bytes = m_pPort->pCurrentMessage();
    const int length = m_pPort->nCurrentLength();
    switch (type) {
    case kTypeNmea:
    case kTypeReply:
        m_nNoDataTicks = 0;
        if (type == kTypeNmea && (id == 31 || id == 44))
            return 0;
        if (type == kTypeReply && !m_pDecoder)
            return -1;
        if (!m_pDecoder)
            break;
        m_bDataSeen = 1;
        switch (id) {
        case 150: m_pDecoder->ProcessCSISHOW(bytes); break;
        case 25:
            m_pDecoder->bProcessGGA(bytes);
            UpdatePositionStatus();
            break;
        case 29: m_pDecoder->bProcessGSA(bytes); break;
        case 30: m_pDecoder->bProcessGST(bytes); break;
        case 31: m_pDecoder->m_ucAckFlag = 1; break;
        case 33: m_pDecoder->bProcessRMC(bytes); break;
        case 35: m_pDecoder->bProcessZDA(bytes); break;
        default: break; // 140 and the rest: nothing to decode
        }
        break;
    case kTypeBinary:
        m_nNoDataTicks = 0;
        if (!m_pDecoder)
            return -1;
        if (id == 96)
            m_pDecoder->ProcessSBinaryMsg96(bytes, length);
        else if (id == 99)
            m_pDecoder->ProcessSBinaryMsg99(bytes, length);
        break;
    default: break;
    }

    // The page that is showing refreshes on the message that concerns it.
    const int showing = m_tab.GetCurSel();
    if (id == 99 && showing == PAGE_SKY) {
        if (auto* sky = dynamic_cast<CSatMapSNR*>(Page(PAGE_SKY)))
            sky->OnSatelliteData();
    } else if (id == 99 && showing == PAGE_SATS) {
        if (auto* sats = dynamic_cast<CSatChart*>(Page(PAGE_SATS)))
            sats->OnSatelliteData();
    } else if (id == 33 && showing == PAGE_OPTIONS) {
        if (auto* options = dynamic_cast<CStavoOption*>(Page(PAGE_OPTIONS)))
            options->UpdateLocalTime();
    }
    return 0;
}

void CStavoDlg::UpdatePositionStatus()
{
    m_stStatus.SetForeground(0, 0, 0);
    PositionStatusInput in;
    if (m_pDecoder) {
        in.quality = m_pDecoder->m_ucQuality;
        in.hasPrecision = m_pDecoder->m_ucGstFlag != 0;
        in.sigmaLat = m_pDecoder->m_dSigmaLat;
        in.sigmaLon = m_pDecoder->m_dSigmaLon;
        in.sigmaHeight = m_pDecoder->m_dSigmaHeight;
        in.diffSource = m_pDecoder->m_nDiffMode;
    }
    if (auto* cors = dynamic_cast<CLogonCORSDlg*>(Page(PAGE_CORS)))
        in.loginPending = cors->LoginPending();
    const StatusLine line = ComposePositionStatus(in);
    m_stStatus.SetForeground(GetRValue(line.colour), GetGValue(line.colour), GetBValue(line.colour));
    m_stStatus.setText(line.text);
    if (!m_pDecoder)
        return;
    m_stNorth.setText(FormatDms(m_pDecoder->m_dLatitude * kDegreesPerRadian));
    m_stEast.setText(FormatDms(m_pDecoder->m_dLongitude * kDegreesPerRadian));
    m_stHeight.setText(QString::asprintf("%.2f", m_pDecoder->m_dHeight));
    m_stPdop.setText(QString::asprintf("%.1f", m_pDecoder->m_dPdop));
}
