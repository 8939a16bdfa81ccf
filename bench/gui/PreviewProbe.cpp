// Opening the live preview pane in a program just started: from View > Live Preview
// until the pane shows its first page, in nanoseconds on standard output
// ("first_page_ns=N"). The engine starts cold, as it does for the user.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "gui/TLivePreview.h"
#include "gui/TMainForm.h"
#include "env/Settings.h"
#include "gui/TMenuDocument.h"
#include "gui/TPreviewCommands.h"
#include "gui/WebEngineHost.h"

int main(int argc, char** argv) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");  // the benchmark runs as root in containers
    qm::PrepareWebEngine();
    QApplication application(argc, argv);
    qm::WriteBoolSetting(QStringLiteral("LivePreviewOpen"), false);  // the pane starts closed
    qm::TMainForm window;
    for (int i = 0; i < 5; ++i) window.Document().InsertNewItem(qm::kRootNode);
    window.show();
    QElapsedTimer clock;
    QObject::connect(&window.Preview().LivePreview(), &qm::TLivePreview::PageShown, &application, [&] {
        std::printf("first_page_ns=%lld\n", static_cast<long long>(clock.nsecsElapsed()));
        QCoreApplication::exit(0);
    });
    QTimer::singleShot(0, &window, [&] {
        clock.start();
        window.findChild<QAction*>(QStringLiteral("LivePreview1"))->trigger();
    });
    QTimer::singleShot(30000, &application, [] { QCoreApplication::exit(1); });
    const int result = QApplication::exec();
    window.SetModified(false);
    return result;
}
