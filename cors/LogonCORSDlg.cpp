#include "LogonCORSDlg.h"

#include "NtripText.h"

#include "app/StavoDlg.h"
#include "res/resource.h"

#include "platform/Controls.h"
#include "platform/DataFolder.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"

#include "wirra/CSIFormat.h"
#include "wirra/TrimblePort.h"
#include "wirra/VRSSocket.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <cstdint>
#include <utility>

using namespace platform;
using cors::CasterReply;

STAVO_IMPLEMENT_PAGE(CLogonCORSDlg)

namespace {

constexpr DWORD ES_PASSWORD = 0x0020;
constexpr int kAddressChars = 15;
constexpr int kReceiverType = 13;
// Correction bytes the receiver's line may owe before further blocks are dropped.
constexpr std::uint64_t kMinLineBacklog = 4096;

const char* const kDiffNone = "$JDIFF,NONE\r\n";
const char* const kDiffBeacon = "$JDIFF,BEACON\r\n";
// Receivers of this family know the SBAS source as WAAS.
const char* const kDiffWaas = "$JDIFF,WAAS\r\n";

// Fills a combo box as a list control is filled: the entries in order and nothing selected.
void FillCombo(QComboBox* box, const QStringList& items)
{
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
}

// The exact entry when there is one, else the first that begins with the text, ignoring case.
void SelectEntry(QComboBox* box, const QString& text)
{
    int i = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0)
        i = box->findText(text, Qt::MatchStartsWith);
    if (i >= 0)
        box->setCurrentIndex(i);
}

} // namespace

CLogonCORSDlg::CLogonCORSDlg() : CMyDialog(IDD_LOGON_CORS, nullptr, platform::FALSE)
{
    m_config.SetPath(DataFile(QStringLiteral("Config.xml")));
}

CLogonCORSDlg::~CLogonCORSDlg()
{
    KillTimer(TIMER_GGA_UPLOAD);
    delete std::exchange(m_pTableSocket, nullptr);
    delete std::exchange(m_pVrsSocket, nullptr);
}

// ---- Controls ----

void CLogonCORSDlg::BindControls()
{
    m_edLocalIp = qobject_cast<QLineEdit*>(GetDlgItem(IDC_CORS_LOCAL_IP));
    m_btNextIp = qobject_cast<QPushButton*>(GetDlgItem(IDC_CORS_NEXT_IP));
    m_cbDataCentre = qobject_cast<QComboBox*>(GetDlgItem(IDC_CORS_DATA_CENTRE));
    m_edPort = qobject_cast<QLineEdit*>(GetDlgItem(IDC_CORS_PORT));
    m_cbSource = qobject_cast<QComboBox*>(GetDlgItem(IDC_CORS_SOURCE));
    m_cbUser = qobject_cast<QComboBox*>(GetDlgItem(IDC_CORS_USER));
    m_edPassword = qobject_cast<QLineEdit*>(GetDlgItem(IDC_CORS_PASSWORD));
    m_stReceived = qobject_cast<QLabel*>(GetDlgItem(IDC_CORS_RECEIVED));
    m_btConnect = qobject_cast<QPushButton*>(GetDlgItem(IDC_CORS_CONNECT));
    Q_ASSERT(m_edLocalIp && m_btNextIp && m_cbDataCentre && m_edPort && m_cbSource && m_cbUser && m_edPassword &&
             m_stReceived && m_btConnect);

    // The template's styles, as the handheld's controls take them.
    for (QComboBox* box : {m_cbDataCentre, m_cbSource, m_cbUser}) {
        if ((GetStyle(box) & 0x3) == CBS_DROPDOWN) {
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->setCompleter(nullptr);
        }
    }
    if (GetStyle(m_edPort) & ES_NUMBER)
        m_edPort->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_edPort));
    if (GetStyle(m_edPassword) & ES_PASSWORD)
        m_edPassword->setEchoMode(QLineEdit::Password);
    m_edLocalIp->setMaxLength(kAddressChars);
    m_cbDataCentre->lineEdit()->setMaxLength(kAddressChars);
    m_edPort->setMaxLength(10);

    // A user's choice in the data-centre box arrives as the handheld's selection-change notice.
    connect(m_cbDataCentre, &QComboBox::activated, this, [this] {
        SendMessage(WM_COMMAND, MAKELONG(WORD(IDC_CORS_DATA_CENTRE), CBN_SELCHANGE), LPARAM(m_cbDataCentre));
    });
}

