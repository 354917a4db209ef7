// Template of the receiver parameter page (tab 0).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

platform::DialogTemplate GpsStatusTemplate()
{
    platform::DialogTemplate t = page(IDD_GPS_STATUS, 158, 137);
    return t;
}

} // namespace res
