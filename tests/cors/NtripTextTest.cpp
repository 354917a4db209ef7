// The NTRIP texts: both requests byte for byte, the login answer's classification, and the
// mount-point names of source tables, real ones included.

#include "cors/NtripText.h"
#include "wirra/Base64.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace cors;

namespace {
QByteArray TestData(const char* name)
{
    QFile f(qEnvironmentVariable("STAVO_TEST_DATA") + QLatin1Char('/') + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QString Text(const QByteArray& b) { return CasterText(b.constData(), int(b.size())); }
} // namespace

TEST(NtripRequests, BothRequestsByteForByteWithTheirOwnAgentTexts)
{
    EXPECT_EQ(BuildSourceTableRequest(QStringLiteral("192.168.1.10"), 2101).toLatin1(),
              QByteArray("GET / HTTP/1.0\r\nUser-Agent: NTRIP GNSSInternetRadio/1.4.10\r\nAccept: */*\r\n"
                         "Host: 192.168.1.10:2101\r\nConnection: Keep-Alive\r\n\r\n"));
    EXPECT_EQ(BuildMountPointRequest(QStringLiteral("MOUNT1"), QStringLiteral("user"), QStringLiteral("pass")).toLatin1(),
              QByteArray("GET /MOUNT1 HTTP/1.0\r\nUser-Agent: NTRIP GNSSInternetRadio /1.4.5\r\nAccept: */*\r\n"
                         "Authorization: Basic dXNlcjpwYXNz\r\n\r\n"));
    // A blank in the mount point goes out unchanged; the credential is not trimmed.
    EXPECT_EQ(BuildMountPointRequest(QStringLiteral("RTCM 32"), QStringLiteral(" u"), QStringLiteral("p ")).toLatin1(),
              QByteArray("GET /RTCM 32 HTTP/1.0\r\nUser-Agent: NTRIP GNSSInternetRadio /1.4.5\r\nAccept: */*\r\n"
                         "Authorization: Basic IHU6cCA=\r\n\r\n"));
}

TEST(NtripRequests, Base64OfTheStandardsVectors)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},         {"f", "Zg=="},        {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CBase64::Encode(QString::fromLatin1(in), int(strlen(in))), QString::fromLatin1(out)) << in;
    EXPECT_EQ(CBase64::Encode(QStringLiteral("user:password"), 4), QStringLiteral("dXNlcg=="));
    const char bytes[] = {char(0xFF), char(0x00), char(0xFE)};
    EXPECT_EQ(CBase64::Encode(bytes, 3), QStringLiteral("/wD+"));
}

