#pragma once
// The NMEA output page (tab 3): one check box per sentence the receiver can put out on its other
// port, a button that applies the ticked set and one that applies the default set. The decoder's rate
// table is kept in step with what the page commands and is shown each time the tab opens.

#include "app/PageClass.h"

class CCsiCmdsSendDlg : public CMyDialog {
    STAVO_DECLARE_PAGE(CCsiCmdsSendDlg)
public:
    static constexpr int kSentences = 12;
    struct Sentence {
        const char* name;
        int controlId;
        bool defaultOn;
    };
    // In table order: every loop and every command string follows it.
    static const Sentence kTable[kSentences];

    CCsiCmdsSendDlg();
    ~CCsiCmdsSendDlg() override;

    CStavoDlg* m_pMainDlg = nullptr;
    int m_nCheck[kSentences] = {};

    // The check boxes from the decoder's rate table.
    void ShowRateTable();
    void ApplyDefaultSet();
    void ApplyTickedSet();

    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void DoDataExchange(bool saveAndValidate) override;
    platform::BOOL OnCommand(platform::WPARAM wParam, platform::LPARAM lParam) override;
};
