#pragma once
// A static text with its own font, colours, alignment and flashing. Setters only store; the next
// paint uses them. The text is the label's own (QLabel::text()).

#include "MyStatic.h"
#include "TesselExport.h"

enum FontStyle {
    FS_NORMAL = 0, // any value outside 1..5 clears all styles and aligns left again
    FS_BOLD = 1,
    FS_ITALIC = 2,
    FS_UNDERLINED = 3,
    FS_STRIKETHROUGH = 4,
    FS_ANTIALIAS = 5,
};

enum AlignStyle {
    FS_LEFT = 0,
    FS_CENTER = 1,
    FS_RIGHT = 2,
};

class TESSEL_EXPORT CFontStatic : public CMyStatic {
public:
    // Timer that alternates the text while flashing, every 1000 ms.
    static constexpr platform::UINT kFlashTimer = 1;
    static constexpr platform::UINT kFlashPeriodMs = 1000;
    // Height used for a font size of 0, and the largest height either sign may ask for.
    static constexpr int kDefaultFontSize = 13;
    static constexpr int kMaxFontSize = 0x7FFF;

    explicit CFontStatic(QWidget* parent = nullptr);
    ~CFontStatic() override;

    void SetFontSize(int nSize);
    void SetFontWidth(int nWidth);
    void SetForeground(platform::COLORREF cr);
    void SetForeground(int r, int g, int b);
    void SetBackground(platform::COLORREF cr);
    void SetBackground(int r, int g, int b);
    void SetFontStyle(int nStyle);
    void SetAlignment(int nAlign);
    void SetFontStatic(const QString& face);
    void SetFontStatic(const QString& face, int nSize);
    void SetFontStatic(const QString& face, int nSize, platform::COLORREF crText, int nStyle);
    void FlashText(platform::BOOL bFlash);

    // What the next paint uses.
    platform::COLORREF Foreground() const { return m_crText; }
    platform::COLORREF Background() const;
    bool HasBackground() const { return m_bBackground; }
    int FontSize() const { return m_nFontSize; }
    int FontWidth() const { return m_nFontWidth; }
    QString FaceName() const { return m_strFace; }
    bool IsBold() const { return m_bBold; }
    bool IsItalic() const { return m_bItalic; }
    bool IsUnderline() const { return m_bUnderline; }
    bool IsStrikeOut() const { return m_bStrikeOut; }
    bool IsSmooth() const { return m_bSmooth; }
    bool IsFlashing() const { return m_bFlashing; }
    Qt::Alignment TextAlignment() const;
    // The font a paint selects.
    QFont PaintFont() const;

    void PreSubclassWindow() override;
    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    bool m_bSingleLine = true;
    bool m_bBold = false;
    bool m_bItalic = false;
    bool m_bUnderline = false;
    bool m_bStrikeOut = false;
    bool m_bSmooth = false;
    bool m_bBackground = false;
    bool m_bLeft = true;
    bool m_bCenter = false;
    bool m_bRight = false;
    QString m_strFace = QStringLiteral("Tahoma");
    platform::COLORREF m_crText = 0;
    int m_nFontSize = kDefaultFontSize;
    int m_nFontWidth = 0;
    platform::COLORREF m_crBackground = 0;
    bool m_bFlashing = false;
    QString m_strSaved;
    bool m_bFlashHidden = false; // phase: text currently blanked
};
