// The test program of the window tests: the application object set up as the program sets up its
// own (resources, the handheld's colours, a hidden main window that runs on), then the tests.

#include "app/StavoApp.h"
#include "res/Resources.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    res::RegisterResources();
    stavo::ApplySystemColours();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
