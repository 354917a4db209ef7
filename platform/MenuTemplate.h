#pragma once
// Menu resources as data: a numbered pop-up menu is a list of items, each a command id with its text
// (id 0 and no text make a separator).

#include "WinTypes.h"

#include <QString>

#include <vector>

namespace platform {

struct MenuItemTemplate {
    UINT id = 0;
    QString text;
};

void AddMenuTemplate(UINT id, std::vector<MenuItemTemplate> items);
// The items of menu id, or null when there is no such menu.
const std::vector<MenuItemTemplate>* FindMenuTemplate(UINT id);

} // namespace platform
