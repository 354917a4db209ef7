// What other programs hand the platform: the registry file (any program, or a person, may write it),
// a device request line from a handle to a driver's host, a message posted to a window's mailbox.
// Whatever the bytes, parsing stays within its limits, and a registry that parsed writes itself out
// and reads back the same.

#include "platform/NamedDevice.h"
#include "platform/RegistryStore.h"
#include "platform/RemoteWindow.h"

#include <QByteArray>
#include <QStringList>

#include <cstddef>
#include <cstdint>

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    registry::Store store;
    if (registry::ParseStore(bytes, QStringLiteral("this-boot"), &store)) {
        for (const auto& [folded, key] : store.keys) {
            QStringList names;
            if (!registry::SplitKeyPath(key.path, &names) || names.size() < 2 || !registry::IsRootName(names.front()))
                __builtin_trap();
            for (const auto& [vf, v] : key.values)
                if (v.data.size() > registry::kMaxValueSize || v.name.size() > registry::kMaxValueNameLength
                    || v.type > 11)
                    __builtin_trap();
        }
        const QByteArray once = registry::SerializeStore(store);
        registry::Store again;
        if (!registry::ParseStore(once, QStringLiteral("this-boot"), &again) || registry::SerializeStore(again) != once)
            __builtin_trap();
    }

    const DeviceRequest r = ParseDeviceRequest(bytes);
    if (r.kind != DeviceRequest::Invalid && (DWORD(r.in.size()) > kMaxIoControlSize || r.outSize > kMaxIoControlSize))
        __builtin_trap();
    if (r.kind == DeviceRequest::Invalid && (r.code || r.outSize || r.access || r.share || !r.in.isEmpty()))
        __builtin_trap();

    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    (void)ParsePostedMessage(bytes, &message, &wParam, &lParam);
    return 0;
}
