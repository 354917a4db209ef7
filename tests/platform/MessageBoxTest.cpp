// Message boxes answered by the test responder, and the environment responder of process tests.

#include "platform/MessageBox.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

TEST(MessageBoxes, ResponderAnswersAndRecords)
{
    ClearMessageBoxLog();
    SetMessageBoxResponder([](const MessageBoxCall& c) { return (c.type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK; });
    EXPECT_EQ(MessageBox(nullptr, QStringLiteral("确定退出程序？"), QStringLiteral("Stavo V1.0"), MB_YESNO), IDNO);
    EXPECT_EQ(MessageBox(nullptr, QStringLiteral("x"), QString(), MB_OK | MB_ICONINFORMATION), IDOK);
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("确定退出程序？"));
    EXPECT_EQ(MessageBoxLog()[0].type, MB_YESNO);
    EXPECT_EQ(MessageBoxLog()[0].result, IDNO);
    EXPECT_EQ(MessageBoxLog()[1].type, MB_OK | MB_ICONINFORMATION);
    SetMessageBoxResponder(nullptr);
}

TEST(MessageBoxes, DefaultResultIsTheFirstButton)
{
    const struct {
        UINT type;
        int result;
    } cases[] = {{MB_OK, IDOK},       {MB_OKCANCEL | MB_ICONQUESTION, IDOK}, {MB_YESNO, IDYES},
                 {MB_YESNOCANCEL, IDYES}, {MB_RETRYCANCEL, IDRETRY},           {MB_ABORTRETRYIGNORE, IDABORT}};
    for (const auto& c : cases)
        EXPECT_EQ(DefaultMessageBoxResult(c.type), c.result) << c.type;
}

TEST(MessageBoxes, EnvironmentResponderAnswersInOrderAndLogs)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("boxes.log"));
    qputenv("STAVO_MSGBOX_LOG", log.toUtf8());
    qputenv("STAVO_MSGBOX_ANSWERS", "7");
    InstallEnvironmentResponder();
    EXPECT_EQ(MessageBox(nullptr, QStringLiteral("a\nb"), QString(), MB_YESNO), IDNO);
    EXPECT_EQ(MessageBox(nullptr, QStringLiteral("c"), QString(), MB_YESNO), IDYES); // list used up
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QStringLiteral("4 7 a\\nb\n4 6 c\n"));
    qunsetenv("STAVO_MSGBOX_LOG");
    qunsetenv("STAVO_MSGBOX_ANSWERS");
    SetMessageBoxResponder(nullptr);
}
