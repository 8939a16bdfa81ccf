// Runs the window tests with an application object on the offscreen platform. HOME and
// the XDG folders point into a temporary folder before the application starts, so that
// no test can touch the real user's files; each test makes its own TestProfile besides.

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir outerHome;
    if (!outerHome.isValid()) return 1;
    qputenv("HOME", outerHome.path().toUtf8());
    qputenv("XDG_DATA_HOME", (outerHome.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (outerHome.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (outerHome.path() + QStringLiteral("/cache")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", outerHome.path().toUtf8());

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
