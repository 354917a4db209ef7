// Settings files the user may have edited or damaged: every lookup of every layout must return
// found or not found, never crash or hang, and a value found must be a part of the file's text.

#include "tessel/IniFile.h"

#include <platform/CodePage.h>

#include <QStringDecoder>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 64 * 1024)
        return 0;
    static QTemporaryDir dir;
    if (!dir.isValid())
        return 0;
    platform::SetAnsiCodePage(platform::CP_UTF8);
    const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
    if (FILE* f = std::fopen(path.toLocal8Bit().constData(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    // Only valid UTF-8 decodes the same whole and line by line.
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    const bool comparable = !decoder.hasError();

    CIniFile ini;
    int a = 0, b = 0, c = 0, d = 0, e = 0, g = 0;
    float f1 = 0, f2 = 0;
    QString job;
    ini.ReadIniFile(dir.path(), QStringLiteral("fuzz.ini"), job, a, b, c, d);
    ini.ReadHPIniFile(dir.path(), QStringLiteral("fuzz.ini"), a, b, c, d);
    ini.ReadSetupIniFile(dir.path(), QStringLiteral("fuzz.ini"), a, b, c, d, f1, e, f2, g);
    QString value;
    if (ini.GetItemString(QStringLiteral("System Par"), QStringLiteral("Port"), value) && comparable &&
        !text.contains(value))
        __builtin_trap();
    double dbl = 0;
    ini.GetItemDouble(QStringLiteral("["), QStringLiteral("="), dbl);
    ini.CloseIniFile();
    return 0;
}
