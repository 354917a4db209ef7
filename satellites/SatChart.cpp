#include "SatChart.h"

#include "res/resource.h"

STAVO_IMPLEMENT_PAGE(CSatChart)

CSatChart::CSatChart() : CMyDialog(IDD_SAT_CHART, nullptr, platform::FALSE) {}
