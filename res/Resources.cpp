#include "Resources.h"
#include "resource.h"

#include "platform/GdiObjects.h"

#include <QFile>

static void initResources() { Q_INIT_RESOURCE(stavo); }

namespace res {

void RegisterResources()
{
    initResources();
    RegisterStrings();
    RegisterTemplates();
    RegisterImages();
}

void RegisterImages()
{
    initResources();
    const struct {
        platform::UINT id;
        const char* path;
    } images[] = {
        {IDI_GPS_POWERED, ":/icons/icon142.png"},
        {IDI_SET, ":/icons/icon143.png"},
        {IDI_REFRESH, ":/icons/icon144.png"},
        {IDI_GPS_UNPOWERED, ":/icons/icon145.png"},
        {IDI_EXIT, ":/icons/icon146.png"},
    };
    for (const auto& i : images)
        platform::AddImageResource(i.id, QString::fromLatin1(i.path));
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
