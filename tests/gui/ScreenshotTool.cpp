// Not a test: renders the main window's pages and the auxiliary windows to PNG files so
// that a person can look at them (quillamere-gui-screenshots <folder> [project]).

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

#include "TFakeUserDialogs.h"
#include "TMainForm.h"
#include "TfrmMsgBox_LinkTip.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString folder = arguments.value(1, QStringLiteral("."));
    QDir().mkpath(folder);
    qm::testing::TFakeUserDialogs dialogs;
    qm::TMainForm window(&dialogs);
    window.show();
    const auto shoot = [&](QWidget& widget, const QString& name) {
        QApplication::processEvents();
        widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    };
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("pgcntrl1"));
    const auto shootPages = [&](const QString& prefix) {
        window.SelectNode(qm::kRootNode);
        for (const char* page : {"tbshtScript", "tbshtStyle", "tbshtPath"}) {
            pages->setCurrentWidget(window.findChild<QWidget*>(QString::fromLatin1(page)));
            shoot(window, prefix + QLatin1Char('-') + QString::fromLatin1(page));
        }
        if (window.Agent().ItemCount() > 1) {
            window.SelectNode(1);
            shoot(window, prefix + QStringLiteral("-tbshtItem"));
        }
    };
    shootPages(QStringLiteral("initial"));
    if (arguments.size() > 2) {
        window.OpenProjectFile(arguments[2]);
        window.findChild<QTreeView*>(QStringLiteral("trvwDesignPanel"))->expandAll();
        shootPages(QStringLiteral("sample"));
    }
    qm::TfrmMsgBox_LinkTip tip(dialogs, &window);
    tip.show();
    shoot(tip, QStringLiteral("link-tip"));
    window.SetModified(false);
    return 0;
}
