// Tessel's registry functions and CRegEdit over the platform's registry: defaults, result codes,
// short and overlong values, names at and beyond the 259-character limit.

#include <tessel/RegEdit.h>

#include <platform/CodePage.h>
#include <platform/Registry.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

using namespace platform;

namespace {

class RegEdit : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8()); }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    // Writes raw bytes as the given type under HKEY_LOCAL_MACHINE\key.
    static void put(const QString& key, const QString& name, DWORD type, const QByteArray& bytes)
    {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, key, 0, QString(), 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), 0);
        ASSERT_EQ(RegSetValueEx(h, name, 0, type, reinterpret_cast<const BYTE*>(bytes.constData()), DWORD(bytes.size())), 0);
        RegCloseKey(h);
    }
    static QByteArray get(const QString& key, const QString& name, DWORD* type)
    {
        HKEY h = nullptr;
        if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key, 0, 0, &h) != 0)
            return "no key";
        QByteArray b(1024, '\0');
        DWORD size = DWORD(b.size());
        const LONG r = RegQueryValueEx(h, name, nullptr, type, reinterpret_cast<BYTE*>(b.data()), &size);
        RegCloseKey(h);
        return r == 0 ? b.left(int(size)) : QByteArray("no value");
    }
    QTemporaryDir m_home;
};

const std::u16string kLong259(259, u'n');
const std::u16string kLong260(260, u'n');

} // namespace

TEST_F(RegEdit, ReadDwordGivesTheFirstFourBytesOrTheDefault)
{
    put(QStringLiteral("Software\\T"), QStringLiteral("four"), REG_DWORD, QByteArray("\x04\x03\x02\x01", 4));
    put(QStringLiteral("Software\\T"), QStringLiteral("two"), REG_BINARY, QByteArray("\x34\x12", 2));
    put(QStringLiteral("Software\\T"), QStringLiteral("five"), REG_BINARY, QByteArray("\x01\x02\x03\x04\x05", 5));
    put(QStringLiteral("Software\\T"), QStringLiteral("text"), REG_SZ, QByteArray("A\0\0\0", 4));
    struct Case {
        const char16_t* key;
        const char16_t* name;
        DWORD want;
    } cases[] = {
        {u"Software\\T", u"four", 0x01020304},
        {u"Software\\T", u"TWO", 0x1234},          // a short value, zero-extended (not stack garbage)
        {u"Software\\T", u"text", 0x41},           // the type is not looked at
        {u"Software\\T", u"five", 77},             // longer than four bytes
        {u"Software\\T", u"missing", 77},
        {u"Software\\Missing", u"four", 77},
        {u"Software\\T", u"", 77},
        {u"", u"four", 77},
        {nullptr, u"four", 77},
        {u"Software\\T", nullptr, 77},
        {u"Software\\T", kLong260.c_str(), 77},    // refused before any buffer is filled
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadDWORD(HKEY_LOCAL_MACHINE, c.key, c.name, 77), c.want)
            << (c.name ? QString::fromUtf16(c.name).left(20).toStdString() : "(null)");
}

TEST_F(RegEdit, SaversCreateTheKeyAndWriteWhatTheReadersGiveBack)
{
    EXPECT_TRUE(SaveDWORD(HKEY_LOCAL_MACHINE, u"Software\\New\\Deep", kLong259.c_str(), 0xCAFE));
    EXPECT_EQ(ReadDWORD(HKEY_LOCAL_MACHINE, u"Software\\New\\Deep", kLong259.c_str(), 0), 0xCAFEu);
    DWORD type = 0;
    EXPECT_EQ(get(QStringLiteral("Software\\New\\Deep"), QString::fromStdU16String(kLong259), &type),
              QByteArray("\xFE\xCA\0\0", 4));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_FALSE(SaveDWORD(HKEY_LOCAL_MACHINE, u"Software\\New", kLong260.c_str(), 1));
    EXPECT_FALSE(SaveDWORD(HKEY_LOCAL_MACHINE, u"Software\\New", u"", 1));
    EXPECT_FALSE(SaveString(HKEY_LOCAL_MACHINE, u"Software\\New", u"s", nullptr));

    EXPECT_TRUE(SaveString(HKEY_LOCAL_MACHINE, u"Software\\S", u"name", u"设置"));
    EXPECT_EQ(get(QStringLiteral("Software\\S"), QStringLiteral("name"), &type), QByteArray("\xBE\x8B\x6E\x7F\0\0", 6));
    EXPECT_EQ(type, REG_SZ);
    WCHAR fallback[] = u"default";
    WCHAR* s = ReadString(HKEY_LOCAL_MACHINE, u"Software\\S", u"name", fallback);
    ASSERT_NE(s, fallback);
    EXPECT_EQ(std::u16string(s), u"设置");
    delete[] s;
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, u"Software\\S", u"missing", fallback), fallback); // the very pointer
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, u"Software\\S", nullptr, fallback), fallback);
    // Seven bytes without a terminator still come back terminated.
    put(QStringLiteral("Software\\S"), QStringLiteral("odd"), REG_SZ, QByteArray("a\0b\0c\0d", 7));
    s = ReadString(HKEY_LOCAL_MACHINE, u"Software\\S", u"odd", fallback);
    EXPECT_EQ(std::u16string(s), std::u16string(u"abc") + char16_t('d'));
    delete[] s;
}

