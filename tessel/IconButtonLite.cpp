#include "IconButtonLite.h"

using namespace platform;

CIconButtonLite::CIconButtonLite(QWidget* parent) : CIconButton(parent) { m_bIsFlat = true; }

CIconButtonLite::~CIconButtonLite() = default;

DWORD CIconButtonLite::SetMenu(UINT nMenu, QWidget* hParent, BOOL bRepaint)
{
    return CIconButton::SetMenu(nMenu, hParent, bRepaint);
}
