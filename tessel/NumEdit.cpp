#include "NumEdit.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <clocale>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>

using namespace platform;

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kPi = 3.14159265358979323846;
constexpr double kEpsilon = 1e-7;
const QString kNoValue = QStringLiteral("?");

bool fitsInt(double v) { return std::isfinite(v) && v > double(INT_MIN) - 1.0 && v < double(INT_MAX) + 1.0; }

// strtod in the C locale, whatever the process's locale says the decimal point is.
double cStrtod(const char* s)
{
    static locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(s, nullptr, c);
}

// The leading decimal number of a text (blanks, sign, digits, point, exponent), or nothing. Only
// this grammar is read: no "inf", "nan" or hexadecimal forms sneak in.
bool leadingNumber(const QString& text, int from, double* value, int* end = nullptr)
{
    int i = from;
    const int n = int(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    QByteArray s;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        s += char(text[i++].unicode());
    int digits = 0;
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        s += char(text[i++].unicode());
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        s += '.';
        ++i;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            s += char(text[i++].unicode());
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        QByteArray e("e");
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            e += char(text[j++].unicode());
        int expDigits = 0;
        while (j < n && text[j] >= QLatin1Char('0') && text[j] <= QLatin1Char('9')) {
            e += char(text[j++].unicode());
            ++expDigits;
        }
        if (expDigits > 0) {
            s += e;
            i = j;
        }
    }
    *value = cStrtod(s.constData());
    if (end)
        *end = i;
    return true;
}

// The leading integer (blanks, sign, digits) of a text; out of range reads as not finite.
bool leadingInteger(const QString& text, int from, double* value)
{
    int i = from;
    const int n = int(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    long long v = 0;
    int digits = 0;
    bool overflow = false;
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        if (v > (LLONG_MAX - 9) / 10)
            overflow = true;
        else
            v = v * 10 + (text[i].unicode() - '0');
        ++i;
        ++digits;
    }
    if (digits == 0)
        return false;
    if (overflow || v > INT_MAX)
        *value = negative ? -HUGE_VAL : HUGE_VAL;
    else
        *value = negative ? -double(v) : double(v);
    return true;
}

struct Dms {
    double d = 0, m = 0, s = 0;
    bool ok = false;
};

// Degrees, minutes and seconds of an angle in degrees, each part carrying the angle's sign.
Dms toDms(double degrees)
{
    Dms r;
    if (!std::isfinite(degrees) || std::fabs(degrees) >= double(INT_MAX))
        return r;
    const bool negative = degrees < 0;
    if (negative)
        degrees = -degrees;
    const int d = int(degrees + kEpsilon);
    double rest = (degrees - d) * 60.0;
    if (rest < 0)
        rest = 0;
    const int m = int(rest + kEpsilon);
    double s = (rest - m) * 60.0;
    // Minutes rounded up to the next whole leave a sliver of negative seconds: the angle's own
    // sign must not be lost to it.
    if (std::fabs(s) < kEpsilon || s < 0)
        s = 0;
    r.d = negative ? -d : d;
    r.m = negative ? -m : m;
    r.s = negative ? -s : s;
    r.ok = true;
    return r;
}

QString signedAngle(double radians, int decimals)
{
    const Dms a = toDms(radians * kDegreesPerRadian);
    if (!a.ok)
        return kNoValue;
    const bool negative = a.d < 0 || a.m < 0 || a.s < 0;
    const QByteArray format = QByteArray(negative ? "-" : "") + "%d°%d'%" + QByteArray::number(decimals + 3) + "." +
                              QByteArray::number(decimals) + "f\"";
    return QString::asprintf(format.constData(), int(std::fabs(a.d)), int(std::fabs(a.m)), std::fabs(a.s));
}

QString latLon(double radians, bool longitude)
{
    const Dms a = toDms(radians * kDegreesPerRadian);
    if (!a.ok)
        return kNoValue;
    const bool negative = radians < 0;
    const char* hemisphere = longitude ? (negative ? "W" : "E") : (negative ? "S" : "N");
    const QByteArray format = QByteArray(longitude ? "%03d" : "%02d") + "°%02d'%08.5f\"" + hemisphere;
    return QString::asprintf(format.constData(), int(std::fabs(a.d)), int(std::fabs(a.m)), std::fabs(a.s));
}

