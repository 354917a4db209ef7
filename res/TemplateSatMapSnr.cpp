// Template of the sky plot and SNR chart page (tab 1).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

platform::DialogTemplate SatMapSnrTemplate()
{
    platform::DialogTemplate t = page(IDD_SAT_MAP_SNR, 158, 140);
    return t;
}

} // namespace res
