#include "NmeaFields.h"

#include <charconv>
#include <type_traits>
#include <cmath>
#include <cstring>

namespace wirra {

namespace {
int Hex(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
} // namespace

bool NmeaFields::Split(const char* sentence)
{
    return sentence && Split(sentence, std::strlen(sentence));
}

bool NmeaFields::Split(const char* s, std::size_t n)
{
    m_count = 0;
    while (n > 0 && (s[n - 1] == '\r' || s[n - 1] == '\n'))
        --n;
    if (n < 2 || s[0] != '$')
        return false;
    std::size_t end = n;
    if (n >= 3 && s[n - 3] == '*') {
        const int hi = Hex(s[n - 2]), lo = Hex(s[n - 1]);
        unsigned x = 0;
        for (std::size_t i = 1; i < n - 3; ++i)
            x ^= static_cast<unsigned char>(s[i]);
        if (hi < 0 || lo < 0 || unsigned(hi * 16 + lo) != x)
            return false;
        end = n - 3;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= end; ++i) {
        if (i == end || s[i] == ',') {
            if (m_count == kMaxFields)
                return false;
            m_fields[m_count++] = std::string_view(s + start, i - start);
            start = i + 1;
        }
    }
    return true;
}

std::string_view NmeaFields::Name() const
{
    const std::string_view a = Field(0);
    return a.size() == 6 ? a.substr(3) : std::string_view();
}

namespace {
// A whole field as a number: an optional '+', then digits the parser takes to the field's end.
template <class T, class... Format> bool ParseNumber(std::string_view f, T* out, Format... format)
{
    if (f.empty())
        return false;
    const char* b = f.data();
    const char* e = b + f.size();
    if (*b == '+')
        ++b;
    T v = 0;
    const auto r = std::from_chars(b, e, v, format...);
    if (r.ec != std::errc() || r.ptr != e)
        return false;
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(v))
            return false;
    *out = v;
    return true;
}
} // namespace

bool NmeaFields::Double(std::size_t i, double* out) const
{
    return ParseNumber(Field(i), out, std::chars_format::fixed);
}

bool NmeaFields::Int(std::size_t i, long* out) const { return ParseNumber(Field(i), out); }

bool NmeaFields::Angle(std::size_t i, bool latitude, double* degrees) const
{
    double raw = 0;
    if (!Double(i, &raw) || raw < 0)
        return false;
    const double whole = std::floor(raw / 100.0);
    const double minutes = raw - whole * 100.0;
    if (minutes >= 60.0)
        return false;
    double d = whole + minutes / 60.0;
    if (d > (latitude ? 90.0 : 180.0))
        return false;
    const std::string_view h = Field(i + 1);
    if (h.size() != 1)
        return false;
    const char c = h[0];
    if (latitude ? (c != 'N' && c != 'S') : (c != 'E' && c != 'W'))
        return false;
    if (c == 'S' || c == 'W')
        d = -d;
    *degrees = d;
    return true;
}

bool NmeaFields::TimeOfDay(std::size_t i, double* seconds) const
{
    double raw = 0;
    if (!Double(i, &raw) || raw < 0 || Field(i).size() < 6)
        return false;
    const double hh = std::floor(raw / 10000.0);
    const double mm = std::floor((raw - hh * 10000.0) / 100.0);
    const double ss = raw - hh * 10000.0 - mm * 100.0;
    if (hh > 23 || mm > 59 || ss >= 61.0) // 60 is a leap second
        return false;
    *seconds = hh * 3600.0 + mm * 60.0 + ss;
    return true;
}

} // namespace wirra
