// File search, the sorting string array and the folder tree, over temporary folders; the tree is
// driven by real clicks on its expand buttons, rendered offscreen.

#include "TesselTestSupport.h"

#include <tessel/DirTreeCtrl.h>
#include <tessel/MyFileFind.h>
#include <tessel/SortStringArray.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <random>

using namespace platform;

namespace {

void Touch(const QString& path, const QByteArray& bytes = QByteArray())
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

// Every entry a pattern finds, in order.
QStringList Find(const QString& pattern)
{
    QStringList names;
    CMyFileFind finder;
    BOOL more = finder.FindFile(pattern);
    while (more) {
        more = finder.FindNextFileW();
        names << finder.GetFileName();
    }
    return names;
}

QStringList Children(QTreeWidgetItem* item)
{
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

QTreeWidgetItem* Child(QTreeWidgetItem* item, const QString& text)
{
    for (int i = 0; i < item->childCount(); ++i)
        if (item->child(i)->text(0) == text)
            return item->child(i);
    return nullptr;
}

// A user's click on the item's expand button, left of its text.
void ClickButton(CDirTreeCtrl& tree, QTreeWidgetItem* item)
{
    tree.scrollToItem(item);
    const QRect r = tree.visualItemRect(item);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(r.left() - tree.indentation() / 2, r.center().y()));
}

class FileTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.path();
        QDir d(m_root);
        for (const char* sub : {"Alpha", "Alpha/Inner", "alpha", "beta", "Gamma"})
            ASSERT_TRUE(d.mkpath(QString::fromLatin1(sub)));
        Touch(path("NOTES.TXT"), "12345");
        Touch(path("notes.doc"));
        Touch(path("data.csv"));
        Touch(path("Alpha/x.txt"));
        Touch(path("README"));
        Touch(path("archive.tar.gz"));
        Touch(path(".hidden"));
    }
    QString path(const char* rel) const { return m_root + u'/' + QString::fromUtf8(rel); }

    QTemporaryDir m_dir;
    QString m_root;
};

} // namespace

