#pragma once
// The icon button's simpler sibling: the same drawing, colours, icons, hover and check-box style, flat
// from the start, without a link and with a plain pop-up menu that a click shows under the button.

#include "IconButton.h"
#include "TesselExport.h"

class TESSEL_EXPORT CIconButtonLite : public CIconButton {
public:
    explicit CIconButtonLite(QWidget* parent = nullptr);
    ~CIconButtonLite() override;

    // Loads menu resource nMenu (0 removes it); a click shows it under the button and the chosen
    // command goes to hParent as WM_COMMAND.
    platform::DWORD SetMenu(platform::UINT nMenu, QWidget* hParent, platform::BOOL bRepaint = platform::TRUE);

private:
    // Not part of this button.
    using CIconButton::SetURL;
    using CIconButton::GetURL;
    using CIconButton::vSetCheckBox;
    using CIconButton::vInsertMenu;
    using CIconButton::vRemoveMenu;
    using CIconButton::vModifyMenu;
    using CIconButton::vCheckMenuItem;
    using CIconButton::strGetSelectedMenu;
};