QString wholeSecondAngle(double radians)
{
    if (!std::isfinite(radians))
        return kNoValue;
    if (radians < 0)
        radians += 2 * kPi;
    // More than a turn below zero: once round is not enough, and negative minutes and seconds
    // would make a text that does not read back.
    if (radians < 0)
        radians = std::fmod(radians, 2 * kPi) + 2 * kPi;
    const Dms a = toDms(radians * kDegreesPerRadian);
    if (!a.ok)
        return kNoValue;
    return QString::asprintf("%d°%02d'%.f\"", int(a.d), int(a.m), a.s);
}

QString decimals(const char* format, double v) { return std::isfinite(v) ? QString::asprintf(format, v) : kNoValue; }

QString chainage(double x)
{
    if (!fitsInt(x + 0.001))
        return kNoValue;
    const int k = int(x + 0.001) / 1000;
    return QString::asprintf("%d+%.3f", k, x - 1000.0 * k);
}

} // namespace

CNumEdit::CNumEdit(QWidget* parent) : QLineEdit(parent), Window(this) {}

CNumEdit::~CNumEdit() = default;

QString CNumEdit::strFormat(int kind, double v)
{
    if (!std::isfinite(v))
        return kNoValue;
    switch (kind) {
    case KIND_ANGLE: return signedAngle(v, 5);
    case KIND_ANGLE6: return signedAngle(v, 6);
    case KIND_ANGLE13: return signedAngle(v, 13);
    case KIND_CHAINAGE: return chainage(v);
    case KIND_RATIO1: return decimals("1:%.3f", 1.0 / v);
    case KIND_RATIO2: return decimals("%.3f:1", 1.0 / v);
    case KIND_PERCENT: return decimals("%.3f%%", 100.0 * v);
    case KIND_DECIMAL3: return decimals("%.03f", v);
    case KIND_INTEGER: return fitsInt(v) ? QString::asprintf("%d", int(v)) : kNoValue;
    case KIND_ANGLE_INT: return wholeSecondAngle(v);
    case KIND_DECIMAL1: return decimals("%.1f", v);
    case KIND_LATITUDE: return latLon(v, false);
    case KIND_LONGITUDE: return latLon(v, true);
    case KIND_DECIMAL10: return decimals("%.10f", v);
    case KIND_DECIMAL22: return decimals("%.22f", v);
    case KIND_DECIMAL4: return decimals("%.04f", v);
    default: return decimals("%.6f", v); // 0, 10 and 18 up
    }
}

void CNumEdit::SetValue(double value) { setText(strFormat(KIND_DECIMAL, value)); }
void CNumEdit::SetValue3(double value) { setText(strFormat(KIND_DECIMAL3, value)); }
void CNumEdit::SetValue(int value) { setText(QString::number(value)); }
void CNumEdit::vSetValueRad(double radians) { setText(strFormat(KIND_ANGLE, radians)); }
void CNumEdit::vSetValueRad6(double radians) { setText(strFormat(KIND_ANGLE6, radians)); }
void CNumEdit::vSetValueRad13(double radians) { setText(strFormat(KIND_ANGLE13, radians)); }
void CNumEdit::vSetValueRadInt(double radians) { setText(strFormat(KIND_ANGLE_INT, radians)); }
void CNumEdit::vSetValueLatitude(double radians) { setText(strFormat(KIND_LATITUDE, radians)); }
void CNumEdit::vSetValueLongitude(double radians) { setText(strFormat(KIND_LONGITUDE, radians)); }
void CNumEdit::vSetDoubleVal(double value) { setText(strFormat(m_nKind, value)); }

double CNumEdit::dGetValue(const QString& text)
{
    double v = 0;
    return leadingNumber(text, 0, &v) ? v : 0.0;
}

