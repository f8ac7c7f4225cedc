// Test entry: one offscreen QApplication for every test of the executable, on a screen of a
// user's desk (1600 x 1000) rather than the platform's own 800 x 800, so that windows open
// there as they open for a user.
#include <QApplication>
#include <QTemporaryFile>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QTemporaryFile screens;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if ((platform.isEmpty() || platform == "offscreen") && screens.open()) {
        screens.write(R"({"screens": [{"name": "Desk", "x": 0, "y": 0, "width": 1600, "height": 1000,)"
                      R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    }
    QApplication app(argc, argv);
    QApplication::setLayoutDirection(Qt::RightToLeft);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