void CLogonCORSDlg::ReadControls()
{
    if (!m_edLocalIp)
        return;
    m_strLocalIp = m_edLocalIp->text();
    m_strServerIp = m_cbDataCentre->currentText();
    bool ok = false;
    const qulonglong port = m_edPort->text().toULongLong(&ok);
    // Beyond a port's range counts as no port at all, as 0 does.
    m_nPort = ok && port <= 65535 ? unsigned(port) : 0;
    m_strUser = m_cbUser->currentText();
    m_strPassword = m_edPassword->text();
    m_strSource = m_cbSource->currentText();
}

void CLogonCORSDlg::DoDataExchange(bool saveAndValidate)
{
    CMyDialog::DoDataExchange(saveAndValidate);
    if (saveAndValidate)
        ReadControls();
}

QString CLogonCORSDlg::Caption() const { return m_pMainDlg ? m_pMainDlg->windowTitle() : QString(); }

void CLogonCORSDlg::UpdateConnectButton()
{
    if (m_btConnect)
        m_btConnect->setText(LoadString(m_pVrsSocket ? IDS_DISCONNECT : IDS_CONNECT));
}

// ---- Start-up ----

BOOL CLogonCORSDlg::OnInitDialog()
{
    CMyDialog::OnInitDialog();
    BindControls();
    StartWSA();
    m_localAddresses.clear();
    const HostEntry* host = CCESocket::lpGetLocoalAddress();
    if (!host || host->h_addrtype == 0) {
        MessageBox(this, LoadString(IDS_NET_CONNECT_FAILED), QStringLiteral("ERROR"), MB_ICONEXCLAMATION);
    } else {
        for (const auto& a : host->h_addr_list)
            m_localAddresses << QString::asprintf("%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
    }
    m_strLocalIp = m_localAddresses.isEmpty() ? QString() : m_localAddresses.first();
    m_edLocalIp->setText(m_strLocalIp);
    if (m_localAddresses.size() == 1)
        m_btNextIp->hide();
    LoadCorsConfig();
    return FALSE;
}

void CLogonCORSDlg::OnNextLocalAddress()
{
    ReadControls();
    if (m_localAddresses.isEmpty())
        return;
    const qsizetype i = m_localAddresses.indexOf(m_strLocalIp);
    const qsizetype next = (i < 0 || i == m_localAddresses.size() - 1) ? 0 : i + 1;
    m_strLocalIp = m_localAddresses[next];
    m_edLocalIp->setText(m_strLocalIp);
}

// ---- Commands and messages ----

BOOL CLogonCORSDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (code == CBN_SELCHANGE && id == IDC_CORS_DATA_CENTRE) {
        LoadDataCentre(m_cbDataCentre->currentIndex(), false);
        return TRUE;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_CORS_GET_SOURCES: OnGetSourceTable(); return TRUE;
        case IDC_CORS_CONNECT: OnConnectButton(); return TRUE;
        case IDC_CORS_NEXT_IP: OnNextLocalAddress(); return TRUE;
        case IDC_CORS_CLEAR_HISTORY: ClearCorsHistory(); return TRUE;
        default: break;
        }
    }
    return CMyDialog::OnCommand(wParam, lParam);
}

LRESULT CLogonCORSDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SOCKET_RECEIVE:
    case WM_SOCKET_EVENT:
    case WM_SOCKET_CLOSED: {
        auto* socket = reinterpret_cast<CCESocket*>(lParam);
        if (socket && socket == m_pTableSocket) {
            if (message == WM_SOCKET_RECEIVE)
                return OnTableData(int(wParam));
            return message == WM_SOCKET_EVENT ? OnTableEvent(int(wParam)) : OnTableClosed();
        }
        if (socket && socket == static_cast<CCESocket*>(m_pVrsSocket)) {
            if (message == WM_SOCKET_RECEIVE)
                return OnCorrectionData(int(wParam));
            return message == WM_SOCKET_EVENT ? OnCorrectionEvent(int(wParam)) : OnCorrectionClosed();
        }
        return -1;
    }
    case WM_TIMER:
        if (wParam == TIMER_GGA_UPLOAD) {
            OnGgaTimer();
            return 0;
        }
        break;
    default: break;
    }
    return CMyDialog::WindowProc(message, wParam, lParam);
}

