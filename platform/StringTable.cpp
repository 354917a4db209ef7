#include "StringTable.h"

#include <map>

namespace platform {

namespace {
std::map<UINT, QString>& table()
{
    static std::map<UINT, QString> t;
    return t;
}
} // namespace

void AddString(UINT id, const char* utf8) { table()[id] = QString::fromUtf8(utf8); }

QString LoadString(UINT id)
{
    const auto it = table().find(id);
    return it == table().end() ? QString() : it->second;
}

bool HasString(UINT id) { return table().count(id) > 0; }

} // namespace platform
