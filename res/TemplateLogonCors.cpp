// Template of the CORS page (tab 4).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

platform::DialogTemplate LogonCorsTemplate()
{
    platform::DialogTemplate t = page(IDD_LOGON_CORS, 158, 140);
    return t;
}

} // namespace res
