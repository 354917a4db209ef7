// Text files in the ANSI code page and the conversions between multi-byte and wide text, under a
// GB2312 (936) and a UTF-8 (65001) code page.

#include "TesselTestSupport.h"

#include <tessel/MyChar.h>
#include <tessel/StdioFileCe.h>
#include <tessel/StdioFileEx.h>

#include <platform/CodePage.h>
#include <platform/MessageBox.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <random>

using namespace platform;
using tesseltest::ReadAll;
using tesseltest::WriteAll;

namespace {

// Runs a test under a given ANSI code page and restores the locale's afterwards.
class CodePageScope {
public:
    explicit CodePageScope(int cp) { SetAnsiCodePage(cp); }
    ~CodePageScope() { SetAnsiCodePage(0); }
};

const char16_t* U(const QString& s) { return reinterpret_cast<const char16_t*>(s.utf16()); }

// "测绘" (survey) in GBK and in UTF-8.
const QByteArray kCehuiGbk("\xB2\xE2\xBB\xE6");
const QByteArray kCehuiUtf8("\xE6\xB5\x8B\xE7\xBB\x98");
const QString kCehui = QStringLiteral("测绘");

} // namespace

TEST(CodePage, CharsetNamesOfLocalesGiveTheirNumbers)
{
    struct Case {
        const char* name;
        int cp;
    } cases[] = {
        {"UTF-8", 65001}, {"utf8", 65001},          {"GB2312", 936},        {"GB18030", 54936},
        {"ISO-8859-1", 28591}, {"ISO-8859-15", 28605}, {"CP1252", 1252}, {"klingon", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CodePageOfCharset(c.name), c.cp) << c.name;
}

namespace {

// Locales of a Chinese GB2312 and a German UTF-8 system, compiled into a folder of our own (LOCPATH)
// so that the machine needs none of them installed. Empty when localedef or its sources are missing.
QString CompiledLocales()
{
    static QTemporaryDir dir;
    static const bool built = [] {
        for (const QStringList& args : {QStringList{"-i", "zh_CN", "-f", "GB2312", dir.filePath("zh_CN.GB2312")},
                                        QStringList{"-i", "de_DE", "-f", "UTF-8", dir.filePath("de_DE.UTF-8")}}) {
            QProcess p;
            p.start(QStringLiteral("localedef"), args);
            if (!p.waitForFinished(120000) || !QFileInfo(args.last()).isDir())
                return false;
        }
        return true;
    }();
    return built ? dir.path() : QString();
}

// Sets environment variables for a block and restores them.
class EnvScope {
public:
    void set(const char* name, const QByteArray& value)
    {
        m_saved.push_back({name, qgetenv(name)});
        qputenv(name, value);
    }
    ~EnvScope()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second.isNull())
                qunsetenv(it->first);
            else
                qputenv(it->first, it->second);
        }
    }

private:
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

} // namespace

TEST(CodePage, TheLocaleGivesTheAnsiCodePage)
{
    EnvScope env;
    env.set("LC_ALL", "C.UTF-8");
    EXPECT_EQ(LocaleCodePage(), 65001);
    // The bare C locale is taken as UTF-8 rather than ASCII, so text is not lost.
    env.set("LC_ALL", "C");
    EXPECT_EQ(LocaleCodePage(), 65001);
    // Named but not installed: the name still says GB2312.
    env.set("LOCPATH", "/nonexistent");
    env.set("LC_ALL", "zh_CN.GB2312");
    EXPECT_EQ(LocaleCodePage(), 936);

    const QString locales = CompiledLocales();
    if (locales.isEmpty())
        GTEST_SKIP() << "localedef or the locale sources are missing";
    env.set("LOCPATH", QFile::encodeName(locales));
    env.set("LC_ALL", "zh_CN.GB2312");
    locale_t gb = newlocale(LC_CTYPE_MASK, "", locale_t(nullptr));
    ASSERT_NE(gb, locale_t(nullptr)) << "the compiled locale did not load";
    EXPECT_STREQ(nl_langinfo_l(CODESET, gb), "GB2312");
    freelocale(gb);
    EXPECT_EQ(LocaleCodePage(), 936);
    env.set("LC_ALL", "de_DE.UTF-8");
    EXPECT_EQ(LocaleCodePage(), 65001);
}

