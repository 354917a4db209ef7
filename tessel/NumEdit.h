#pragma once
// An edit box for numbers. Typing is filtered so that only a well-formed decimal number (sign,
// point, exponent) can be entered; an empty box shows "?" once the focus leaves it; and the value is
// re-written in the format of the box's kind when the focus leaves: plain decimals, integers, angles
// held in radians and shown as degrees, minutes and seconds (also as latitude or longitude), ratios,
// percentages and chainages. Kind 10 is free text: nothing is filtered and nothing re-written.
//
// The texts and readings are also offered as class-wide functions, so that they work without a box.

#include "TesselExport.h"

#include <platform/Window.h>

#include <QLineEdit>

class TESSEL_EXPORT CNumEdit : public QLineEdit, public platform::Window {
public:
    // Display kinds (m_nKind).
    enum Kind {
        KIND_DECIMAL = 0,     // "%.6f" (also every kind from 18 up)
        KIND_ANGLE = 1,       // signed angle, seconds with 5 decimals
        KIND_CHAINAGE = 2,    // "%d+%.3f"
        KIND_RATIO1 = 3,      // "1:%.3f" of the reciprocal
        KIND_RATIO2 = 4,      // "%.3f:1" of the reciprocal
        KIND_PERCENT = 5,     // "%.3f%%" of 100 x
        KIND_DECIMAL3 = 6,    // "%.03f"
        KIND_INTEGER = 7,     // "%d", truncated toward zero
        KIND_ANGLE_INT = 8,   // whole seconds
        KIND_DECIMAL1 = 9,    // "%.1f"
        KIND_TEXT = 10,       // free text
        KIND_LATITUDE = 11,
        KIND_LONGITUDE = 12,
        KIND_ANGLE6 = 13,     // signed angle, 6 decimals
        KIND_DECIMAL10 = 14,  // "%.10f"
        KIND_DECIMAL22 = 15,  // "%.22f"
        KIND_ANGLE13 = 16,    // signed angle, 13 decimals
        KIND_DECIMAL4 = 17,   // "%.04f"
    };

    explicit CNumEdit(QWidget* parent = nullptr);
    ~CNumEdit() override;

    int m_nKind = KIND_DECIMAL;

    // Writers: each sets the text in its own format.
    void SetValue(double value);
    void SetValue3(double value);
    void SetValue(int value);
    void vSetValueRad(double radians);
    void vSetValueRad6(double radians);
    void vSetValueRad13(double radians);
    void vSetValueRadInt(double radians);
    void vSetValueLatitude(double radians);
    void vSetValueLongitude(double radians);
    // In the format of the current kind.
    void vSetDoubleVal(double value);

    // Readers of the box's text.
    double GetValue() const;
    double dGetValue() const;
    double dGetValueR() const;
    double dGetValueRatio1() const;
    double dGetValueRatio2() const;
    double dGetValuePercent() const;
    double dGetValueAll() const; // with the parser of the current kind

    // Class-wide readers of a text: plain number (leading number, rest ignored, 0 when none), angle in
    // radians, the two ratio forms, percent, chainage, and the parser of a kind.
    static double dGetValue(const QString& text);
    static double dGetValueR(const QString& text);
    static double dGetValueRatio1(const QString& text);
    static double dGetValueRatio2(const QString& text);
    static double dGetValuePercent(const QString& text);
    static double dGetValueChainage(const QString& text);
    static double dGetValueAll(int kind, const QString& text);

    // The text a kind shows for a value. A value that is not finite, or does not fit the integer
    // parts of its format, shows "?".
    static QString strFormat(int kind, double value);

    // Whether the character typed at caret p into text (with the selection from selStart to selEnd)
    // passes the filter of a kind.
    static bool bCharPasses(int kind, platform::UINT ch, const QString& text, int p, int selStart, int selEnd);

    // Focus handling; derived editors call OnKillFocus before their own work.
    virtual void OnSetFocus(QWidget* pOldWnd);
    virtual void OnKillFocus(QWidget* pNewWnd);

    QString ClassName() const override { return QStringLiteral("Edit"); }

protected:
    // A typed character; FALSE drops it.
    virtual platform::BOOL OnChar(platform::UINT nChar);
    virtual void OnLButtonDown(QPoint point);

    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

    // The character a key event types: control characters for Ctrl+letter, 0 for a key without one.
    static platform::UINT CharOfKey(const QKeyEvent* e);
    // Selection start and end, both the caret when nothing is selected.
    std::pair<int, int> Selection() const;
};