TEST(NtripReplies, ClassificationInItsOrder)
{
    struct Case {
        QByteArray block;
        CasterReply want;
    };
    const Case cases[] = {
        {"ICY 200 OK\r\n", CasterReply::Accepted},
        {"ICY 200 OK\r\n\xD3\x00\x13>\xD0\x00", CasterReply::Accepted}, // corrections right behind
        {"HTTP/1.0 200 OK\r\nContent-Type: gnss/data\r\n\r\n", CasterReply::Accepted},
        {TestData("str2str_rtklib243b34_GET_root.raw"), CasterReply::Accepted}, // a table for an unknown mount
        {TestData("str2str_rtklib243b34_401.raw"), CasterReply::Refused},
        {"HTTP/1.0 401 Unauthorized\r\n\r\nICY 200 OK\r\n", CasterReply::Refused},
        {"ICY 200 OK\r\nHTTP/1.0 401 Unauthorized\r\n", CasterReply::Refused},
        {"", CasterReply::Unrecognised},
        {"ICY 200 O", CasterReply::Unrecognised}, // the first half of an answer split in two
        {"ICY 200 ok\r\n", CasterReply::Unrecognised},
        {"HTTP/1.1 404 Not Found\r\n", CasterReply::Unrecognised},
        {QByteArray("ICY\0 200 OK\r\n", 13), CasterReply::Unrecognised}, // text ends at a zero byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyCasterReply(Text(c.block)), c.want) << c.block.left(40).toStdString();
}

TEST(NtripSourceTable, NamesOfTheStrRecords)
{
    struct Case {
        const char* name;
        QByteArray table;
        QStringList want;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"no STR record", "SOURCETABLE 200 OK\r\nCAS;caster;2101;x\r\nENDSOURCETABLE\r\n", {}},
        {"CAS and NET records passed over",
         "SOURCETABLE 200 OK\r\nSTR;A;a;RTCM 3;x\r\nCAS;c;2101;x\r\nNET;n;x\r\nSTR;B;b;RTCM 3;x\r\nENDSOURCETABLE\r\n",
         {"A", "B"}},
        {"last record too short", "STR;AAAA;x;y\r\nSTR;B;\r\n", {"AAAA"}},
        {"only record too short", "xx STR;A;\r\n", {}},
        {"blanks and TABs in a name", "STR;A  \tB ;x;RTCM\r\nENDSOURCETABLE", {"A B "}},
        {"name runs to the end", "SOURCETABLE 200 OK\r\nSTR;LAST\r\nENDSOURCETABLE\r\n", {"LAST\r\nENDSOURCETABLE"}},
        {"duplicates kept, empty names kept", "STR;M;x;y\r\nSTR;;x;y\r\nSTR;M;x;y\r\nEND", {"M", "", "M"}},
        {"STR inside a field starts a record", "STR;A;xSTR;B;c;d;e\r\n", {"A", "B"}},
    };
    for (const Case& c : cases) {
        QString text = Text(c.table);
        EXPECT_EQ(ParseSourceTable(text), c.want) << c.name;
    }
}

TEST(NtripSourceTable, RealCasterTables)
{
    QString str2str = Text(TestData("str2str_rtklib243b34_GET_root.raw"));
    EXPECT_EQ(ParseSourceTable(str2str), QStringList{QStringLiteral("MOUNT1")});

    // A caster with CAS and NET records in front of four STR records (LF line ends, gpsd's "#" lines).
    QString sapos = Text(TestData("gpsd_ntrip_sourcetable_sapos.log"));
    ASSERT_FALSE(sapos.isEmpty());
    EXPECT_EQ(ParseSourceTable(sapos),
              (QStringList{QStringLiteral("VRS_3_2G"), QStringLiteral("MAC_3_2G"), QStringLiteral("FKP_3_2G"),
                           QStringLiteral("EPS")}));
}

TEST(NtripSourceTable, AMegabyteTableInLinearTime)
{
    // 80 000 records: record-by-record copying of the rest would take minutes here.
    QByteArray table = "SOURCETABLE 200 OK\r\n";
    for (int i = 0; i < 80000; ++i)
        table += "STR;M" + QByteArray::number(i) + ";ident;RTCM 3.2;1004(1);2;GPS;NET;CHN;31.00;121.00;1;0;sNTRIP;none;B;N;9600;\r\n";
    table += "ENDSOURCETABLE\r\n";
    QString text = Text(table);
    const QStringList names = ParseSourceTable(text);
    ASSERT_EQ(names.size(), 80000);
    EXPECT_EQ(names.front(), QStringLiteral("M0"));
    EXPECT_EQ(names.back(), QStringLiteral("M79999"));
}

TEST(NtripSourceTable, DelimitedFieldNormalisesTheGivenText)
{
    struct Case {
        const char* text;
        int index;
        const char* want;
        const char* after;
    };
    const Case cases[] = {
        {"a;b;c", 0, "a", "a;b;c"},
        {"a;b;c", 2, "c", "a;b;c"},
        {"a;b;c", 3, "", "a;b;c"},
        {";x", 0, "", ";x"},
        {"  a\t\tb ; c \r\n", 0, "a b ", "a b ; c"},
        {"x;  y    z;", 1, " y z", "x; y z;"},
        {"\t", 0, "", ""},
    };
    for (const Case& c : cases) {
        QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(GetDelimitedField(text, c.index, QLatin1Char(';')), QString::fromLatin1(c.want)) << c.text;
        EXPECT_EQ(text, QString::fromLatin1(c.after)) << c.text;
    }
}