TEST(Conversion, GbkAndUtf8BothWaysAndTheFixed936Variant)
{
    char16_t wide[16];
    char bytes[16];
    {
        CodePageScope gb(936);
        EXPECT_EQ(CStdioFileEx::GetCurrentLocaleCodePage(), 936u);
        EXPECT_EQ(CStdioFileEx::GetMultiByteStringFromUnicodeString(U(kCehui), bytes, sizeof bytes), 4);
        EXPECT_EQ(QByteArray(bytes), kCehuiGbk);
        EXPECT_EQ(CStdioFileEx::GetRequiredMultiByteLengthForUnicodeString(U(kCehui)), 5);
        EXPECT_EQ(CStdioFileEx::GetUnicodeStringFromMultiByteString(kCehuiGbk.constData(), wide, 16), 2);
        EXPECT_EQ(QString::fromUtf16(wide), kCehui);
    }
    {
        CodePageScope utf8(65001);
        EXPECT_EQ(CStdioFileEx::GetMultiByteStringFromUnicodeString(U(kCehui), bytes, sizeof bytes), 6);
        EXPECT_EQ(QByteArray(bytes), kCehuiUtf8);
        EXPECT_EQ(CStdioFileEx::GetRequiredMultiByteLengthForUnicodeString(U(kCehui)), 7);
        EXPECT_EQ(CStdioFileEx::GetUnicodeStringFromMultiByteString(kCehuiUtf8.constData(), wide, 16), 2);
        EXPECT_EQ(QString::fromUtf16(wide), kCehui);
        // Whatever the locale, the fixed variant reads GBK.
        EXPECT_EQ(CStdioFileEx::GetUnicodeStringFromMultiByteString1(kCehuiGbk.constData(), wide, 16), 2);
        EXPECT_EQ(QString::fromUtf16(wide), kCehui);
    }
}

