// The main of every window test program: offscreen unless told otherwise, a temporary
// home so that settings, per-user folders and documents never touch the real ones,
// and Qt's warnings recorded for the tests to check.

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "TestProgram.h"
#include "WebEngineHost.h"

namespace qm::testing {

void RecordQtWarning(const QString& message);

namespace {
QTemporaryDir* home = nullptr;

void MessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    // Notices of the offscreen platform, and the help window's note about a help page
    // that is not installed beside the test program, are not failures of the program.
    if (message.contains(QLatin1String("propagateSizeHints")) ||
        message.contains(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QTextBrowser: No document for")))
        return;
    RecordQtWarning(message);
    fprintf(stderr, "Qt: %s\n", qPrintable(message));
}
}  // namespace

QString TestHome() {
    return home->path();
}

}  // namespace qm::testing

int main(int argc, char** argv) {
    QTemporaryDir home;
    qm::testing::home = &home;
    qm::test::SetUpTestProgram(home.path(), {.documents = true, .runtimeSubfolder = true});

    // The window's own tests run without the web engine: the preview pane, the embedded
    // help and the measured estimate have test programs of their own.
    qm::PrepareWebEngine();
    qm::RefuseWebEngine(QStringLiteral("the tests of the window alone run without it"));
    QApplication app(argc, argv);
    qInstallMessageHandler(qm::testing::MessageHandler);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
