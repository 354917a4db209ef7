// A caster's answer to a login, and the requests built from texts a caster or a file supplied.
#include "cors/NtripText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const QString text = cors::CasterText(bytes, int(size));
    if (text.contains(QChar(0)))
        std::abort(); // the text ends at the first zero byte
    const cors::CasterReply r = cors::ClassifyCasterReply(text);
    if ((r == cors::CasterReply::Refused) != text.contains(QLatin1String("401 Unauthorized")))
        std::abort();
    // Whatever the names hold, a request without control characters in them has exactly its own lines.
    const qsizetype third = text.size() / 3;
    const QString mount = text.left(third), user = text.mid(third, third), password = text.mid(2 * third);
    if (!cors::HasControlCharacter(mount) && !cors::HasControlCharacter(user)) {
        const QString request = cors::BuildMountPointRequest(mount, user, password);
        if (request.count(QLatin1String("\r\n")) != 5 || !request.endsWith(QLatin1String("\r\n\r\n")))
            std::abort();
    }
    return 0;
}
