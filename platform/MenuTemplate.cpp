#include "MenuTemplate.h"

#include <map>

namespace platform {

namespace {
std::map<UINT, std::vector<MenuItemTemplate>>& menus()
{
    static std::map<UINT, std::vector<MenuItemTemplate>> m;
    return m;
}
} // namespace

void AddMenuTemplate(UINT id, std::vector<MenuItemTemplate> items) { menus()[id] = std::move(items); }

const std::vector<MenuItemTemplate>* FindMenuTemplate(UINT id)
{
    const auto it = menus().find(id);
    return it == menus().end() ? nullptr : &it->second;
}

} // namespace platform