TEST_F(RegEdit, ARegEditHoldsOneKeyAndReadsOnlyTheBytesThatWereThere)
{
    CRegEdit r;
    EXPECT_EQ(r.RegWrite(u"x", u"y"), LONG(ERROR_INVALID_HANDLE)); // no key open
    EXPECT_EQ(r.RegOpen(HKEY_LOCAL_MACHINE, u"Software\\Fresh"), 2);
    QFile f(RegistryFilePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("\"volatile\"")); // created with option 1: gone after a restart
    // A lasting key cannot live below it (it would go too): the writer fails instead of losing the value.
    EXPECT_FALSE(SaveDWORD(HKEY_LOCAL_MACHINE, u"Software\\Fresh\\Sub", u"v", 1));
    EXPECT_TRUE(SaveDWORD(HKEY_LOCAL_MACHINE, u"Software\\Fresh", u"v", 1)); // in the key itself: as volatile as it
    EXPECT_EQ(r.RegOpen(HKEY_LOCAL_MACHINE, u"Software\\Fresh"), 1);
    EXPECT_EQ(r.RegOpen(HKEY_LOCAL_MACHINE, kLong260.c_str()), 0);
    EXPECT_EQ(r.m_hKey, nullptr);
    ASSERT_EQ(r.RegOpen(HKEY_LOCAL_MACHINE, u"Software\\Fresh"), 1);

    EXPECT_EQ(r.RegWrite(u"wide", u"北京 Beijing"), 0);
    EXPECT_EQ(r.RegWriteDword(u"dword", 5), 0);
    EXPECT_EQ(r.RegWrite(kLong260.c_str(), u"y"), LONG(ERROR_INVALID_PARAMETER));
    put(QStringLiteral("Software\\Fresh"), QStringLiteral("full"), REG_BINARY, QByteArray(200, 'x'));
    put(QStringLiteral("Software\\Fresh"), QStringLiteral("over"), REG_BINARY, QByteArray(201, 'x'));
    put(QStringLiteral("Software\\Fresh"), QStringLiteral("ansi"), REG_BINARY, QByteArray("\xE5\x8C\x97\0junk", 8));

    struct Case {
        const char16_t* name;
        bool wide;
        LONG result;
        QString text;
    } cases[] = {
        {u"full", false, 0, QString(200, QLatin1Char('x'))}, // 200 bytes, no terminator: exactly those
        {u"over", false, LONG(ERROR_MORE_DATA), QString()},
        {u"ansi", false, 0, QStringLiteral("北")},            // up to the terminator
        {u"wide", true, 0, QStringLiteral("北京 Beijing")},
        {u"missing", true, LONG(ERROR_FILE_NOT_FOUND), QString()},
        {u"full", true, 0, QString(100, QChar(0x7878))},      // the same bytes taken as UTF-16
    };
    for (const Case& c : cases) {
        QString out = QStringLiteral("old");
        EXPECT_EQ(c.wide ? r.RegReadWchar(c.name, out) : r.RegRead(c.name, out), c.result)
            << QString::fromUtf16(c.name).toStdString();
        EXPECT_EQ(out, c.text) << QString::fromUtf16(c.name).toStdString();
    }
    EXPECT_EQ(ReadDWORD(HKEY_LOCAL_MACHINE, u"Software\\Fresh", u"dword", 0), 5u);

    // 8-bit text is read in the system's code page, not in whatever the process locale is.
    put(QStringLiteral("Software\\Fresh"), QStringLiteral("gbk"), REG_BINARY, QByteArray("\xB1\xB1\xBE\xA9\0", 5));
    SetAnsiCodePage(936);
    QString gbk;
    const LONG gbkResult = r.RegRead(u"gbk", gbk);
    SetAnsiCodePage(0);
    EXPECT_EQ(gbkResult, 0);
    EXPECT_EQ(gbk, QStringLiteral("北京"));

    r.RegClose();
    EXPECT_TRUE(r.RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Fresh"));
    EXPECT_FALSE(r.RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Fresh"));
    EXPECT_FALSE(r.RegDeleteKeyW(HKEY_LOCAL_MACHINE, nullptr));
}
