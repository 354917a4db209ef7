// The registry store: the handheld's call semantics, the built-in value of a machine without the GPS
// power driver, volatile keys across a restart, a damaged file, and writers in several processes.

#include "platform/Registry.h"
#include "platform/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

using namespace platform;

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8()); }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    static HKEY create(const QString& path, DWORD options = 0, DWORD* disposition = nullptr)
    {
        HKEY h = nullptr;
        DWORD d = 0;
        EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, path, 0, QString(), options, KEY_ALL_ACCESS, nullptr, &h, &d), 0);
        if (disposition)
            *disposition = d;
        return h;
    }
    static LONG setDword(HKEY h, const QString& name, DWORD v)
    {
        return RegSetValueEx(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4);
    }
    static QByteArray file()
    {
        QFile f(RegistryFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_home;
};

} // namespace

TEST_F(Registry, ValuesReadAsTheHandheldCallsGiveThem)
{
    HKEY h = create(QStringLiteral("Software\\Test"));
    ASSERT_EQ(setDword(h, QStringLiteral("Count"), 0x01020304), 0);
    const BYTE three[3] = {7, 8, 9};
    ASSERT_EQ(RegSetValueEx(h, QStringLiteral("Short"), 0, REG_BINARY, three, 3), 0);

    struct Case {
        const char* name;
        bool buffer;      // pass a buffer (else only ask the size)
        DWORD capacity;   // its size
        LONG result;
        DWORD size;       // *cbData afterwards
        DWORD type;
    } cases[] = {
        {"Count", true, 4, 0, 4, REG_DWORD},
        {"COUNT", true, 8, 0, 4, REG_DWORD},         // names ignore case
        {"Count", false, 0, 0, 4, REG_DWORD},        // size only
        {"Count", true, 2, LONG(ERROR_MORE_DATA), 4, REG_DWORD}, // too small: nothing copied, size told
        {"Short", true, 4, 0, 3, REG_BINARY},
        {"Missing", true, 4, LONG(ERROR_FILE_NOT_FOUND), 4, 0xEE},
    };
    for (const Case& c : cases) {
        BYTE buf[8];
        std::memset(buf, 0xAA, sizeof buf);
        DWORD size = c.capacity, type = 0xEE;
        EXPECT_EQ(RegQueryValueEx(h, QString::fromLatin1(c.name), nullptr, &type, c.buffer ? buf : nullptr, &size),
                  c.result)
            << c.name << " " << c.capacity;
        EXPECT_EQ(size, c.size) << c.name << " " << c.capacity;
        EXPECT_EQ(type, c.type) << c.name << " " << c.capacity;
        if (c.result != 0 && c.buffer) {
            EXPECT_EQ(buf[0], 0xAA) << c.name; // a failed read leaves the buffer alone
        }
    }
    BYTE buf[4];
    EXPECT_EQ(RegQueryValueEx(h, QStringLiteral("Count"), nullptr, nullptr, buf, nullptr), LONG(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RegCloseKey(h), 0);
    EXPECT_EQ(RegCloseKey(h), LONG(ERROR_INVALID_HANDLE));
    EXPECT_EQ(RegQueryValueEx(h, QStringLiteral("Count"), nullptr, nullptr, nullptr, nullptr), LONG(ERROR_INVALID_HANDLE));
}

TEST_F(Registry, KeysAreCreatedOnceDeletedWithWhatIsBelowAndNamesAreBounded)
{
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\A"), 0, 0, &h), LONG(ERROR_FILE_NOT_FOUND));
    DWORD disposition = 0;
    HKEY a = create(QStringLiteral("Software\\A\\B"), 0, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(create(QStringLiteral("software\\a\\b"), 0, &disposition));
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\A"), 0, 0, &h), 0); // ancestors exist
    EXPECT_EQ(setDword(a, QStringLiteral("v"), 1), 0);
    EXPECT_EQ(RegDeleteKey(h, QString()), LONG(ERROR_INVALID_PARAMETER)); // never the key itself
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\A")), 0);
    // The open handle below the deleted key now finds nothing.
    EXPECT_EQ(RegQueryValueEx(a, QStringLiteral("v"), nullptr, nullptr, nullptr, nullptr), LONG(ERROR_KEY_DELETED));
    EXPECT_EQ(setDword(a, QStringLiteral("v"), 1), LONG(ERROR_KEY_DELETED));
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\A")), LONG(ERROR_FILE_NOT_FOUND));
    RegCloseKey(a);
    RegCloseKey(h);

    const QString longName(registry::kMaxKeyNameLength + 1, QLatin1Char('k'));
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, longName, 0, QString(), 0, 0, nullptr, &h, nullptr),
              LONG(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(RegOpenKeyEx(reinterpret_cast<HKEY>(&h), QString(), 0, 0, &h), LONG(ERROR_INVALID_HANDLE));
}

TEST_F(Registry, WithoutTheDriverTheGpsReadsAsPoweredAndTheFileKeepsOnlyWhatWasWritten)
{
    auto powerStatus = [] {
        HKEY h = nullptr;
        if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Drivers\\BuiltIn\\GPDGPS"), 0, 0, &h) != 0)
            return -1;
        DWORD v = 0xFFFF, size = 4;
        const LONG r = RegQueryValueEx(h, QStringLiteral("POWERSTATUS"), nullptr, nullptr, reinterpret_cast<BYTE*>(&v), &size);
        RegCloseKey(h);
        return r == 0 ? int(v) : -2;
    };
    EXPECT_EQ(powerStatus(), 1);
    EXPECT_FALSE(QFile::exists(RegistryFilePath())); // reading wrote nothing
    HKEY h = create(QStringLiteral("Drivers\\BuiltIn\\GPDGPS"));
    ASSERT_EQ(setDword(h, QStringLiteral("POWERSTATUS"), 0), 0);
    EXPECT_EQ(powerStatus(), 0);
    ASSERT_EQ(RegDeleteValue(h, QStringLiteral("POWERSTATUS")), 0);
    EXPECT_EQ(powerStatus(), 1); // the driver went: the built-in value is back
    EXPECT_FALSE(file().contains("POWERSTATUS"));
    RegCloseKey(h);
}

TEST_F(Registry, VolatileKeysEndWithTheBootAndADamagedFileIsKeptAside)
{
    // The first key under "Software" is a volatile one: "Software" itself, made on the way, is lasting
    // (the handheld's registry has it from the start), so lasting keys can still go beside it.
    RegCloseKey(create(QStringLiteral("Software\\Gone"), REG_OPTION_VOLATILE));
    RegCloseKey(create(QStringLiteral("Software\\Lasting")));
    RegCloseKey(create(QStringLiteral("Software\\Gone\\Child"), REG_OPTION_VOLATILE));
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Gone\\Child"), 0, 0, &h), 0);
    RegCloseKey(h);
    // A lasting key below a volatile one would go with it at the restart, its values lost although
    // every write succeeded: refused.
    for (const char* lasting : {"Software\\Gone\\Lasting", "Software\\Gone\\Child\\Deep\\Lasting"}) {
        DWORD disposition = 0;
        EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, QString::fromLatin1(lasting), 0, QString(), 0, KEY_ALL_ACCESS,
                                 nullptr, &h, &disposition),
                  LONG(ERROR_CHILD_MUST_BE_VOLATILE))
            << lasting;
        EXPECT_EQ(h, nullptr);
        EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QString::fromLatin1(lasting), 0, 0, &h), LONG(ERROR_FILE_NOT_FOUND));
    }

    // The machine restarts: the file names another boot for the volatile key.
    QByteArray text = file();
    ASSERT_FALSE(registry::CurrentBootId().isEmpty());
    text.replace(registry::CurrentBootId().toLatin1(), "another-boot");
    QFile f(RegistryFilePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Gone"), 0, 0, &h), LONG(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Gone\\Child"), 0, 0, &h), LONG(ERROR_FILE_NOT_FOUND));
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Lasting"), 0, 0, &h), 0);

    // Another program leaves a damaged file: it reads as empty, and the next write keeps it aside.
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\"stavo-registry\": 1, \"keys\": [ {\"key\": ");
    f.close();
    EXPECT_EQ(RegQueryValueEx(h, QString(), nullptr, nullptr, nullptr, nullptr), LONG(ERROR_KEY_DELETED));
    RegCloseKey(h);
    RegCloseKey(create(QStringLiteral("Software\\New")));
    QFile kept(RegistryFilePath() + QStringLiteral(".damaged"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll().endsWith("\"key\": "));
    EXPECT_TRUE(file().contains("Software\\\\New"));
}

TEST_F(Registry, WritersInSeveralProcessesLoseNothing)
{
    constexpr int kValues = 40;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const char* prefix : {"a", "b", "c"}) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(REGISTRY_WRITER), {QString::fromLatin1(prefix), QString::number(kValues)});
        writers.push_back(std::move(p));
    }
    HKEY h = create(QStringLiteral("Software\\Race"));
    for (int i = 0; i < kValues; ++i)
        EXPECT_EQ(setDword(h, QStringLiteral("main-%1").arg(i), DWORD(i)), 0);
    for (auto& p : writers) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0);
    }
    for (const char* prefix : {"a", "b", "c", "main"})
        for (int i = 0; i < kValues; ++i) {
            DWORD v = 0xFFFF, size = 4;
            ASSERT_EQ(RegQueryValueEx(h, QStringLiteral("%1-%2").arg(QLatin1String(prefix)).arg(i), nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(&v), &size),
                      0)
                << prefix << i;
            EXPECT_EQ(v, DWORD(i));
        }
    RegCloseKey(h);
}
