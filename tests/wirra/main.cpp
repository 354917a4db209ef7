// The receiver link tests need an application object: the port's reader thread runs a Qt event loop
// and notices are posted to a widget.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