TEST_F(FileTree, StarDotStarFindsEveryNameAndMasksIgnoreCase)
{
    const QStringList all = Find(m_root + QStringLiteral("/*.*"));
    EXPECT_EQ(all, QStringList({".", "..", ".hidden", "Alpha", "Gamma", "NOTES.TXT", "README", "alpha",
                                "archive.tar.gz", "beta", "data.csv", "notes.doc"}));
    struct Case {
        const char* mask;
        QStringList found;
    } cases[] = {
        {"*.txt", {"NOTES.TXT"}},
        {"notes.*", {"NOTES.TXT", "notes.doc"}},
        {"readme.*", {"README"}}, // "name.*" also finds the name without a dot
        {"?eta", {"beta"}},
        {"*.tar.*", {"archive.tar.gz"}},
        {"ALPHA", {"Alpha"}},   // no such spelling: the first name that matches...
        {"alpha", {"alpha"}},   // ...but a name spelt exactly as asked wins
        {"Alpha", {"Alpha"}},
        {"*.xyz", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Find(m_root + u'/' + QString::fromLatin1(c.mask)), c.found) << c.mask;
}

TEST_F(FileTree, FinderQueriesAndTheLastEntryStaysCurrent)
{
    CMyFileFind finder;
    EXPECT_TRUE(finder.IsKindOf(&CMyFileFind::classCMyFileFind));
    ASSERT_TRUE(finder.FindFile(m_root + QStringLiteral("/N*")));
    // Nothing is current before the first FindNextFileW.
    EXPECT_TRUE(finder.GetFileName().isEmpty());
    EXPECT_TRUE(finder.GetRoot().isEmpty());
    EXPECT_EQ(finder.GetLength(), 0u);
    EXPECT_FALSE(finder.IsDirectory());

    EXPECT_TRUE(finder.FindNextFileW());
    EXPECT_EQ(finder.GetFileName(), QStringLiteral("NOTES.TXT"));
    EXPECT_EQ(finder.GetRoot(), m_root);
    EXPECT_EQ(finder.GetFilePath(), path("NOTES.TXT"));
    EXPECT_EQ(finder.GetFileTitleW(), QStringLiteral("NOTES"));
    EXPECT_EQ(finder.GetFileURL(), QStringLiteral("file://") + path("NOTES.TXT"));
    EXPECT_EQ(finder.GetLength(), 5u);
    EXPECT_TRUE(finder.IsArchived());
    EXPECT_FALSE(finder.IsDirectory());
    QDateTime written;
    EXPECT_TRUE(finder.GetLastWriteTime(written));
    EXPECT_LT(std::abs(written.secsTo(QDateTime::currentDateTimeUtc())), 600);

    EXPECT_FALSE(finder.FindNextFileW()); // notes.doc was the last
    EXPECT_EQ(finder.GetFileName(), QStringLiteral("notes.doc"));
    EXPECT_FALSE(finder.FindNextFileW());
    EXPECT_EQ(finder.GetFileName(), QStringLiteral("notes.doc"));

    struct Title {
        const char* name;
        const char* title;
    } titles[] = {{"archive.tar.gz", "archive.tar"}, {"README", "README"}, {".hidden", ".hidden"}, {"..", "."}};
    for (const Title& t : titles) {
        ASSERT_TRUE(finder.FindFile(m_root + u'/' + QString::fromLatin1(t.name)));
        finder.FindNextFileW();
        EXPECT_EQ(finder.GetFileTitleW(), QString::fromLatin1(t.title));
    }
    EXPECT_TRUE(finder.IsDots());
    ASSERT_TRUE(finder.FindFile(path(".hidden")));
    finder.FindNextFileW();
    EXPECT_TRUE(finder.IsHidden());
    EXPECT_FALSE(finder.IsDots());

    errno = 0;
    EXPECT_FALSE(finder.FindFile(m_root + QStringLiteral("/missing/*.*")));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(finder.FindNextFileW());
    EXPECT_TRUE(finder.GetFileName().isEmpty());

    EXPECT_TRUE(bIsExistFile(m_root, QStringLiteral("notes.TXT")));
    EXPECT_TRUE(bIsExistFile(m_root, QStringLiteral("Alpha")));
    EXPECT_FALSE(bIsExistFile(m_root, QStringLiteral("nothing")));
}

TEST_F(FileTree, APatternWithoutAFolderSearchesTheCurrentFolder)
{
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(path("Alpha")));
    CMyFileFind finder;
    ASSERT_TRUE(finder.FindFile()); // "*.*"
    QStringList names;
    for (BOOL more = TRUE; more;) {
        more = finder.FindNextFileW();
        names << finder.GetFileName();
    }
    EXPECT_EQ(names, QStringList({".", "..", "Inner", "x.txt"}));
    EXPECT_EQ(finder.GetRoot(), QDir::currentPath());
    EXPECT_EQ(finder.GetFilePath(), QDir::currentPath() + QStringLiteral("/x.txt"));
    EXPECT_TRUE(bIsExistFile(QDir::currentPath(), QStringLiteral("X.TXT")));
    ASSERT_TRUE(finder.FindFile(QStringLiteral("x.txt")));
    finder.FindNextFileW();
    EXPECT_EQ(finder.GetFilePath(), QDir::currentPath() + QStringLiteral("/x.txt"));
    QDir::setCurrent(saved);
}

