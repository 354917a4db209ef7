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
#include <QFile>

#include <cstdio>
#include <cstdlib>

using namespace platform;
using namespace stavo;

namespace {
constexpr DWORD kPortOptions = 0x00400020;
const char* const kOutputCommands[] = {"$JBIN,96,1\r\n",    "$JBIN,99,1\r\n",    "$JASC,GPGGA,1\r\n",
                                       "$JASC,GPGSA,1\r\n", "$JASC,GPGST,1\r\n", "$JASC,GPRMC,1\r\n"};

// Steps 1 to 4 of opening the receiver's port: a new port object, opened at the current rate, the
// receiver's outputs stopped and its status report asked for. False when the line does not open;
// the port object then stays, closed, so that why can be read from it.
bool OpenPortObject(CStavoDlg& dlg)
{
    delete dlg.m_pPort;
    dlg.m_pPort = nullptr;
    dlg.m_pPort = new CTrimblePort;
    dlg.m_pPort->m_dwOption = kPortOptions;
    if (!dlg.m_pPort->bOpenPort(&dlg, dlg.m_nPortNo, dlg.m_nBaud))
        return false;
    dlg.m_pPort->vWriteToPort(QStringLiteral("$JOFF\r\n"), 0, 0);
    dlg.m_pPort->vWriteToPort(QStringLiteral("$JSHOW\r\n"), 0, 0);
    return true;
}

// After the line hung up (the receiver unplugged, the adapter pulled), the port is opened again
// once its device is back, as switching the receiver's power on does: the port opened, then the
// baud probe. Until then nothing is watched and nothing is spent.
void ReopenAfterHangUp(CStavoDlg& dlg)
{
    CTrimblePort* gone = dlg.m_pPort;
    if (!gone || !gone->IsHungUp() || gone->Device().isEmpty() || !QFile::exists(gone->Device()))
        return;
    dlg.m_pPort = nullptr;
    if (!OpenPortObject(dlg)) {
        // Back in name only (held by someone else, not yet ready): try again next tick, and say
        // why once rather than every second.
        static QString said;
        if (const QString why = dlg.m_pPort->OpenFailure(); why != said) {
            said = why;
            std::fprintf(stderr, "stavo: cannot open the receiver port %u again: %s\n", dlg.m_nPortNo, qPrintable(why));
        }
        delete dlg.m_pPort;
        dlg.m_pPort = gone;
        return;
    }
    delete gone;
    dlg.m_bDataSeen = 0;
    dlg.SetTimer(TIMER_BAUD_PROBE, 2000);
}

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
    if (OpenPortObject(*this))
        return;
    // The box says the port is taken whatever the reason; the reason goes where a desktop user
    // can read it.
    std::fprintf(stderr, "stavo: cannot open the receiver port %u: %s\n", m_nPortNo, qPrintable(m_pPort->OpenFailure()));
    std::fflush(stderr);
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
    // A line that hung up while probing is not probed (no attempt is spent) until it is back.
    if (m_pPort && m_pPort->IsHungUp()) {
        ReopenAfterHangUp(*this);
        return;
    }
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
    ReopenAfterHangUp(*this);
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