// ---- Source table ----

void CLogonCORSDlg::OnGetSourceTable()
{
    ReadControls();
    if (m_strServerIp.isEmpty() || m_nPort == 0 || m_pTableSocket)
        return;
    // The address goes into the request's Host line: a line break in it would add lines of its own.
    if (cors::HasControlCharacter(m_strServerIp))
        return;
    const QString request = cors::BuildSourceTableRequest(m_strServerIp, m_nPort);
    m_pTableSocket = new CCESocket;
    m_pTableSocket->vSetRead0Flag(1);
    if (!m_pTableSocket->Create(1, this)) {
        DestroyTableSocket();
        MessageBox(this, QStringLiteral("Create Socket Failed!"), Caption(), MB_OK);
        return;
    }
    if (m_pTableSocket->Connect(m_strServerIp, m_nPort)) {
        m_pTableSocket->m_strRequest = request;
    } else {
        DestroyTableSocket();
        MessageBox(this, LoadString(IDS_NET_CONNECT_FAILED), Caption(), MB_ICONEXCLAMATION);
    }
}

LRESULT CLogonCORSDlg::OnTableData(int n)
{
    QByteArray block(qMax(n, 0), '\0');
    const int got = m_pTableSocket->m_bufRecv.Get(block.data(), int(block.size()), 1);
    m_strSourceTable += cors::CasterText(block.constData(), got);
    m_sources = cors::ParseSourceTable(m_strSourceTable);
    m_cbSource->addItems(m_sources);
    m_cbSource->setCurrentIndex(m_cbSource->count() > 0 ? 0 : -1);
    m_strSourceTable.clear();
    DestroyTableSocket();
    return 0;
}

LRESULT CLogonCORSDlg::OnTableEvent(int code)
{
    if (code == SOCKET_FAILED) {
        DestroyTableSocket();
        MessageBox(this, LoadString(IDS_HANDHELD_NET_FAILED), Caption(), MB_OK);
    } else if (code == SOCKET_LOST) {
        DestroyTableSocket();
    } else if (!m_pTableSocket->m_strRequest.isEmpty()) {
        FillCombo(m_cbSource, {});
        m_sources.clear();
        m_pTableSocket->Send(std::exchange(m_pTableSocket->m_strRequest, QString()));
    }
    return 0;
}

LRESULT CLogonCORSDlg::OnTableClosed()
{
    DestroyTableSocket();
    m_cbSource->setCurrentIndex(m_cbSource->count() > 0 ? 0 : -1);
    return 0;
}

void CLogonCORSDlg::DestroyTableSocket() { delete std::exchange(m_pTableSocket, nullptr); }

// ---- Correction connection ----

void CLogonCORSDlg::OnConnectButton()
{
    if (m_pVrsSocket) {
        Disconnect();
        UpdateConnectButton();
        return;
    }
    ReadControls();
    const int selected = m_cbSource->currentIndex();
    if (m_strServerIp.isEmpty() || m_strUser.isEmpty() || m_strPassword.isEmpty() || m_nPort == 0 || selected < 0)
        return;
    // Texts from the caster or Config.xml end up in request lines: a control character in one would
    // let it write lines of its own, so such an entry is refused as an empty one is.
    const QString mountPoint = m_cbSource->itemText(selected);
    if (cors::HasControlCharacter(m_strServerIp) || cors::HasControlCharacter(m_strUser) ||
        cors::HasControlCharacter(mountPoint))
        return;
    m_strSource = m_cbSource->currentText();
    // Stored as made if accepted: a fetch while the answer is awaited reads the fields anew.
    m_login = {m_strServerIp, m_nPort, m_strSource, m_strUser, m_sources};
    OpenCorrectionConnection(cors::BuildMountPointRequest(mountPoint, m_strUser, m_strPassword));
    UpdateConnectButton();
}

