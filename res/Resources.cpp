#include "Resources.h"
#include "resource.h"

#include <QFile>

static void initResources() { Q_INIT_RESOURCE(stavo); }

namespace res {

void RegisterResources()
{
    initResources();
    RegisterStrings();
    RegisterTemplates();
}

QIcon LoadAppIcon()
{
    initResources();
    return QIcon(QStringLiteral(":/icons/icon128.png"));
}

const std::vector<AcceleratorEntry>& AcceleratorTable()
{
    static const std::vector<AcceleratorEntry> table = {{platform::VK_ESCAPE, ID_APP_ESCAPE}};
    return table;
}

} // namespace res
