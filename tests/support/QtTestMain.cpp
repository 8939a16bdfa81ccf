// The main of the Qt test programs that need an application object (windows, the
// browser chooser) and nothing else of their own: offscreen, in a temporary home made
// before the application starts.

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestProgram.h"

int main(int argc, char** argv) {
    QTemporaryDir outerHome;
    if (!outerHome.isValid()) return 1;
    qm::test::SetUpTestProgram(outerHome.path());

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