double CNumEdit::dGetValueR(const QString& text)
{
    if (text.isEmpty() || text == kNoValue)
        return 0.0;
    const int degreeMark = int(text.indexOf(QChar(0x00B0)));
    double degrees = 0;
    if (degreeMark < 0) {
        // Packed form: degrees.minutes-seconds, as in 30.3015 for 30°30'15".
        const double x = dGetValue(text);
        const double ax = std::fabs(x);
        if (!std::isfinite(x) || ax >= double(INT_MAX))
            return x * kRadiansPerDegree;
        const double d = std::trunc(ax);
        const double m = std::trunc((ax - d) * 100.0 + kEpsilon);
        const double s = (ax - d) * 10000.0 - 100.0 * m;
        degrees = d + m / 60.0 + s / 3600.0;
        if (x < 0)
            degrees = -degrees;
    } else {
        QString t = text;
        int mark = degreeMark;
        const bool negative = t.startsWith(QLatin1Char('-'));
        if (negative) {
            t.remove(0, 1);
            --mark;
        }
        double d = 0;
        if (!leadingInteger(t.left(mark), 0, &d))
            return 0.0;
        double m = 0;
        if (leadingInteger(t, mark + 1, &m) && !(m >= 0 && m < 60))
            m = 0;
        double s = 0;
        if (const int minuteMark = int(t.indexOf(QLatin1Char('\''), mark + 1)); minuteMark >= 0)
            if (!leadingNumber(t, minuteMark + 1, &s) || !(s > 0))
                s = 0;
        degrees = d + m / 60.0 + s / 3600.0;
        if (negative)
            degrees = -degrees;
    }
    for (const char c : {'W', 'w', 'S', 's'})
        if (text.contains(QLatin1Char(c))) {
            degrees = -degrees;
            break;
        }
    return degrees * kRadiansPerDegree;
}

// "a:b" reads as a/b; a bare number N as 1:N.
double CNumEdit::dGetValueRatio1(const QString& text)
{
    const int colon = int(text.indexOf(QLatin1Char(':')));
    if (colon < 0) {
        const double n = dGetValue(text);
        return n == 0 ? HUGE_VAL : 1.0 / n;
    }
    const double a = dGetValue(text.left(colon));
    const double b = dGetValue(text.mid(colon + 1));
    return b == 0 ? HUGE_VAL : a / b;
}

// "a:b" reads as b/a (the shown number is the reciprocal); a bare number N as N:1.
double CNumEdit::dGetValueRatio2(const QString& text)
{
    const int colon = int(text.indexOf(QLatin1Char(':')));
    if (colon < 0) {
        const double n = dGetValue(text);
        return n == 0 ? HUGE_VAL : 1.0 / n;
    }
    const double a = dGetValue(text.left(colon));
    const double b = dGetValue(text.mid(colon + 1));
    return a == 0 ? HUGE_VAL : b / a;
}

double CNumEdit::dGetValuePercent(const QString& text)
{
    if (!text.contains(QLatin1Char('%')))
        return dGetValue(text);
    return dGetValue(text) / 100.0;
}

double CNumEdit::dGetValueChainage(const QString& text)
{
    const int plus = int(text.indexOf(QLatin1Char('+'), 1));
    if (plus < 1)
        return dGetValue(text);
    double k = 0;
    if (!leadingInteger(text.left(plus), 0, &k))
        return dGetValue(text);
    const double m = dGetValue(text.mid(plus + 1));
    return k * 1000.0 + m;
}

double CNumEdit::dGetValueAll(int kind, const QString& text)
{
    switch (kind) {
    case KIND_ANGLE:
    case KIND_ANGLE_INT:
    case KIND_LATITUDE:
    case KIND_LONGITUDE:
    case KIND_ANGLE6:
    case KIND_ANGLE13: return dGetValueR(text);
    case KIND_CHAINAGE: return dGetValueChainage(text);
    case KIND_RATIO1: return dGetValueRatio1(text);
    case KIND_RATIO2: return dGetValueRatio2(text);
    case KIND_PERCENT: return dGetValuePercent(text);
    default: return dGetValue(text);
    }
}

double CNumEdit::GetValue() const { return dGetValue(text()); }
double CNumEdit::dGetValue() const { return dGetValue(text()); }
double CNumEdit::dGetValueR() const { return dGetValueR(text()); }
double CNumEdit::dGetValueRatio1() const { return dGetValueRatio1(text()); }
double CNumEdit::dGetValueRatio2() const { return dGetValueRatio2(text()); }
double CNumEdit::dGetValuePercent() const { return dGetValuePercent(text()); }
double CNumEdit::dGetValueAll() const { return dGetValueAll(m_nKind, text()); }

