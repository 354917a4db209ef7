// Settings files written by the three layouts and read back, byte layout, item lookup by
// containment, and files that do not open.

#include "TesselTestSupport.h"

#include <tessel/IniFile.h>

#include <platform/CodePage.h>
#include <platform/MessageBox.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;
using tesseltest::ReadAll;
using tesseltest::WriteAll;

TEST(IniFile, HpLayoutBytesAndReadBack)
{
    QTemporaryDir dir;
    CIniFile ini;
    ASSERT_TRUE(ini.CreateHPIniFile(dir.path(), QStringLiteral("hp.ini"), 1, 2, 9600, 3));
    EXPECT_TRUE(ini.IsOpen()); // left open until closed
    ini.CloseIniFile();
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("hp.ini"))),
              QByteArray("\r\n[System Par]\r\nRxPort = 1\r\nTxPort = 2\r\nBaud = 9600\r\nGPSType = 3\r\n"));

    int rx = -1, tx = -1, baud = -1, type = -1;
    ASSERT_TRUE(ini.ReadHPIniFile(dir.path(), QStringLiteral("hp.ini"), rx, tx, baud, type));
    EXPECT_EQ(rx, 1);
    EXPECT_EQ(tx, 2);
    EXPECT_EQ(baud, 9600);
    EXPECT_EQ(type, 3);
    // "Port" is in both keys: the first in the file wins.
    int port = 0;
    EXPECT_TRUE(ini.GetItemInt(QStringLiteral("System Par"), QStringLiteral("Port"), port));
    EXPECT_EQ(port, 1);
}

TEST(IniFile, SetupAndNewLayoutsRoundTripUnderBothCodePages)
{
    QTemporaryDir dir;
    for (int cp : {936, 65001}) {
        SetAnsiCodePage(cp);
        CIniFile ini;
        ASSERT_TRUE(ini.CreateSetupIniFile(dir.path(), QStringLiteral("setup.ini"), 30, 5, 1, 6, 42.25f, 15, 3.5f, 2));
        ASSERT_TRUE(ini.CreateNewIniFile(dir.path(), QStringLiteral("new.ini"), QStringLiteral("测区 A = 北"), 3, 4,
                                         5, 1)); // the second open closes the first file
        ini.CloseIniFile();
        const QByteArray setup = ReadAll(dir.filePath(QStringLiteral("setup.ini")));
        EXPECT_TRUE(setup.contains("\r\nPDOP = 3.500\r\n")) << setup.toStdString();
        EXPECT_TRUE(setup.contains("\r\nSNR = 42.250\r\n"));

        int init = 0, pt = 0, freq = 0, sats = 0, lock = 0, qc = 0;
        float snr = 0, pdop = 0;
        ASSERT_TRUE(ini.ReadSetupIniFile(dir.path(), QStringLiteral("setup.ini"), init, pt, freq, sats, snr, lock, pdop, qc));
        EXPECT_EQ(std::make_tuple(init, pt, freq, sats, lock, qc), std::make_tuple(30, 5, 1, 6, 15, 2));
        EXPECT_FLOAT_EQ(snr, 42.25f);
        EXPECT_FLOAT_EQ(pdop, 3.5f);

        QString job;
        int type = 0, rx = 0, tx = 0, screen = 0;
        ASSERT_TRUE(ini.ReadIniFile(dir.path(), QStringLiteral("new.ini"), job, type, rx, tx, screen));
        EXPECT_EQ(job, QStringLiteral("测区 A = 北")) << cp; // everything after the first "="
        EXPECT_EQ(std::make_tuple(type, rx, tx, screen), std::make_tuple(3, 4, 5, 1));
        ini.CloseIniFile();
    }
    SetAnsiCodePage(0);
}

