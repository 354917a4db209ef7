// Template of the satellite status list page (tab 2).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

platform::DialogTemplate SatChartTemplate()
{
    platform::DialogTemplate t = page(IDD_SAT_CHART, 148, 172);
    return t;
}

} // namespace res
