// The page dialog base: deferred layout, placement by screen class, show/hide, settings files,
// run-time class record and dynamic creation.

#include "TesselTestSupport.h"

#include <platform/RuntimeClass.h>
#include <platform/Screen.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <csignal>
#include <sys/resource.h>

using namespace platform;
using namespace tesseltest;

namespace {

class LayoutPage : public CMyDialog {
public:
    LayoutPage() : CMyDialog(kPageTemplate, nullptr, FALSE) {}
    std::vector<std::string> steps;
    BOOL OnInitDialog() override
    {
        CMyDialog::OnInitDialog();
        steps.push_back("init");
        return TRUE;
    }
    void UpdateMainForm() override { steps.push_back(isHidden() ? "refresh-hidden" : "refresh-shown"); }

private:
    void MoveControls() override { steps.push_back("move"); }
};

class SettingsPage : public CMyDialog {
public:
    SettingsPage() : CMyDialog(kPageTemplate, nullptr, FALSE) {}
    int calls = 0;
    int number = 0;
    double value = 0;
    QString text;
    bool failed = false;
    void Serialize(CArchive& ar) override
    {
        ++calls;
        if (ar.IsStoring()) {
            ar << number << value << text;
        } else {
            ar >> number >> value >> text;
            failed = ar.IsFailed();
        }
    }
};

} // namespace

TEST(MyDialog, MoveControlsRunsAfterTheDerivedInitialisation)
{
    addPageTemplate();
    QWidget host;
    LayoutPage page;
    page.Create(kPageTemplate, &host);
    EXPECT_EQ(page.steps, (std::vector<std::string>{"init"}));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(page.steps, (std::vector<std::string>{"init", "move"}));
    // The same message sent again lays out again; a setting change is swallowed.
    EXPECT_EQ(page.SendMessage(WM_MY_INITIAL_UPDATE), 0);
    EXPECT_EQ(page.SendMessage(WM_SETTINGCHANGE), 0);
    EXPECT_EQ(page.steps, (std::vector<std::string>{"init", "move", "move"}));
}

TEST(MyDialog, ShowWindowReportsThePreviousVisibility)
{
    addPageTemplate();
    QWidget host;
    host.resize(480, 640);
    CMyDialog page(kPageTemplate, nullptr, FALSE);
    page.Create(kPageTemplate, &host);
    host.show();
    page.hide();
    struct Step {
        int cmd;
        int expectedReturn;
        bool visibleAfter;
    };
    const Step steps[] = {{SW_SHOW, 0, true},  {SW_SHOWNORMAL, 1, true}, {SW_HIDE, 1, false},
                          {SW_HIDE, 0, false}, {SW_SHOWNORMAL, 0, true}};
    for (const Step& s : steps) {
        EXPECT_EQ(page.vShowWindow(s.cmd), s.expectedReturn) << s.cmd;
        EXPECT_EQ(!page.isHidden(), s.visibleAfter) << s.cmd;
    }
}

TEST(MyDialog, ActiveDlgPlacesThePageByScreenClass)
{
    addPageTemplate();
    struct Case {
        int w, h;
        int screenClass;
        QRect place;
    };
    const Case cases[] = {
        {240, 320, 0, QRect(1, 26, 238, 200)}, {320, 240, 1, QRect(1, 26, 238, 200)},
        {640, 480, 2, QRect(1, 1, 520, 400)},  {480, 640, 0, QRect(1, 26, 238, 200)},
        {480, 480, 0, QRect(1, 26, 238, 200)}, {800, 480, 1, QRect(1, 26, 238, 200)},
    };
    for (const Case& c : cases) {
        Screen::setSize(c.w, c.h);
        EXPECT_EQ(CMyDialog::ScreenClass(c.w, c.h), c.screenClass);
        QWidget host;
        host.resize(700, 700);
        host.show();
        LayoutPage page;
        page.Create(kPageTemplate, &host);
        page.setGeometry(50, 60, 10, 10);
        page.hide();
        page.steps.clear();
        page.ActiveDlg();
        EXPECT_EQ(page.geometry(), c.place) << c.w << "x" << c.h;
        EXPECT_TRUE(page.isVisible());
        // Refreshed before the final show, with the window already in place.
        EXPECT_EQ(page.steps, (std::vector<std::string>{"refresh-shown"}));
    }
    Screen::reset();
}

TEST(MyDialog, SettingsRoundTripThroughAFile)
{
    addPageTemplate();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.set"));
    SettingsPage out;
    out.number = 13;
    out.value = 9600.5;
    out.text = QStringLiteral("连接CORS");
    out.SerializeSettings(path, 0);
    EXPECT_EQ(out.calls, 1);

    SettingsPage in;
    in.SerializeSettings(path, 2);
    EXPECT_EQ(in.calls, 1);
    EXPECT_EQ(in.number, 13);
    EXPECT_EQ(in.value, 9600.5);
    EXPECT_EQ(in.text, QStringLiteral("连接CORS"));
    EXPECT_FALSE(in.failed);
}

