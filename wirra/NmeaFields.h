#pragma once
// Splits one NMEA sentence into its comma-separated fields without copying, and reads numbers from
// them strictly (a field is a number only if all of it is). Field 0 is the address ("$GPGGA").

#include <cstddef>
#include <string_view>

namespace wirra {

class NmeaFields {
public:
    static constexpr std::size_t kMaxFields = 40;

    // Checks the checksum when the sentence carries one; false for a wrong one or an unusable text.
    bool Split(const char* sentence);
    bool Split(const char* sentence, std::size_t n);

    std::size_t Count() const { return m_count; }
    std::string_view Field(std::size_t i) const { return i < m_count ? m_fields[i] : std::string_view(); }
    bool Empty(std::size_t i) const { return Field(i).empty(); }
    // The three-letter sentence name after the talker ("GGA"), empty when the address is too short.
    std::string_view Name() const;

    bool Double(std::size_t i, double* out) const;
    bool Int(std::size_t i, long* out) const;
    // ddmm.mmmm / dddmm.mmmm with its hemisphere letter in field i + 1; degrees, signed.
    bool Angle(std::size_t i, bool latitude, double* degrees) const;
    // hhmmss[.ss] as seconds of the day.
    bool TimeOfDay(std::size_t i, double* seconds) const;

private:
    std::string_view m_fields[kMaxFields];
    std::size_t m_count = 0;
};

} // namespace wirra