TEST(Conversion, NullPointersSmallBuffersAndMissingCharacters)
{
    CodePageScope gb(936);
    char bytes[8];
    char16_t wide[8];
    struct Case {
        const char* what;
        int result;
    } cases[] = {
        {"null source", CStdioFileEx::GetMultiByteStringFromUnicodeString(nullptr, bytes, 8)},
        {"null destination", CStdioFileEx::GetMultiByteStringFromUnicodeString(u"a", nullptr, 8)},
        {"size 0", CStdioFileEx::GetMultiByteStringFromUnicodeString(u"a", bytes, 0)},
        {"negative size", CStdioFileEx::GetUnicodeStringFromMultiByteString("a", wide, -1)},
        {"936 null", CStdioFileEx::GetUnicodeStringFromMultiByteString1(nullptr, wide, 8)},
        {"required of null", CStdioFileEx::GetRequiredMultiByteLengthForUnicodeString(nullptr)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, 0) << c.what;

    // Does not fit: nothing, rather than half a character.
    std::memset(bytes, 'x', sizeof bytes);
    EXPECT_EQ(CStdioFileEx::GetMultiByteStringFromUnicodeString(U(kCehui), bytes, 4), 0);
    EXPECT_EQ(bytes[0], '\0');

    // Hangul and an emoji are not in GBK: "#" each. A decomposed é composes to é, which GBK has.
    EXPECT_EQ(QByteArray(CMyChar(QStringLiteral("a한b😀c"))), QByteArray("a#b#c"));
    EXPECT_EQ(QByteArray(CMyChar(QStringLiteral("e\u0301"))), QByteArray("\xA8\xA6"));
}

TEST(Conversion, WrappersSizeTheirBuffersFromTheConversion)
{
    CodePageScope utf8(65001);
    // Forty Chinese characters: 120 bytes in UTF-8, more than the 2 × 40 + 1 a fixed ratio would give.
    QString text;
    for (int i = 0; i < 40; ++i)
        text += kCehui[i % 2];
    const CMyChar mb(text);
    EXPECT_EQ(mb.GetLength(), 120);
    EXPECT_EQ(QString::fromUtf8(static_cast<const char*>(mb)), text);
    const CMyWchar back(static_cast<const char*>(mb));
    EXPECT_EQ(back.toQString(), text);
    const CMyTChar copy(static_cast<const char16_t*>(back));
    EXPECT_EQ(copy.GetLength(), 40);
    const CMyChar none(static_cast<const char16_t*>(nullptr));
    EXPECT_EQ(none.GetLength(), 0);
}

// Any text survives the round trip through UTF-8, and through GBK when it holds only characters of
// GBK; characters GBK lacks come back as "#" and nothing else changes.
TEST(Conversion, RoundTripsOfRandomTexts)
{
    std::mt19937 rng(12);
    const std::u16string pool = u"aZ09 .,=[]#测绘数据坐标高程经纬度한😀é°\u3000";
    for (int cp : {65001, 936}) {
        CodePageScope scope(cp);
        for (int round = 0; round < 300; ++round) {
            std::u16string text;
            std::u16string expected;
            const int n = int(rng() % 30);
            for (int i = 0; i < n; ++i) {
                const size_t k = rng() % 33;
                if (k < pool.size() && (pool[k] < 0xD800 || pool[k] > 0xDFFF)) {
                    text += pool[k];
                    expected += (cp == 936 && pool[k] == u'한') ? u'#' : pool[k];
                } else { // the emoji, a surrogate pair
                    text += u"😀";
                    expected += cp == 936 ? u"#" : u"😀";
                }
            }
            const CMyChar mb(text.c_str());
            const CMyWchar wide(static_cast<const char*>(mb));
            EXPECT_EQ(std::u16string(static_cast<const char16_t*>(wide)), expected) << "code page " << cp;
        }
    }
}

TEST(StdioFileCe, LinesNumbersAndBlanks)
{
    CodePageScope gb(936);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lines.txt"));
    WriteAll(path, "  12.5\r\n" + kCehuiGbk + " \r\n-42\r\n99999999999999999999\r\nabc\r\nlast");
    CStdioFileCe f;
    ASSERT_TRUE(f.Open(path, QStringLiteral("rt"), FALSE));
    QString line;
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, QStringLiteral("12.5"));
    f.SeekToBegin();
    int ok = 0;
    EXPECT_DOUBLE_EQ(f.ReadDouble(&ok), 12.5);
    EXPECT_EQ(ok, TRUE);
    EXPECT_TRUE(f.bReadString(kCehui));
    EXPECT_EQ(f.ReadInt(), -42);
    EXPECT_EQ(f.ReadInt(), INT_MAX); // saturates instead of wrapping
    EXPECT_EQ(f.ReadLong(), 0);      // "abc"
    EXPECT_EQ(f.nfeof(), 0);
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, QStringLiteral("last"));
    EXPECT_FALSE(f.ReadString(line));
    EXPECT_TRUE(line.isEmpty());
    EXPECT_EQ(f.ReadDouble(&ok), 0.0);
    EXPECT_EQ(ok, FALSE);
    EXPECT_NE(f.nfeof(), 0);
    CFileStatus st;
    EXPECT_TRUE(f.GetStatus(st));
    EXPECT_EQ(st.m_size, ReadAll(path).size());

    // A closed file reads nothing, and its end-of-file test ends a reading loop.
    f.Close();
    EXPECT_FALSE(f.ReadString(line));
    EXPECT_EQ(f.ReadInt(), 0);
    EXPECT_FALSE(f.WriteString(u"x"));
    EXPECT_NE(f.nfeof(), 0);
}