// Sorting gives what an ordinal sort gives, keeps equal strings in order, and is quick on many names.
TEST(SortStringArray, SortsLikeAnOrdinalStableSort)
{
    std::mt19937 rng(24);
    const QString letters = QStringLiteral("aAbB._测绘1");
    for (int round = 0; round < 100; ++round) {
        CSortStringArray a;
        std::vector<QString> expected;
        const int n = int(rng() % 40);
        for (int i = 0; i < n; ++i) {
            QString s;
            for (int k = int(rng() % 4); k > 0; --k)
                s += letters[int(rng() % unsigned(letters.size()))];
            a.Add(s);
            expected.push_back(s);
        }
        a.Sort();
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(std::vector<QString>(a.begin(), a.end()), expected);
    }
    CSortStringArray many;
    for (int i = 200000; i > 0; --i)
        many.Add(QString::number(i));
    many.Sort(); // a pairwise-pass sort would take minutes here
    EXPECT_EQ(many[0], QStringLiteral("1"));
    EXPECT_TRUE(std::is_sorted(many.begin(), many.end()));
}

TEST_F(FileTree, TreeListsFoldersLazilyFiltersFilesAndKeepsExpandButtons)
{
    CDirTreeCtrl tree;
    tree.resize(480, 640);
    tesseltest::showActive(tree);
    tree.SetFilter(QStringLiteral("*.txt"));
    ASSERT_TRUE(tree.DisplayTree(m_root, TRUE));
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree.topLevelItem(0);
    EXPECT_EQ(root->text(0), m_root);
    EXPECT_EQ(Children(root), QStringList({"Alpha", "Gamma", "alpha", "beta", "NOTES.TXT"}));
    for (const char* folder : {"Alpha", "Gamma", "alpha", "beta"})
        EXPECT_EQ(Child(root, folder)->childCount(), 1) << folder; // the expand button, empty folders too
    EXPECT_EQ(tree.GetFullPath(Child(root, "beta")), path("beta"));

    ClickButton(tree, root);
    ASSERT_TRUE(root->isExpanded());
    QTreeWidgetItem* beta = Child(root, "beta");
    ASSERT_NE(beta, nullptr);
    ClickButton(tree, beta);
    EXPECT_TRUE(beta->isExpanded());
    EXPECT_EQ(beta->childCount(), 0); // opened: nothing in it
    ClickButton(tree, beta);
    EXPECT_FALSE(beta->isExpanded());
    EXPECT_EQ(beta->childCount(), 1); // closed: the button is back

    // A folder is listed when it is opened, so what appeared since shows.
    Touch(path("Alpha/late.txt"));
    Touch(path("Alpha/late.doc"));
    QTreeWidgetItem* alpha = Child(root, "Alpha");
    ClickButton(tree, alpha);
    ASSERT_TRUE(alpha->isExpanded());
    EXPECT_EQ(Children(alpha), QStringList({"Inner", "late.txt", "x.txt"}));
    EXPECT_EQ(tree.GetFullPath(Child(alpha, "x.txt")), path("Alpha/x.txt"));
    const QImage shot = tesseltest::render(tree);
    if (qEnvironmentVariableIsSet("STAVO_SNAPSHOT_DIR"))
        shot.save(qEnvironmentVariable("STAVO_SNAPSHOT_DIR") + QStringLiteral("/dirtree.png"));
    // The desktop's icons: one for folders, another for files.
    const QImage folderIcon = Child(alpha, "Inner")->icon(0).pixmap(16).toImage();
    const QImage fileIcon = Child(alpha, "x.txt")->icon(0).pixmap(16).toImage();
    EXPECT_FALSE(folderIcon.isNull());
    EXPECT_FALSE(fileIcon.isNull());
    EXPECT_NE(folderIcon, fileIcon);

    // A second filter adds to the first.
    tree.SetFilter(QStringLiteral("*.CSV"));
    EXPECT_EQ(tree.GetFilters().GetSize(), 2);
    ASSERT_TRUE(tree.DisplayTree(m_root, TRUE));
    EXPECT_EQ(Children(tree.topLevelItem(0)), QStringList({"Alpha", "Gamma", "alpha", "beta", "NOTES.TXT", "data.csv"}));
    // Without files only folders show.
    ASSERT_TRUE(tree.DisplayTree(m_root, FALSE));
    EXPECT_EQ(Children(tree.topLevelItem(0)), QStringList({"Alpha", "Gamma", "alpha", "beta"}));
}

