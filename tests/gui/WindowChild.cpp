// Not a test: a window in a program of its own, for the tests that need a second
// running program (one killed with SIGKILL, one that holds a project). It runs in the
// home the test program set up, which it inherits, and says on its standard output
// when it has done its part:
//   quillamere-gui-test-child edit <project>   opens the project, inserts three items,
//                                              prints "written <copy>" once the
//                                              recovery copy is on disk
//   quillamere-gui-test-child hold <project>   opens the project, prints "holding"
// and then runs until it is ended.

#include <QApplication>
#include <QTextStream>

#include "support/TFakeUserDialogs.h"
#include "gui/TMainForm.h"
#include "gui/TRecoveryStore.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString project = QString::fromLocal8Bit(argv[2]);
    qm::test::TFakeUserDialogs dialogs;
    qm::TMainForm window(&dialogs);
    window.show();
    QTextStream out(stdout);
    if (!window.OpenProjectFile(project)) return 3;
    if (mode == QLatin1String("edit")) {
        QObject::connect(&window.Recovery(), &qm::TRecoveryStore::Written, [&](const QString& copy) {
            out << "written " << copy << '\n';
            out.flush();
        });
        for (int i = 0; i < 3; ++i) {
            window.SelectNode(qm::kRootNode);
            window.Insert1Click();
        }
    } else {
        out << "holding\n";
        out.flush();
    }
    return QApplication::exec();
}
