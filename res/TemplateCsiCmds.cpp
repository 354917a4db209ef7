// Template of the NMEA output page (tab 3).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

platform::DialogTemplate CsiCmdsTemplate()
{
    platform::DialogTemplate t = page(IDD_CSI_CMDS, 158, 138);
    return t;
}

} // namespace res