void CLogonCORSDlg::OpenCorrectionConnection(const QString& request)
{
    if (m_pVrsSocket) {
        MessageBox(this, LoadString(IDS_DISCONNECT_FIRST), Caption(), MB_OK);
        return;
    }
    m_pVrsSocket = new CVRSSocket;
    m_pVrsSocket->vSetRead0Flag(0);
    if (!m_pVrsSocket->Create(1, this)) {
        DestroyCorrectionSocket();
        MessageBox(this, QStringLiteral("Create Socket Failed!"), Caption(), MB_OK);
        UpdateConnectButton();
        return;
    }
    if (!m_pVrsSocket->Connect(m_strServerIp, m_nPort)) {
        DestroyCorrectionSocket();
        MessageBox(this, LoadString(IDS_NET_CONNECT_FAILED), Caption(), MB_ICONEXCLAMATION);
        UpdateConnectButton();
        return;
    }
    m_pVrsSocket->m_ucLinkState = LINK_LOGIN;
    m_pVrsSocket->m_strRequest = request;
    m_nRecvBytes = 0;
    m_stReceived->setText(QStringLiteral("0"));
    m_bLoginPending = true;
}

LRESULT CLogonCORSDlg::OnCorrectionData(int n)
{
    m_bLoginPending = false;
    CVRSSocket* s = m_pVrsSocket;
    QByteArray block(qMax(n, 0), '\0');
    switch (s->m_ucLinkState) {
    case LINK_LOGIN: {
        const int got = s->m_bufRecv.Get(block.data(), int(block.size()), 1);
        switch (cors::ClassifyCasterReply(cors::CasterText(block.constData(), got))) {
        case CasterReply::Refused:
            DestroyCorrectionSocket();
            MessageBox(this, LoadString(IDS_BAD_LOGIN), Caption(), MB_OK);
            UpdateConnectButton();
            break;
        case CasterReply::Accepted: {
            s->m_ucLinkState = LINK_FORWARD;
            const std::string gga = m_pMainDlg && m_pMainDlg->m_pDecoder ? m_pMainDlg->m_pDecoder->strGetGPGGA()
                                                                          : std::string();
            s->Send(QString::fromLatin1(gga.data(), qsizetype(gga.size())));
            SetTimer(TIMER_GGA_UPLOAD, kGgaPeriodMs);
            SaveAcceptedLogin();
            // Only with a port: after the receiver's power went off there is none to write to.
            if (HasReceiverPort()) {
                WriteToReceiver(kDiffNone);
                WriteToReceiver(kDiffBeacon);
            }
            RefreshStatusPage();
            break;
        }
        case CasterReply::Unrecognised: break;
        }
        return 0;
    }
    case LINK_FORWARD:
    case LINK_FORWARD_2: {
        if (!s->m_ucReady) {
            s->m_bufRecv.Clear();
            return -1;
        }
        // The serial line is slower than a fast stream: a block that arrives while the line is still
        // behind with earlier ones is dropped, as one arriving while a block is being forwarded is.
        // Queued, it would only hold memory and reach the receiver ever older.
        if (LineBehind()) {
            s->m_bufRecv.Get(block.data(), int(block.size()), 1);
            return -1;
        }
        s->m_ucReady = 0;
        if (!s->m_bufRecv.bGetThenRearrange(block.data(), int(block.size()))) {
            s->m_ucReady = 1;
            return -1;
        }
        m_nRecvBytes += n;
        m_stReceived->setText(QString::number(m_nRecvBytes));
        if (HasReceiverPort())
            m_pMainDlg->m_pPort->vSendCorsData(block.constData(), int(block.size()), kReceiverType);
        s->m_ucReady = 1;
        return 0;
    }
    case LINK_DRAIN:
        s->m_bufRecv.Get(block.data(), int(block.size()), 1);
        if (n == 32)
            s->m_ucLinkState = LINK_FORWARD_2;
        return 0;
    default: s->m_bufRecv.Get(block.data(), int(block.size()), 1); return 0;
    }
}

LRESULT CLogonCORSDlg::OnCorrectionEvent(int code)
{
    if (code == SOCKET_FAILED || code == SOCKET_LOST || code == SOCKET_ENDED) {
        // Destroyed and forgotten before any box: the box's own loop delivers further messages.
        DestroyCorrectionSocket();
        KillTimer(TIMER_GGA_UPLOAD);
        m_bLoginPending = false;
        if (code == SOCKET_FAILED)
            MessageBox(this, LoadString(IDS_HANDHELD_NET_FAILED), Caption(), MB_ICONEXCLAMATION);
        else
            EndCorrectionConnection();
    } else if (!m_pVrsSocket->m_strRequest.isEmpty()) {
        m_pVrsSocket->Send(std::exchange(m_pVrsSocket->m_strRequest, QString()));
    }
    UpdateConnectButton();
    return 0;
}