// Numbers are read in decimal only, as the handheld's C library reads them: the words and hex forms
// that glibc's strtod also takes must not turn a damaged file into NaN or infinity.
TEST(StdioFileCe, NumbersAreReadInDecimalOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("numbers.txt"));
    struct Case {
        const char* line;
        double value;
    } cases[] = {
        {"nan", 0},         {"-NaN(1)", 0},     {"inf", 0},         {"-Infinity", 0},   {"0x1A", 0},
        {"0x1p3", 0},       {"  -.5e-1 m", -0.05}, {"1e3", 1000},   {"1e", 1},          {"1.5e+", 1.5},
        {"+.e1", 0},        {"12.5abc", 12.5},  {"7.", 7},          {"1e400", HUGE_VAL}, {"-1e400", -HUGE_VAL},
    };
    QByteArray file;
    for (const Case& c : cases)
        file += QByteArray(c.line) + "\r\n";
    WriteAll(path, file);
    CStdioFileCe f;
    ASSERT_TRUE(f.Open(path, QStringLiteral("r"), FALSE));
    for (const Case& c : cases) {
        int ok = FALSE;
        EXPECT_EQ(f.ReadDouble(&ok), c.value) << c.line;
        EXPECT_EQ(ok, TRUE) << c.line;
    }
}

TEST(StdioFileCe, WritesInTheCodePageWithHashForMissingCharacters)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    for (int cp : {936, 65001}) {
        CodePageScope scope(cp);
        CStdioFileCe f;
        ASSERT_TRUE(f.Open(path, QStringLiteral("wt"), FALSE));
        EXPECT_TRUE(f.WriteString(kCehui + QStringLiteral("한\r\n")));
        EXPECT_TRUE(f.WriteDouble(3.5));
        EXPECT_TRUE(f.WriteDouble(-0.000000000001));
        f.Close();
        const QByteArray cehui = cp == 936 ? kCehuiGbk + "#" : kCehuiUtf8 + "\xED\x95\x9C";
        EXPECT_EQ(ReadAll(path), cehui + "\r\n3.500000000000\r\n-0.000000000001\r\n") << cp;
    }
}

TEST(StdioFileCe, DecimalPointIsADotUnderAGermanLocale)
{
    const QString locales = CompiledLocales();
    if (locales.isEmpty())
        GTEST_SKIP() << "localedef or the locale sources are missing";
    EnvScope env;
    env.set("LOCPATH", QFile::encodeName(locales));
    // What a Qt application started under LANG=de_DE.UTF-8 has.
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.2f", 3.25);
    EXPECT_STREQ(printed, "3,25"); // the pitfall is real here
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("n.txt"));
    CStdioFileCe f;
    ASSERT_TRUE(f.Open(path, QStringLiteral("w+"), FALSE));
    f.WriteDouble(3.25);
    f.SeekToBegin();
    const double back = f.ReadDouble();
    f.Close();
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_DOUBLE_EQ(back, 3.25);
    EXPECT_EQ(ReadAll(path), QByteArray("3.250000000000\r\n"));
}

// A long line comes in pieces of at most 4095 bytes, each ending on a character boundary, and
// together they are the whole line.
TEST(StdioFileCe, LongLinesComeInPiecesCutBetweenCharacters)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.txt"));
    struct Case {
        int cp;
        QByteArray unit; // one character
        int lead;        // ASCII bytes before the characters, to move the cut
    } cases[] = {{936, kCehuiGbk.left(2), 1}, {65001, kCehuiUtf8.left(3), 1}, {65001, kCehuiUtf8.left(3), 2},
                 {65001, "a", 0}};
    for (const Case& c : cases) {
        CodePageScope scope(c.cp);
        QByteArray bytes(c.lead, 'x');
        while (bytes.size() < 10000)
            bytes += c.unit;
        WriteAll(path, bytes + "\r\nnext\r\n");
        CStdioFileCe f;
        ASSERT_TRUE(f.Open(path, QStringLiteral("r"), FALSE));
        QString whole;
        QString piece;
        int pieces = 0;
        while (f.ReadString(piece) && piece != QStringLiteral("next")) {
            ++pieces;
            EXPECT_LE(CMyChar(piece).GetLength(), CStdioFileCe::kLinePiece);
            EXPECT_FALSE(piece.contains(QChar::ReplacementCharacter)) << "cut inside a character, cp " << c.cp;
            whole += piece;
        }
        EXPECT_EQ(piece, QStringLiteral("next"));
        EXPECT_EQ(pieces, 3) << c.cp;
        std::u16string expected;
        MultiByteToWide(c.cp, bytes.toStdString(), expected);
        EXPECT_EQ(whole, QString::fromStdU16String(expected)) << c.cp;
    }
}

