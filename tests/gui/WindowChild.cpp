// Not a test: a window in a program of its own, for the tests that need a second
// running program (one killed with SIGKILL, one that holds a project) or a platform of
// its own (a screen's size and scale factor are set before the program starts). It
// runs in the home the test program set up, which it inherits, and says on its
// standard output when it has done its part:
//   quillamere-gui-test-child edit <project>   opens the project, inserts three items,
//                                              prints "written <copy>" once the
//                                              recovery copy is on disk
//   quillamere-gui-test-child hold <project>   opens the project, prints "holding"
//   quillamere-gui-test-child fit <pane>       shows the window (and opens the live
//                                              preview pane with pane "open"), prints
//                                              where it lies and how small it can be,
//                                              closes it and ends
// and then runs until it is ended.

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QScreen>
#include <QTest>
#include <QTextStream>

#include "support/TFakeUserDialogs.h"
#include "support/WindowTest.h"
#include "gui/TMainForm.h"
#include "gui/TProjectFiles.h"
#include "gui/TWorkKeeper.h"
#include "gui/TRecoveryStore.h"
#include "gui/WebEngineHost.h"
#include "gui/TTreeCommands.h"

namespace {

QString Rect(const QRect& r) {
    return QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// "available", "frame", "minimum" (the frame's size at the window's minimum) and
// "dock" (the pane's width, 0 while closed), one a line.
int Fit(qm::TMainForm& window, bool openPane) {
    QTextStream out(stdout);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 4;
    auto* dock = window.findChild<QDockWidget*>(QStringLiteral("dckLivePreview"));
    qm::test::SettleWindow(window, *dock);
    if (openPane) {
        window.findChild<QAction*>(QStringLiteral("LivePreview1"))->trigger();
        qm::test::SettleWindow(window, *dock);
    }
    const QSize frame = window.frameGeometry().size() - window.size();
    out << "available " << Rect(window.screen()->availableGeometry()) << '\n'
        << "frame " << Rect(window.frameGeometry()) << '\n'
        << "minimum " << (window.minimumSizeHint().expandedTo(window.minimumSize()) + frame).width() << ' '
        << (window.minimumSizeHint().expandedTo(window.minimumSize()) + frame).height() << '\n'
        << "dock " << (dock->isVisible() ? dock->width() : 0) << '\n';
    out.flush();
    window.close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "fit")
        qm::RefuseWebEngine(QStringLiteral("the window's fitting is measured without it"));
    QApplication application(argc, argv);
    if (argc != 3) return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    qm::test::TFakeUserDialogs dialogs;
    qm::TMainForm window(&dialogs);
    if (mode == QLatin1String("fit")) return Fit(window, QByteArray(argv[2]) == "open");
    const QString project = QString::fromLocal8Bit(argv[2]);
    window.show();
    QTextStream out(stdout);
    if (!window.Files().OpenProjectFile(project)) return 3;
    if (mode == QLatin1String("edit")) {
        QObject::connect(&window.Keeper().Recovery(), &qm::TRecoveryStore::Written, [&](const QString& copy) {
            out << "written " << copy << '\n';
            out.flush();
        });
        for (int i = 0; i < 3; ++i) {
            window.SelectNode(qm::kRootNode);
            window.TreeCommands().Insert1Click();
        }
    } else {
        out << "holding\n";
        out.flush();
    }
    return QApplication::exec();
}
