#pragma once
// The program's numbered strings. The resource folder registers them at start; code loads them by
// number, as every text the user sees is referred to by its number.

#include "WinTypes.h"

#include <QString>

namespace platform {

void AddString(UINT id, const char* utf8);
// The string, or an empty one when the number is unknown.
QString LoadString(UINT id);
bool HasString(UINT id);

} // namespace platform
