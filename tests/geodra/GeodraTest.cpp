// The time zone kept across runs in the data folder, and the device facts file.

#include "geodra/Geodra.h"

#include "platform/DataFolder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class GeodraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
    }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }
    void writeDataFile(const char* name, const char* text)
    {
        QFile f(platform::DataFile(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(GeodraTest, DefaultsToTheSystemsWholeHourOffset)
{
    const int h = geodra::SystemZoneHours();
    EXPECT_EQ(strGetTimeZoneIndex(), QString::asprintf("%d:00", h));
    EXPECT_EQ(lngGetTimeZoneSec(), long(h) * 3600);
}

TEST_F(GeodraTest, ZoneSetIsReadBackAndKeptInTheDataFolder)
{
    const struct {
        const char* text;
        long seconds;
    } cases[] = {{"8:00", 28800}, {"-11:00", -39600}, {"12:00", 43200}, {"0:00", 0}, {"-5:00", -18000}};
    for (const auto& c : cases) {
        vSetTimeZoneIndex(QString::fromLatin1(c.text));
        EXPECT_EQ(strGetTimeZoneIndex(), QString::fromLatin1(c.text));
        EXPECT_EQ(lngGetTimeZoneSec(), c.seconds);
    }
    QFile f(platform::DataFile(QStringLiteral("timezone")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("-5:00\n"));
}

TEST_F(GeodraTest, TextsThatNameNoZoneChangeNothing)
{
    vSetTimeZoneIndex(QStringLiteral("3:00"));
    for (const char* bad : {"13:00", "-12:00", "8:30", "", "abc", "8", "+99:00", "8:00x"}) {
        vSetTimeZoneIndex(QString::fromLatin1(bad));
        EXPECT_EQ(strGetTimeZoneIndex(), QStringLiteral("3:00")) << bad;
    }
    // A damaged file falls back to the system's zone rather than to garbage.
    writeDataFile("timezone", "\xff\xfe garbage");
    EXPECT_EQ(lngGetTimeZoneSec(), long(geodra::SystemZoneHours()) * 3600);
}

TEST_F(GeodraTest, DeviceFacts)
{
    EXPECT_EQ(nGetPDAType(), 0);
    EXPECT_EQ(nGetLang(), 0);
    writeDataFile("device", "# model\npda=2\nlang = 1\n");
    EXPECT_EQ(nGetPDAType(), 2);
    EXPECT_EQ(nGetLang(), 1);
}
