// Writes values <prefix>-0 .. <prefix>-(n-1) into HKEY_LOCAL_MACHINE\Software\Race, one write each,
// for the registry test's writers in several processes. Exit code: the number of failed writes.

#include "platform/Registry.h"

#include <QCoreApplication>

using namespace platform;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 100;
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const int n = QString::fromLocal8Bit(argv[2]).toInt();
    int failed = 0;
    for (int i = 0; i < n; ++i) {
        HKEY h = nullptr;
        if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Race"), 0, QString(), 0, KEY_ALL_ACCESS,
                           nullptr, &h, nullptr)
            != 0) {
            ++failed;
            continue;
        }
        const DWORD v = DWORD(i);
        failed += RegSetValueEx(h, QStringLiteral("%1-%2").arg(prefix).arg(i), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&v), 4)
                  != 0;
        RegCloseKey(h);
    }
    return failed;
}