LRESULT CLogonCORSDlg::OnCorrectionClosed()
{
    DestroyCorrectionSocket();
    KillTimer(TIMER_GGA_UPLOAD);
    m_bLoginPending = false;
    EndCorrectionConnection();
    UpdateConnectButton();
    return 0;
}

// The receiver goes back from the correction stream, and the user chooses what comes next.
void CLogonCORSDlg::EndCorrectionConnection()
{
    if (HasReceiverPort()) {
        WriteToReceiver(kDiffNone);
        WriteToReceiver(kDiffBeacon);
    }
    AskWaasQuestion();
}

void CLogonCORSDlg::Disconnect()
{
    if (!m_pVrsSocket)
        return;
    DestroyCorrectionSocket();
    KillTimer(TIMER_GGA_UPLOAD);
    m_bLoginPending = false;
    EndCorrectionConnection();
}

void CLogonCORSDlg::AskWaasQuestion()
{
    if (MessageBox(this, LoadString(IDS_CORS_LOST), Caption(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    if (!HasReceiverPort())
        return;
    WriteToReceiver(kDiffNone);
    WriteToReceiver(kDiffWaas);
    RefreshStatusPage();
}

void CLogonCORSDlg::OnGgaTimer()
{
    if (!m_pVrsSocket)
        return;
    const std::string gga =
        m_pMainDlg && m_pMainDlg->m_pDecoder ? m_pMainDlg->m_pDecoder->strGetGPGGA() : std::string();
    const QString text = QString::fromLatin1(gga.data(), qsizetype(gga.size()));
    for (int attempt = 0; attempt < 3; ++attempt)
        if (m_pVrsSocket->Send(text) != -1)
            return;
    Disconnect();
    UpdateConnectButton();
}

void CLogonCORSDlg::DestroyCorrectionSocket() { delete std::exchange(m_pVrsSocket, nullptr); }

bool CLogonCORSDlg::HasReceiverPort() const { return m_pMainDlg && m_pMainDlg->m_pPort; }

bool CLogonCORSDlg::LineBehind() const
{
    if (!HasReceiverPort())
        return false;
    // What the line sends in two seconds (bytes of ten bits), and never less than a few blocks.
    const std::uint64_t allowance = std::max<std::uint64_t>(kMinLineBacklog, m_pMainDlg->m_pPort->baud() / 10 * 2);
    return m_pMainDlg->m_pPort->UnsentBytes() > allowance;
}

void CLogonCORSDlg::WriteToReceiver(const char* command)
{
    if (HasReceiverPort())
        m_pMainDlg->m_pPort->vWriteToPort(QString::fromLatin1(command), 0, 0);
}

void CLogonCORSDlg::RefreshStatusPage()
{
    if (m_pMainDlg)
        m_pMainDlg->RefreshStatusPage();
}

// ---- Config.xml ----

void CLogonCORSDlg::LoadCorsConfig()
{
    const QStringList addresses = m_config.Load();
    if (addresses.isEmpty())
        return;
    FillCombo(m_cbDataCentre, addresses);
    LoadDataCentre(int(addresses.size()) - 1, true);
}

void CLogonCORSDlg::LoadDataCentre(int index, bool atStartUp)
{
    cors::DataCentre dc;
    if (!m_config.Read(index, &dc))
        return;
    // The caster by its place in the box (which was filled from the file in order), never by a
    // prefix search: "10.0.0.1" would find a "10.0.0.10" listed before it.
    if (index < m_cbDataCentre->count())
        m_cbDataCentre->setCurrentIndex(index);
    m_edPort->setText(dc.port);
    m_sources = dc.sources;
    FillCombo(m_cbSource, m_sources);
    SelectEntry(m_cbSource, dc.lastSource);
    FillCombo(m_cbUser, dc.users);
    if (atStartUp)
        m_cbUser->setEditText(dc.lastUser);
    else
        SelectEntry(m_cbUser, dc.lastUser);
}

void CLogonCORSDlg::SaveAcceptedLogin() { m_config.SaveAcceptedLogin(m_login); }

void CLogonCORSDlg::ClearCorsHistory()
{
    const QString shown = m_cbDataCentre->currentText();
    FillCombo(m_cbDataCentre, {});
    m_cbDataCentre->setEditText(shown);
    m_config.Clear();
}
