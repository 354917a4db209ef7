#pragma once
// The CORS page (tab 4): fetches a caster's source table, logs in to a mount point, forwards the
// correction stream to the receiver and sends the receiver's GGA back once a minute. It remembers
// casters, mount points and users in Config.xml, and switches the receiver's differential source
// when the stream starts and ends.

#include "CorsConfig.h"

#include "app/PageClass.h"

#include <QString>
#include <QStringList>

class CCESocket;
class CVRSSocket;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CLogonCORSDlg : public CMyDialog {
    STAVO_DECLARE_PAGE(CLogonCORSDlg)
public:
    CLogonCORSDlg();
    ~CLogonCORSDlg() override;
    CStavoDlg* m_pMainDlg = nullptr;

    static constexpr platform::UINT TIMER_GGA_UPLOAD = 101;
    static constexpr int kGgaPeriodMs = 60000;

    // Ends the correction connection (with the WAAS question); nothing when there is none.
    void Disconnect();
    // A login request is under way: set at connect, cleared by the first data and at every end.
    bool LoginPending() const { return m_bLoginPending; }
    // "断开网络" while the correction socket exists, else "连接网络".
    void UpdateConnectButton();
    bool HasCorrectionSocket() const { return m_pVrsSocket != nullptr; }

    // Config.xml.
    void LoadCorsConfig();
    void LoadDataCentre(int index, bool atStartUp);
    void SaveAcceptedLogin();
    void ClearCorsHistory();

    // What the page holds (read from its controls at the last fetch or connect).
    QString m_strLocalIp;
    QStringList m_localAddresses;
    QString m_strServerIp;
    unsigned m_nPort = 0;
    QString m_strUser;
    QString m_strPassword;
    QString m_strSource;
    QStringList m_sources; // the source combo box's entries, in its order
    QString m_strSourceTable;
    qint64 m_nRecvBytes = 0;
    cors::AcceptedLogin m_login; // what the login under way stores when the caster accepts it

    CCESocket* m_pTableSocket = nullptr;
    CVRSSocket* m_pVrsSocket = nullptr;
    cors::CCorsConfig m_config;

    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;

protected:
    platform::BOOL OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    platform::BOOL OnCommand(platform::WPARAM wParam, platform::LPARAM lParam) override;

private:
    void BindControls();
    void ReadControls();
    void OnNextLocalAddress();
    void OnGetSourceTable();
    void OnConnectButton();
    void OpenCorrectionConnection(const QString& request);
    void OnGgaTimer();
    void AskWaasQuestion();
    void WriteToReceiver(const char* command);
    bool HasReceiverPort() const;
    bool LineBehind() const;
    void RefreshStatusPage();
    void DestroyTableSocket();
    void DestroyCorrectionSocket();
    QString Caption() const;

    platform::LRESULT OnTableData(int n);
    platform::LRESULT OnTableEvent(int code);
    platform::LRESULT OnTableClosed();
    platform::LRESULT OnCorrectionData(int n);
    platform::LRESULT OnCorrectionEvent(int code);
    platform::LRESULT OnCorrectionClosed();
    void EndCorrectionConnection();

    bool m_bLoginPending = false;

    QLineEdit* m_edLocalIp = nullptr;
    QPushButton* m_btNextIp = nullptr;
    QComboBox* m_cbDataCentre = nullptr;
    QLineEdit* m_edPort = nullptr;
    QComboBox* m_cbSource = nullptr;
    QComboBox* m_cbUser = nullptr;
    QLineEdit* m_edPassword = nullptr;
    QLabel* m_stReceived = nullptr;
    QPushButton* m_btConnect = nullptr;
};
