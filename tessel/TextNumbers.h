#pragma once
// Numbers at the start of a text as the handheld's C library reads them (leading blanks, a sign,
// then as many digits as there are), independent of the process locale: a settings file written
// with "." must read back under a locale whose decimal point is ",". Internal to the library.

#include <QStringView>

namespace textnumbers {

// Integers saturate at the type's limits instead of wrapping.
int LeadingInt(QStringView text);
long LeadingLong(QStringView text);
// Decimal form only ("nan", "inf" and hex give 0, as on the handheld); 0 when the text starts with
// no number; overflow gives plus or minus infinity.
double LeadingDouble(QStringView text);
// "%.<decimals>f" with "." whatever the locale.
QString Fixed(double value, int decimals);

} // namespace textnumbers
