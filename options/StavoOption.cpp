#include "StavoOption.h"

#include "res/resource.h"

STAVO_IMPLEMENT_PAGE(CStavoOption)

CStavoOption::CStavoOption() : CMyDialog(IDD_STAVO_OPTION, nullptr, platform::FALSE) {}
