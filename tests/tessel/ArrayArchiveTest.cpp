// Library arrays and the settings archive, including damaged and truncated settings files.

#include <tessel/Archive.h>
#include <tessel/Array.h>

#include <platform/RuntimeClass.h>

#include <QFile>
#include <QTemporaryDir>

#include <limits>

#include <gtest/gtest.h>

TEST(Array, OutOfRangeAccessIsRefusedNotPerformed)
{
    CArray<QString> a;
    EXPECT_EQ(a.Add(QStringLiteral("a")), 0);
    EXPECT_EQ(a.Add(QStringLiteral("b")), 1);
    EXPECT_EQ(a.GetAt(-1), QString());
    EXPECT_EQ(a.GetAt(2), QString());
    EXPECT_FALSE(a.SetAt(2, QStringLiteral("x")));
    EXPECT_EQ(a.GetSize(), 2);
    a.SetAtGrow(4, QStringLiteral("e"));
    EXPECT_EQ(a.GetSize(), 5);
    EXPECT_EQ(a.GetAt(3), QString());
    EXPECT_EQ(a[4], QStringLiteral("e"));
    a.InsertAt(99, QStringLiteral("end"));
    EXPECT_EQ(a.GetAt(5), QStringLiteral("end"));
    a.RemoveAt(1, 100);
    EXPECT_EQ(a.GetSize(), 1);
    a.RemoveAt(7);
    EXPECT_EQ(a.GetSize(), 1);
}

TEST(Array, RemoveAtWithAHugeCountRemovesToTheEnd)
{
    struct Case {
        int at, count;
        QString left; // what remains of "abcde"
    };
    const Case cases[] = {
        {1, 2, QStringLiteral("ade")},
        {1, std::numeric_limits<int>::max(), QStringLiteral("a")},
        {4, std::numeric_limits<int>::max() - 2, QStringLiteral("abcd")},
        {0, std::numeric_limits<int>::max(), QString()},
        {2, 3, QStringLiteral("ab")},
    };
    for (const Case& c : cases) {
        CArray<QString> a;
        for (const QChar ch : QStringLiteral("abcde"))
            a.Add(QString(ch));
        a.RemoveAt(c.at, c.count);
        QString left;
        for (const QString& s : a)
            left += s;
        EXPECT_EQ(left, c.left) << c.at << " " << c.count;
    }
}

TEST(Array, PointerArrayGrowsWithNulls)
{
    CArray<platform::CObject*> pages;
    pages.SetSize(6);
    ASSERT_EQ(pages.GetSize(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pages[i], nullptr);
    pages.SetSize(-3);
    EXPECT_EQ(pages.GetSize(), 0);
}

namespace {

QByteArray storeSample(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    CArchive ar(&f, CArchive::store);
    EXPECT_TRUE(ar.IsStoring());
    ar << 42 << -7.25 << QStringLiteral("北斗 GPS") << qint64(-1) << platform::UINT(0xFFFFFFF0u);
    ar.Close();
    f.close();
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST(Archive, ValuesComeBackInOrderAcrossManyBuffers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.dat"));
    QString longText;
    for (int i = 0; i < 3000; ++i)
        longText += QChar(0x4E00 + i % 200);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        CArchive ar(&f, CArchive::store, 4096);
        for (int i = 0; i < 2000; ++i)
            ar << i;
        ar << longText << 3.5;
        ar.Close();
        EXPECT_FALSE(ar.IsFailed());
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), 2000 * 4 + 4 + 3000 * 2 + 8);
    CArchive ar(&f, CArchive::load, 4096);
    EXPECT_FALSE(ar.IsStoring());
    for (int i = 0; i < 2000; ++i) {
        int v = -1;
        ar >> v;
        ASSERT_EQ(v, i);
    }
    QString s;
    double d = 0;
    ar >> s >> d;
    EXPECT_EQ(s, longText);
    EXPECT_EQ(d, 3.5);
    EXPECT_FALSE(ar.IsFailed());
    int beyond = 99;
    ar >> beyond;
    EXPECT_EQ(beyond, 0);
    EXPECT_TRUE(ar.IsFailed());
}

TEST(Archive, EveryTruncationFailsCleanly)
{
    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("full.dat"));
    const QByteArray bytes = storeSample(full);
    ASSERT_EQ(bytes.size(), 4 + 8 + 4 + 2 * 6 + 8 + 4);
    for (int cut = 0; cut < bytes.size(); ++cut) {
        const QString path = dir.filePath(QStringLiteral("cut.dat"));
        QFile w(path);
        ASSERT_TRUE(w.open(QIODevice::WriteOnly | QIODevice::Truncate));
        w.write(bytes.left(cut));
        w.close();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        CArchive ar(&f, CArchive::load);
        int i = -1;
        double d = -1;
        QString s = QStringLiteral("old");
        qint64 l = 5;
        platform::UINT u = 5;
        ar >> i >> d >> s >> l >> u;
        EXPECT_TRUE(ar.IsFailed()) << "cut at " << cut;
        // Whatever was read before the cut is intact; everything after it is zero or empty.
        EXPECT_EQ(i, cut >= 4 ? 42 : 0) << cut;
        EXPECT_EQ(d, cut >= 12 ? -7.25 : 0.0) << cut;
        EXPECT_EQ(s, cut >= 28 ? QStringLiteral("北斗 GPS") : QString()) << cut;
        EXPECT_EQ(u, 0u) << cut;
    }
}

TEST(Archive, StringCountBeyondTheFileIsRefusedWithoutAllocating)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.dat"));
    QFile w(path);
    ASSERT_TRUE(w.open(QIODevice::WriteOnly));
    const char header[] = {'\xFF', '\xFF', '\xFF', '\x7F', 'a', 0};
    w.write(header, sizeof header);
    w.close();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    CArchive ar(&f, CArchive::load);
    QString s = QStringLiteral("x");
    ar >> s;
    EXPECT_TRUE(ar.IsFailed());
    EXPECT_TRUE(s.isEmpty());
}

TEST(Archive, ArbitraryBytesLoadWithoutHarm)
{
    // Settings files come from disk and may be anything: random contents read as every kind of
    // value must end in values or a failed archive, never in a crash or a huge allocation.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("noise.dat"));
    quint32 seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 24;
    };
    int failed = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(int(next() % 64 + (round % 7 == 0 ? 5000 : 0)), '\0');
        for (char& b : bytes)
            b = char(next());
        QFile w(path);
        ASSERT_TRUE(w.open(QIODevice::WriteOnly | QIODevice::Truncate));
        w.write(bytes);
        w.close();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        CArchive ar(&f, CArchive::load);
        for (int k = 0; k < 40 && !ar.IsFailed(); ++k) {
            QString s;
            int i = 0;
            double d = 0;
            switch (next() % 3) {
            case 0: ar >> s; EXPECT_LE(s.size() * 2, bytes.size()); break;
            case 1: ar >> i; break;
            default: ar >> d; break;
            }
        }
        failed += ar.IsFailed() ? 1 : 0;
    }
    EXPECT_GT(failed, 250) << "random bytes rarely make a whole record";
}