TEST(IniFile, ItemLookupRules)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rules.ini"));
    WriteAll(path, "Head = before\r\n"
                   "[Other]\r\n"
                   "Value = other\r\n"
                   "[System Par]\r\n"
                   "= nameless\r\n"
                   "[Marker] = 7\r\n"
                   "no equals here\r\n"
                   "  Value  =   spaced out   \r\n"
                   "Precise = 0.123456789012\r\n"
                   "Lead = 12abc\r\n"
                   "[Later]\r\n"
                   "Tail = 9\r\n");
    CIniFile ini;
    ini.SetPathName(path);
    EXPECT_EQ(ini.GetPathName(), path);
    ASSERT_TRUE(ini.OpenIniFileForRead());
    struct Case {
        const char* section;
        const char* key;
        bool found;
        QString value;
    } cases[] = {
        {"System Par", "Value", true, QStringLiteral("spaced out")}, // after the section only, trimmed
        {"Other", "Value", true, QStringLiteral("other")},
        {"System Par", "Tail", true, QStringLiteral("9")}, // later sections are searched too
        {"System Par", "Head", false, {}},                 // only after the section
        {"System Par", "Marker", false, {}},               // lines with "[" are no items
        {"System Par", "nameless", false, {}},             // nothing before "="
        {"Missing", "Value", false, {}},
    };
    for (const Case& c : cases) {
        QString value = QStringLiteral("untouched");
        EXPECT_EQ(bool(ini.GetItemString(QString::fromLatin1(c.section), QString::fromLatin1(c.key), value)), c.found)
            << c.section << "/" << c.key;
        EXPECT_EQ(value, c.found ? c.value : QStringLiteral("untouched")) << c.key;
    }
    double precise = 0;
    EXPECT_TRUE(ini.GetItemDouble(QStringLiteral("System Par"), QStringLiteral("Precise"), precise));
    EXPECT_DOUBLE_EQ(precise, 0.123456789012);
    int lead = 0;
    float leadF = 0;
    EXPECT_TRUE(ini.GetItemInt(QStringLiteral("System Par"), QStringLiteral("Lead"), lead));
    EXPECT_TRUE(ini.GetItemFloat(QStringLiteral("System Par"), QStringLiteral("Lead"), leadF));
    EXPECT_EQ(lead, 12);
    EXPECT_EQ(leadF, 12.0f);
}

TEST(IniFile, WritingNeedsAnOpenFileAndAFailedOpenIsShown)
{
    SetMessageBoxResponder([](const MessageBoxCall& c) { return DefaultMessageBoxResult(c.type); });
    ClearMessageBoxLog();
    QTemporaryDir dir;
    CIniFile ini;
    EXPECT_FALSE(ini.WriteItemInt(QStringLiteral("A"), 1));
    EXPECT_FALSE(ini.WriteSection(QStringLiteral("S")));
    int port = 5;
    EXPECT_FALSE(ini.GetItemInt(QStringLiteral("S"), QStringLiteral("A"), port));
    EXPECT_EQ(port, 5);

    // Reading a missing file says nothing; writing into a missing folder tells the user.
    int rx = 7, tx = 7, baud = 7, type = 7;
    EXPECT_FALSE(ini.ReadHPIniFile(dir.filePath(QStringLiteral("none")), QStringLiteral("x.ini"), rx, tx, baud, type));
    EXPECT_EQ(rx, 7);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    EXPECT_FALSE(ini.ReadHPIniFile(dir.path(), QStringLiteral("folder.ini"), rx, tx, baud, type));
    EXPECT_FALSE(ini.IsOpen());
    EXPECT_TRUE(MessageBoxLog().empty());
    EXPECT_FALSE(ini.CreateHPIniFile(dir.filePath(QStringLiteral("none")), QStringLiteral("x.ini"), 1, 2, 3, 4));
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("打开文件出错！"));
    SetMessageBoxResponder(nullptr);

    // A path without a folder is a name in the current folder; one in the root keeps its "/".
    ini.SetPathName(QStringLiteral("plain.ini"));
    EXPECT_EQ(ini.GetPathName(), QStringLiteral("plain.ini"));
    ini.SetPathName(QStringLiteral("/top.ini"));
    EXPECT_EQ(ini.GetPathName(), QStringLiteral("/top.ini"));
    ini.SetPathName(QString(), QStringLiteral("only.ini"));
    EXPECT_EQ(ini.GetPathName(), QStringLiteral("only.ini"));
}
