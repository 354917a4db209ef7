#pragma once
// The options page (tab 5): the device's time zone, the local date and time from the receiver's GPS
// time, the system clock set from it, and the program's build stamp.

#include "app/PageClass.h"

#include "tessel/FontStatic.h"

#include <QComboBox>
#include <QString>

class CStavoOption : public CMyDialog {
    STAVO_DECLARE_PAGE(CStavoOption)
public:
    CStavoOption();

    CStavoDlg* m_pMainDlg = nullptr;
    QComboBox m_cbTimeZone;    // 1011
    QString m_strTimeZone;     // exchanged with 1011
    CFontStatic m_stLocalTime; // 1012

    // The 24 list entries, "-11:00" to "12:00".
    static QStringList TimeZoneEntries();
    static QString BuildStamp();

    // For each RMC while this tab shows: the receiver's GPS time in the chosen zone.
    void UpdateLocalTime();
    // Selection change of the zone list.
    void OnTimeZoneChange();
    // Button 1024: the system clock (UTC) from the receiver's GPS time.
    void OnSetSystemTime();

protected:
    platform::BOOL OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    platform::BOOL OnCommand(platform::WPARAM wParam, platform::LPARAM lParam) override;
    void resizeEvent(QResizeEvent* e) override;
};