TEST(StdioFileCe, AFileThatDoesNotOpenIsReportedWhenAskedFor)
{
    SetMessageBoxResponder([](const MessageBoxCall& c) { return DefaultMessageBoxResult(c.type); });
    ClearMessageBoxLog();
    QTemporaryDir dir;
    CStdioFileCe f;
    EXPECT_FALSE(f.Open(dir.filePath(QStringLiteral("none/x.txt")), QStringLiteral("r"), FALSE));
    EXPECT_TRUE(MessageBoxLog().empty());
    EXPECT_FALSE(f.Open(dir.filePath(QStringLiteral("none/x.txt")), QStringLiteral("w"), TRUE));
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("打开文件出错！"));
    EXPECT_EQ(MessageBoxLog()[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(MessageBoxLog()[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
    // A folder is no text file, though Linux lets a stream be opened on it for reading.
    EXPECT_FALSE(f.Open(dir.path(), QStringLiteral("r"), FALSE));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_FALSE(f.Open(dir.path(), QStringLiteral("rt"), TRUE));
    EXPECT_EQ(MessageBoxLog().size(), 2u);
    SetMessageBoxResponder(nullptr);
}

TEST(StdioFileEx, Utf16TextIsOpenedInBinaryModeOnlyForReading)
{
    QTemporaryDir dir;
    const QString wide = dir.filePath(QStringLiteral("wide.txt"));
    const QString plain = dir.filePath(QStringLiteral("plain.txt"));
    const QString text = kCehui + QStringLiteral(" 1\r\nzwei\r\n");
    QByteArray le("\xFF\xFE");
    for (QChar ch : text) {
        le += char(ch.unicode() & 0xFF);
        le += char(ch.unicode() >> 8);
    }
    WriteAll(wide, le);
    WriteAll(plain, "plain\n");
    EXPECT_TRUE(CStdioFileEx::IsFileUnicode(wide));
    EXPECT_FALSE(CStdioFileEx::IsFileUnicode(plain));
    EXPECT_FALSE(CStdioFileEx::IsFileUnicode(dir.filePath(QStringLiteral("missing"))));

    struct Case {
        QString path;
        UINT flags;
        BOOL unicode;
        UINT finalType;
    } cases[] = {
        {wide, CStdioFile::modeRead | CStdioFile::typeText, TRUE, CStdioFile::typeBinary},
        {plain, CStdioFile::modeRead | CStdioFile::typeText, FALSE, CStdioFile::typeText},
        {wide, CStdioFile::modeRead | CStdioFile::typeBinary, FALSE, CStdioFile::typeBinary},
        {wide, CStdioFile::modeWrite | CStdioFile::modeNoTruncate | CStdioFile::typeText, FALSE, CStdioFile::typeText},
    };
    for (const Case& c : cases) {
        CStdioFileEx f;
        ASSERT_TRUE(f.Open(c.path, c.flags)) << c.path.toStdString();
        EXPECT_EQ(f.IsFileUnicodeText(), c.unicode);
        EXPECT_EQ(f.GetOpenFlags() & (CStdioFile::typeText | CStdioFile::typeBinary), c.finalType);
    }
    // The wide text reads unchanged, line by line.
    CStdioFileEx f(wide, CStdioFile::modeRead | CStdioFile::typeText);
    ASSERT_TRUE(f.IsOpen());
    QString line;
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, kCehui + QStringLiteral(" 1"));
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, QStringLiteral("zwei"));
    EXPECT_FALSE(f.ReadString(line));
}

TEST(StdioFileEx, TextLinesUseTheCodePageSet)
{
    CodePageScope utf8(65001);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gbk.txt"));
    WriteAll(path, kCehuiGbk + "\r\n");
    CStdioFileEx f;
    f.SetCodePage(936);
    ASSERT_TRUE(f.Open(path, CStdioFile::modeRead | CStdioFile::typeText));
    QString line;
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, kCehui);
}
