#include "support/WindowTest.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include "gui/TMenuTreeModel.h"
#include "gui/TPropertyPages.h"
#include "gui/TWindowLayoutKeeper.h"
#include "env/Settings.h"
#include "support/TestProgram.h"
#include "gui/WebEngineHost.h"

namespace qm::test {

void RecordQtWarning(const QString& message);

namespace {
QStringList& Warnings() {
    static QStringList warnings;
    return warnings;
}
int folderCounter = 0;
QTemporaryDir* home = nullptr;
QStringList ignoredWarnings;

void MessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    // Notices of the offscreen platform, and the help window's note about a help page
    // that is not installed beside the test program, are not failures of the program.
    if (message.contains(QLatin1String("propagateSizeHints")) ||
        message.contains(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QTextBrowser: No document for")))
        return;
    for (const QString& ignored : ignoredWarnings)
        if (message.contains(ignored)) return;
    RecordQtWarning(message);
    fprintf(stderr, "Qt: %s\n", qPrintable(message));
}
}  // namespace

void BuildAllPages(QWidget& window) {
    if (auto* pages = window.findChild<TPropertyPages*>()) pages->BuildAllPages();
}

QString TestHome() {
    return home->path();
}

int RunWindowTests(int argc, char** argv, const WindowTestOptions& options) {
    QTemporaryDir temporaryHome;
    home = &temporaryHome;
    SetUpTestProgram(temporaryHome.path(), {.documents = true, .runtimeSubfolder = true});
    PrepareWebEngine();
    if (options.webEngine) {
        // Chromium's sandbox is off in tests only: they run as root in containers, where
        // it cannot be set up. The program itself never switches it off.
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        ignoredWarnings = options.ignoredWarnings;
    } else {
        RefuseWebEngine(QStringLiteral("the tests of the window alone run without it"));
    }
    QApplication app(argc, argv);
    qInstallMessageHandler(MessageHandler);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    home = nullptr;
    return result;
}

void RecordQtWarning(const QString& message) {
    Warnings() << message;
}

QStringList TakeQtWarnings() {
    QStringList taken;
    taken.swap(Warnings());
    return taken;
}

void SettleWindow(const QWidget& window, const QWidget& dock) {
    QRect frame;
    int width = -1;
    for (int unchanged = 0, rounds = 0; unchanged < 3 && rounds < 100; ++rounds) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        unchanged = frame == window.frameGeometry() && width == dock.width() ? unchanged + 1 : 0;
        frame = window.frameGeometry();
        width = dock.width();
    }
}

void WindowTest::SetUp() {
    TakeQtWarnings();
    // A window closed by an earlier test kept its place, and a pane opened is kept open:
    // each test's window starts afresh.
    TWindowLayoutKeeper::Forget();
    if (ReadBoolSetting(QStringLiteral("LivePreviewOpen"), false)) WriteBoolSetting(QStringLiteral("LivePreviewOpen"), false);
    window = std::make_unique<TMainForm>(&dialogs);
}

void WindowTest::TearDown() {
    if (window) {
        // Closing would ask to save: the tests leave without a question.
        window->SetModified(false);
        window.reset();
    }
    const QStringList warnings = TakeQtWarnings();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
}

void WindowTest::Select(int node) {
    window->SelectNode(node);
}

std::vector<std::string> WindowTest::Captions() const {
    std::vector<std::string> captions;
    for (const auto& item : window->Agent().Items()) captions.push_back(item.Text);
    return captions;
}

std::vector<std::string> WindowTest::CaptionsWithLevels() const {
    std::vector<std::string> captions;
    for (const auto& item : window->Agent().Items()) captions.push_back(item.Text + ":" + item.Level);
    return captions;
}

void WindowTest::MakeDocument(const std::vector<ItemRow>& rows) {
    ASSERT_EQ(window->Agent().ItemCount(), 0) << "a document is made in an empty window";
    ASSERT_NE(window->Document().InsertItems(kRootNode, 0, MakeItems(rows), QStringLiteral("Insert Item")), kNoNode);
    Select(kRootNode);
}

QString WindowTest::NewFolder(const QString& name) {
    const QString path = TestHome() + QStringLiteral("/work/") + name + QString::number(++folderCounter);
    QDir().mkpath(path);
    return path;
}

}  // namespace qm::test
