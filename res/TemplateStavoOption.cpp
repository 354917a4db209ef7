// Template of the options page (tab 5).

#include "Resources.h"
#include "TemplateBuilders.h"
#include "resource.h"

namespace res {

platform::DialogTemplate StavoOptionTemplate()
{
    platform::DialogTemplate t = page(IDD_STAVO_OPTION, 158, 145);
    return t;
}

} // namespace res
