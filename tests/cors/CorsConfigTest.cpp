// Config.xml through the configuration operations: the empty file and the first login byte for byte,
// known and new casters and users, and a file that cannot be used, which is kept aside.

#include "cors/CorsConfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cors;

namespace {

QByteArray Lines(std::initializer_list<const char*> lines)
{
    QByteArray s;
    for (const char* l : lines)
        s += QByteArray(l) + "\r\n";
    return s;
}

const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const char* kRoot = "<CORSConfig xmlns=\"urn:stavo:cors\" version=\"1001\">";

QByteArray EmptyFile()
{
    return Lines({kDecl, kRoot, "<ConfigInformation>", "<DataCenterAddress>NULL</DataCenterAddress>",
                  "<ServerPort>NULL</ServerPort>", "<DataSourceList LastSource=\"NULL\"/>", "<UserName LastUser=\"NULL\"/>",
                  "</ConfigInformation>", "</CORSConfig>"});
}

class CorsConfigTest : public ::testing::Test {
protected:
    QByteArray File() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
    void Write(const QByteArray& bytes) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString path() const { return m_dir.filePath(QStringLiteral("Config.xml")); }
    static AcceptedLogin Login(const char* address, unsigned port, const char* source, const char* user,
                               QStringList sources)
    {
        return {QString::fromUtf8(address), port, QString::fromUtf8(source), QString::fromUtf8(user), sources};
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(CorsConfigTest, FirstStartWritesTheNineLineFileAndAFirstLoginTheFourteenLineOne)
{
    CCorsConfig c(path());
    EXPECT_TRUE(c.Load().isEmpty());
    EXPECT_EQ(File(), EmptyFile());
    EXPECT_FALSE(File().startsWith("\xEF\xBB\xBF"));

    ASSERT_TRUE(c.SaveAcceptedLogin(Login("A", 2101, "M1", "U", {"M1", "M2"})));
    EXPECT_EQ(File(), Lines({kDecl, kRoot, "<ConfigInformation>", "<DataCenterAddress>A</DataCenterAddress>",
                             "<ServerPort>2101</ServerPort>", "<DataSourceList LastSource=\"M1\">", "<Item>M1</Item>",
                             "<Item>M2</Item>", "</DataSourceList>", "<UserName LastUser=\"U\">", "<Item>U</Item>",
                             "</UserName>", "</ConfigInformation>", "</CORSConfig>"}));

    CCorsConfig again(path());
    EXPECT_EQ(again.Load(), QStringList{QStringLiteral("A")});
    EXPECT_TRUE(again.MovedAside().isEmpty());
}

TEST_F(CorsConfigTest, LoginsUpdateKnownCastersAndAddNewOnes)
{
    CCorsConfig c(path());
    c.Load();
    // Each step: the login, then what the stored casters read back as.
    struct Step {
        AcceptedLogin login;
        std::vector<DataCentre> want;
    };
    const DataCentre a1{"A", "2101", "M1", {"M1", "M2"}, "U", {"U"}};
    const DataCentre a2{"A", "2102", "M2", {"M2", "M3"}, "V", {"U", "V"}};
    const DataCentre a3{"A", "2102", "M3", {}, "U", {"U", "V"}}; // known user: nothing added; empty list stored
    const DataCentre lower{"a", "9", "X", {"X"}, "W", {"W"}};    // differs only in case: a caster of its own
    const Step steps[] = {
        {Login("A", 2101, "M1", "U", {"M1", "M2"}), {a1}},
        {Login("A", 2102, "M2", "V", {"M2", "M3"}), {a2}},
        {Login("A", 2102, "M3", "U", {}), {a3}},
        {Login("a", 9, "X", "W", {"X"}), {a3, lower}},
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(c.SaveAcceptedLogin(s.login));
        CCorsConfig reread(path());
        ASSERT_EQ(reread.Load().size(), qsizetype(s.want.size())) << File().toStdString();
        for (std::size_t i = 0; i < s.want.size(); ++i) {
            DataCentre got;
            ASSERT_TRUE(reread.Read(int(i), &got));
            const DataCentre& w = s.want[i];
            EXPECT_EQ(got.address, w.address);
            EXPECT_EQ(got.port, w.port);
            EXPECT_EQ(got.lastSource, w.lastSource);
            EXPECT_EQ(got.sources, w.sources);
            EXPECT_EQ(got.lastUser, w.lastUser);
            EXPECT_EQ(got.users, w.users) << File().toStdString();
        }
    }
    EXPECT_FALSE(File().contains("NULL"));
}

TEST_F(CorsConfigTest, APlaceholderFirstHidesTheCastersBehindIt)
{
    QByteArray bytes = EmptyFile();
    bytes.replace("</CORSConfig>\r\n",
                  "<ConfigInformation>\r\n<DataCenterAddress>B</DataCenterAddress>\r\n<ServerPort>1</ServerPort>\r\n"
                  "<DataSourceList LastSource=\"S\"/>\r\n<UserName LastUser=\"U\"/>\r\n</ConfigInformation>\r\n"
                  "</CORSConfig>\r\n");
    Write(bytes);
    CCorsConfig c(path());
    EXPECT_TRUE(c.Load().isEmpty());
    EXPECT_EQ(File(), bytes); // a well-formed file is left as it is
    // The next login removes the placeholder and finds B behind it.
    ASSERT_TRUE(c.SaveAcceptedLogin(Login("B", 1, "S", "U", {"S"})));
    CCorsConfig reread(path());
    EXPECT_EQ(reread.Load(), QStringList{QStringLiteral("B")});
}

TEST_F(CorsConfigTest, AFileThatCannotBeUsedIsMovedAsideBeforeTheEmptyOneIsWritten)
{
    const QByteArray cases[] = {
        "<CORSConfig><ConfigInformation><DataCenterAddress>10.1.1.1</DataCenterAddress>", // cut short
        "\xFF\xFE<\x00x\x00",                                                        // UTF-16 cut off
        "not xml at all",
    };
    for (const QByteArray& broken : cases) {
        for (const QString& f : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(f));
        Write(broken);
        CCorsConfig c(path());
        EXPECT_TRUE(c.Load().isEmpty());
        EXPECT_EQ(File(), EmptyFile());
        ASSERT_FALSE(c.MovedAside().isEmpty()) << broken.toStdString();
        EXPECT_TRUE(QFileInfo(c.MovedAside()).fileName().startsWith(QStringLiteral("Config.xml.broken-")));
        QFile aside(c.MovedAside());
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), broken);
    }
}

TEST_F(CorsConfigTest, AnUnusableFileThatCannotBeMovedAsideIsNeverWrittenOver)
{
    // A name that cannot grow by the time-stamp suffix: the move fails even for root, as it fails in
    // a folder the user may not write to.
    const QString path = m_dir.filePath(QString(240, QLatin1Char('c')) + QStringLiteral(".xml"));
    const QByteArray broken = "<CORSConfig><ConfigInformation><DataCenterAddress>10.1.1.1</DataCenterAddress>";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(broken);
    }
    auto onDisk = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    };
    CCorsConfig c(path);
    EXPECT_TRUE(c.Load().isEmpty());
    EXPECT_TRUE(c.MovedAside().isEmpty());
    EXPECT_EQ(onDisk(), broken);
    // Nor by a later login or a clear; the document in memory carries on.
    EXPECT_FALSE(c.SaveAcceptedLogin(Login("A", 2101, "M1", "U", {"M1"})));
    DataCentre dc;
    ASSERT_TRUE(c.Read(0, &dc));
    EXPECT_EQ(dc.address, QStringLiteral("A"));
    EXPECT_FALSE(c.Clear());
    EXPECT_EQ(onDisk(), broken);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1);
}