TEST_F(FileTree, SetSelPathOpensTheWayAndSelects)
{
    CDirTreeCtrl tree;
    tree.resize(480, 640);
    tesseltest::showActive(tree);
    tree.SetFilter(QStringLiteral("*.txt"));
    ASSERT_TRUE(tree.DisplayTree(m_root + u'/', TRUE)); // a trailing "/" makes no difference
    EXPECT_EQ(tree.topLevelItem(0)->text(0), m_root);

    ASSERT_TRUE(tree.SetSelPath(path("Alpha/Inner")));
    ASSERT_NE(tree.currentItem(), nullptr);
    EXPECT_EQ(tree.GetFullPath(tree.currentItem()), path("Alpha/Inner"));
    EXPECT_TRUE(tree.currentItem()->isSelected());
    EXPECT_TRUE(tree.currentItem()->parent()->isExpanded());

    // The exact spelling is chosen among folders that differ only in case; another spelling finds
    // the first that matches.
    ASSERT_TRUE(tree.SetSelPath(path("alpha")));
    EXPECT_EQ(tree.GetFullPath(tree.currentItem()), path("alpha"));
    ASSERT_TRUE(tree.SetSelPath(path("BETA")));
    EXPECT_EQ(tree.GetFullPath(tree.currentItem()), path("beta"));

    // A file the filter hides exists but is not in the tree: FALSE, nothing selected, and the folder
    // above it has been listed afresh and stays open.
    ASSERT_TRUE(tree.DisplayTree(m_root, TRUE));
    Touch(path("fresh.txt"));
    EXPECT_FALSE(tree.SetSelPath(path("notes.doc")));
    EXPECT_TRUE(tree.selectedItems().isEmpty());
    QTreeWidgetItem* root = tree.topLevelItem(0);
    EXPECT_TRUE(root->isExpanded());
    EXPECT_NE(Child(root, "fresh.txt"), nullptr);

    struct Case {
        QString path;
    } refused[] = {{path("missing")}, {path("Alpha/missing")}, {QStringLiteral("/usr")}, {QString()}};
    for (const Case& c : refused) {
        EXPECT_FALSE(tree.SetSelPath(c.path)) << c.path.toStdString();
        EXPECT_TRUE(tree.selectedItems().isEmpty());
    }
}

TEST(DirTreeCtrl, TheFileSystemRootIsTheItemWithAnEmptyText)
{
    CDirTreeCtrl tree;
    ASSERT_TRUE(tree.DisplayTree(QStringLiteral("/"), FALSE));
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QString());
    EXPECT_NE(Child(tree.topLevelItem(0), "tmp"), nullptr);
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("deep/er")));
    ASSERT_TRUE(tree.SetSelPath(dir.path() + QStringLiteral("/deep/er")));
    EXPECT_EQ(tree.GetFullPath(tree.currentItem()), dir.path() + QStringLiteral("/deep/er"));
    EXPECT_EQ(CDirTreeCtrl::GetSubPath(QStringLiteral("/a/b/")), QStringLiteral("b"));
    EXPECT_EQ(CDirTreeCtrl::GetSubPath(QStringLiteral("plain")), QStringLiteral("plain"));
}

// "." names the current folder: it is the tree's top item, not one of the dot entries a listing
// leaves out.
TEST_F(FileTree, ARelativeRootIsTheTopItem)
{
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_root));
    CDirTreeCtrl tree;
    ASSERT_TRUE(tree.DisplayTree(QStringLiteral("."), FALSE));
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QStringLiteral("."));
    EXPECT_EQ(Children(tree.topLevelItem(0)), QStringList({"Alpha", "Gamma", "alpha", "beta"}));
    EXPECT_TRUE(tree.SetSelPath(QStringLiteral("./Alpha/Inner")));
    EXPECT_EQ(tree.GetFullPath(tree.currentItem()), QStringLiteral("./Alpha/Inner"));
    QDir::setCurrent(saved);
}
