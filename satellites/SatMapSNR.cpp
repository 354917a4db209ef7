#include "SatMapSNR.h"

#include "res/resource.h"

STAVO_IMPLEMENT_PAGE(CSatMapSNR)

CSatMapSNR::CSatMapSNR() : CMyDialog(IDD_SAT_MAP_SNR, nullptr, platform::FALSE) {}