bool CNumEdit::bCharPasses(int kind, UINT ch, const QString& text, int p, int selStart, int selEnd)
{
    if (kind == KIND_TEXT || ch == VK_BACK)
        return true;
    const QChar c{char16_t(ch)};
    const int n = int(text.size());
    auto isE = [](QChar x) { return x == QLatin1Char('e') || x == QLatin1Char('E'); };
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    if (c == QLatin1Char('-')) {
        if (p > 0 && p <= n && isE(text[p - 1]))
            return true;
        if (p > 0 && selStart == 0 && selEnd == n)
            return true;
        if (p == 0 && (text.isEmpty() || !text.startsWith(QLatin1Char('-')) || (selStart == 0 && selEnd == n)))
            return true;
        return false;
    }
    if (c == QLatin1Char('.')) {
        if (text.contains(QLatin1Char('.')))
            return false;
        for (int i = 0; i < p && i < n; ++i)
            if (isE(text[i]))
                return false;
        return true;
    }
    if (isE(c)) {
        if (p == 0 || (p == 1 && text.startsWith(QLatin1Char('-'))))
            return false;
        return !(text.contains(QLatin1Char('e')) || text.contains(QLatin1Char('E')));
    }
    return !c.isLetter();
}

std::pair<int, int> CNumEdit::Selection() const
{
    if (hasSelectedText()) {
        const int start = selectionStart();
        return {start, start + int(selectedText().size())};
    }
    return {cursorPosition(), cursorPosition()};
}

BOOL CNumEdit::OnChar(UINT nChar)
{
    const auto [start, end] = Selection();
    return bCharPasses(m_nKind, nChar, text(), cursorPosition(), start, end) ? TRUE : FALSE;
}

UINT CNumEdit::CharOfKey(const QKeyEvent* e)
{
    const int key = e->key();
    if ((e->modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return UINT(key - Qt::Key_A + 1);
    if (key == Qt::Key_Backspace)
        return VK_BACK;
    const QString t = e->text();
    return t.isEmpty() ? 0 : UINT(t[0].unicode());
}

void CNumEdit::keyPressEvent(QKeyEvent* e)
{
    const UINT ch = CharOfKey(e);
    if (ch != 0 && !OnChar(ch)) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void CNumEdit::OnLButtonDown(QPoint)
{
    // From the end of the selection to the end of the text, caret in view; the tap itself follows.
    const int from = Selection().second;
    setSelection(from, int(text().size()) - from);
}

void CNumEdit::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        OnLButtonDown(e->position().toPoint());
    QLineEdit::mousePressEvent(e);
}

void CNumEdit::OnSetFocus(QWidget*)
{
    if (text() == kNoValue)
        clear();
}

void CNumEdit::OnKillFocus(QWidget*)
{
    // Free text stays exactly as typed, empty included.
    if (m_nKind == KIND_TEXT)
        return;
    const QString t = text();
    if (t.isEmpty()) {
        setText(kNoValue);
        return;
    }
    if (t == kNoValue || t == QStringLiteral("<计算>") || t == QStringLiteral("<Calcd>"))
        return;
    const double v = dGetValueAll();
    if ((m_nKind == KIND_LATITUDE && std::fabs(v) > kPi / 2) || (m_nKind == KIND_LONGITUDE && std::fabs(v) > kPi)) {
        setText(kNoValue);
        return;
    }
    vSetDoubleVal(v);
}

// The box's own context menu takes Qt's focus for a while but is no focus change to the box: its
// text must not be re-written (nor its selection lost) under the Copy or Paste the user chose.
void CNumEdit::focusInEvent(QFocusEvent* e)
{
    if (e->reason() != Qt::PopupFocusReason)
        OnSetFocus(nullptr);
    QLineEdit::focusInEvent(e);
}

void CNumEdit::focusOutEvent(QFocusEvent* e)
{
    if (e->reason() != Qt::PopupFocusReason)
        OnKillFocus(nullptr);
    QLineEdit::focusOutEvent(e);
}

// A virtual keyboard or a composing input method commits text instead of sending keys; each
// committed character is typed, and filtered, at the caret as a key would be.
void CNumEdit::inputMethodEvent(QInputMethodEvent* e)
{
    const QString committed = e->commitString();
    if (committed.isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(e);
        return;
    }
    QInputMethodEvent rest;
    rest.setCommitString(QString(), e->replacementStart(), e->replacementLength());
    QLineEdit::inputMethodEvent(&rest);
    for (const QChar c : committed)
        if (OnChar(c.unicode()))
            insert(QString(c));
    if (!e->preeditString().isEmpty()) {
        QInputMethodEvent preedit(e->preeditString(), e->attributes());
        QLineEdit::inputMethodEvent(&preedit);
    }
    e->accept();
}
