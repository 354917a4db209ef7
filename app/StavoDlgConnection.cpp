// The main window's receiver connection: opening the port, probing the baud rate, bringing the
// receiver to 9600 baud, switching the outputs on, and watching that data keeps coming.

#include "StavoDlg.h"

#include "BaudProbe.h"

#include "res/resource.h"

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"

#include "wirra/CSIFormat.h"
#include "wirra/TrimblePort.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

using namespace platform;
using namespace stavo;

namespace {
constexpr DWORD kPortOptions = 0x00400020;
const char* const kOutputCommands[] = {"$JBIN,96,1\r\n",    "$JBIN,99,1\r\n",    "$JASC,GPGGA,1\r\n",
                                       "$JASC,GPGSA,1\r\n", "$JASC,GPGST,1\r\n", "$JASC,GPRMC,1\r\n"};
} // namespace

int CStavoDlg::ProbeAttempts() { return BaudProbe::Attempts(); }

void CStavoDlg::WriteCommand(const char* command)
{
    if (m_pPort)
        m_pPort->vWriteToPort(QString::fromLatin1(command), 0, 0);
}

void CStavoDlg::WriteAndWait(const char* command)
{
    if (!m_pPort)
        return;
    m_pPort->vWriteToPort(QString::fromLatin1(command), 0, 0);
    m_pPort->bWaitWriteBufferEmpty();
}

void CStavoDlg::OpenReceiverPort()
{
    delete m_pPort;
    m_pPort = nullptr;
    m_pPort = new CTrimblePort;
    m_pPort->m_dwOption = kPortOptions;
    if (m_pPort->bOpenPort(this, m_nPortNo, m_nBaud)) {
        WriteCommand("$JOFF\r\n");
        WriteCommand("$JSHOW\r\n");
        return;
    }
    MessageBox(this, LoadString(IDS_PORT_BUSY), windowTitle(), MB_ICONINFORMATION);
    // The port belongs to someone else: nothing here is worth saving, the program ends at once.
    std::fflush(nullptr);
    std::_Exit(0);
}

void CStavoDlg::CloseReceiverPort()
{
    if (m_eOemType == OEM_CSI && m_pPort && m_pPort->handle() != -1)
        WriteAndWait("$JOFF\r\n");
    if (m_pPort) {
        m_pPort->vClosePort();
        Clock::sleep(200);
        delete m_pPort;
        m_pPort = nullptr;
    }
}

void CStavoDlg::EnableReceiverOutputs()
{
    if (!m_pPort)
        return;
    for (const char* command : kOutputCommands)
        WriteAndWait(command);
}

void CStavoDlg::RequestReceiverState()
{
    if (!m_pPort || m_pPort->handle() == -1)
        return;
    if (m_pDecoder)
        m_pDecoder->m_nJshowAnswered = 0;
    WriteAndWait("$JSHOW\r\n");
}

void CStavoDlg::ShowStatusMessage(const QString& text)
{
    m_nNoDataTicks = -3; // three more seconds before the no-data warning
    m_stStatus.setText(text);
    UpdateData(FALSE);
}

void CStavoDlg::OnTimer(UINT id)
{
    switch (id) {
    case TIMER_BAUD_PROBE: OnBaudProbeTick(); break;
    case TIMER_RECEIVER_INIT: OnReceiverInitTick(); break;
    case TIMER_DATA_WATCH: OnDataWatchTick(); break;
    default: break;
    }
}

void CStavoDlg::OnBaudProbeTick()
{
    if (!m_pPort || m_bDataSeen) {
        KillTimer(TIMER_BAUD_PROBE);
        SetTimer(TIMER_RECEIVER_INIT, 1000);
        return;
    }
    const unsigned rate = BaudProbe::NextRate();
    if (rate == 0) {
        KillTimer(TIMER_BAUD_PROBE);
        MessageBox(this, LoadString(IDS_BAUD_PROBE_FAILED), windowTitle(), MB_OK);
        return;
    }
    m_stStatus.setText(QString::asprintf(LoadString(IDS_BAUD_PROBING).toUtf8().constData(), int(rate)));
    m_nBaud = rate;
    m_pPort->bChangeBaudrate(rate);
    WriteCommand("$JOFF\r\n");
    WriteCommand("$JSHOW\r\n");
    m_pPort->bWaitWriteBufferEmpty();
}

void CStavoDlg::OnReceiverInitTick()
{
    KillTimer(TIMER_RECEIVER_INIT);
    if (m_pPort && m_pPort->handle() != -1)
        WriteAndWait("$JOFF\r\n");
    EnableReceiverOutputs();
    RequestReceiverState();
    SetTimer(TIMER_DATA_WATCH, 1000);
}

void CStavoDlg::OnDataWatchTick()
{
    ++m_nNoDataTicks;
    if (m_nNoDataTicks >= 3) {
        m_stStatus.SetForeground(255, 0, 0);
        m_stStatus.setText(LoadString(IDS_NO_DATA));
    }
}

void CStavoDlg::Apply9600Rule()
{
    m_bDataSeen = 1;
    if (m_nBaud == 9600)
        return;
    WriteAndWait("$JBAUD,9600\r\n");
    m_nBaud = 9600;
    m_pPort->bChangeBaudrate(9600);
    SetTimer(TIMER_RECEIVER_INIT, 2000);
}