TEST(MyDialog, SettingsFileEdgeCases)
{
    addPageTemplate();
    QTemporaryDir dir;
    // Loading a missing file does nothing at all.
    SettingsPage missing;
    missing.number = 5;
    missing.SerializeSettings(dir.filePath(QStringLiteral("none.set")), 2);
    EXPECT_EQ(missing.calls, 0);
    EXPECT_EQ(missing.number, 5);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.set"))));

    // Any mode other than 2 empties an existing file before the page writes to it.
    const QString path = dir.filePath(QStringLiteral("old.set"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(10000, 'x'));
    }
    SettingsPage writer;
    writer.text = QStringLiteral("ab");
    writer.SerializeSettings(path, 7);
    EXPECT_EQ(QFileInfo(path).size(), 4 + 8 + 4 + 4);

    // A settings file cut short loads as failed, with zeroes where data was missing.
    {
        QFile f(path);
        ASSERT_TRUE(f.resize(6));
    }
    SettingsPage reader;
    reader.number = 1;
    reader.SerializeSettings(path, 2);
    EXPECT_EQ(reader.calls, 1);
    EXPECT_TRUE(reader.failed);
    EXPECT_EQ(reader.number, 0);
    EXPECT_EQ(reader.value, 0.0);

    // A file that cannot be created is ignored.
    SettingsPage nowhere;
    nowhere.SerializeSettings(dir.filePath(QStringLiteral("no/such/folder/x.set")), 0);
    EXPECT_EQ(nowhere.calls, 0);
}

TEST(MyDialog, SettingsAreReplacedWholeOrNotAtAll)
{
    addPageTemplate();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.set"));
    SettingsPage first;
    first.number = 4;
    first.text = QStringLiteral("旧的设置");
    first.SerializeSettings(path, 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray old = f.readAll();
    f.close();
    ASSERT_EQ(old.size(), 4 + 8 + 4 + 2 * 4);

    // While the page writes, the file on disk is still the old one (a crash now loses nothing).
    struct Watching : SettingsPage {
        QString file;
        QByteArray seen;
        void Serialize(CArchive& ar) override
        {
            SettingsPage::Serialize(ar);
            ar.Flush();
            QFile g(file);
            if (g.open(QIODevice::ReadOnly))
                seen = g.readAll();
        }
    } second;
    second.file = path;
    second.number = 5;
    second.text = QStringLiteral("new");
    second.SerializeSettings(path, 0);
    EXPECT_EQ(second.seen, old);
    SettingsPage check;
    check.SerializeSettings(path, 2);
    EXPECT_EQ(check.number, 5);
    EXPECT_EQ(check.text, QStringLiteral("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("page.set")});

    // A disk that fills up halfway (a file size limit stands in for it) keeps the old settings.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    SettingsPage big;
    big.text = QString(10000, QLatin1Char('x'));
    big.SerializeSettings(path, 0);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    SettingsPage after;
    after.SerializeSettings(path, 2);
    EXPECT_FALSE(after.failed);
    EXPECT_EQ(after.number, 5);
    EXPECT_EQ(after.text, QStringLiteral("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("page.set")});
}

TEST(MyDialog, RunTimeClassRecordAndCreationByName)
{
    const CRuntimeClass* c = RuntimeClassRegistry::Find(QStringLiteral("CMyDialog"));
    ASSERT_EQ(c, &CMyDialog::classCMyDialog);
    EXPECT_EQ(c->m_wSchema, 0xFFFFu);
    ASSERT_NE(c->m_pBaseClass, nullptr);
    EXPECT_STREQ(c->m_pBaseClass->m_lpszClassName, "CDialog");
    EXPECT_TRUE(c->IsDerivedFrom(&CObject::classCObject));

    std::unique_ptr<CObject> obj(RuntimeClassRegistry::CreateObject(QStringLiteral("CMyDialog")));
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(obj->GetRuntimeClass(), &CMyDialog::classCMyDialog);
    EXPECT_TRUE(obj->IsKindOf(&CMyDialog::classCMyDialog));
    auto* dlg = dynamic_cast<CMyDialog*>(obj.get());
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->m_bEnterCommand, TRUE);
    EXPECT_EQ(dlg->TemplateId(), 0u);
    EXPECT_EQ(RuntimeClassRegistry::CreateObject(QStringLiteral("CDialog")), nullptr);
}

TEST(MyDialog, ViewIsSetOnlyByAMainDialogAndForgottenWithTheView)
{
    addPageTemplate();
    CMyDialog::m_pView = nullptr;
    auto* view = new QWidget;
    {
        CMyDialog page(kPageTemplate, view, FALSE);
        EXPECT_EQ(CMyDialog::m_pView, nullptr);
        CMyDialog main(kPageTemplate, view, TRUE);
        EXPECT_EQ(CMyDialog::m_pView, view);
    }
    EXPECT_EQ(CMyDialog::m_pView, view); // nothing clears it while the view lives
    delete view;
    EXPECT_EQ(CMyDialog::m_pView, nullptr);
}
