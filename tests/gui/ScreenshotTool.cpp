// Not a test: renders the main window's pages and the auxiliary windows to PNG files so
// that a person can look at them, in a light and a dark palette, at the window's
// smallest size and at a large one:
//   quillamere-gui-screenshots <folder> [project]
// The project defaults to the shipped sample harbour.zorbel. Files are named
// <palette>-<size>-<page>.png and <palette>-<window>.png; edit-menu.png shows the Edit
// menu open after a step, drop-allowed.png and drop-refused.png a node dragged over the
// tree (the drag's image drawn where the pointer is); live-preview-<width>.png the live
// preview pane at the box's, a phone's and a tablet's width after an edit, and help.png
// the help window with a topic beside the contents; publish-to-site.png the list of pages
// that Publish to Site will change, broken-link.png an item whose link leads nowhere
// marked in the tree; recovery-offer.png, recovery-offer-several.png and
// changed-on-disk.png the questions that keep work. (The web engine's sandbox is off
// here, as in the tests: the pictures are made in containers as root.)

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QFile>
#include <QFileInfo>
#include <QToolButton>
#include <QDragMoveEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTreeView>

#include "env/AppFolders.h"
#include "support/TFakeUserDialogs.h"
#include "gui/TMainForm.h"
#include "gui/TProjectFiles.h"
#include "gui/TWorkKeeper.h"
#include "gui/THelpCommands.h"
#include "gui/TPreviewCommands.h"
#include "gui/TQtUserDialogs.h"
#include "gui/TRecoveryOffer.h"
#include "gui/IWebEngine.h"
#include "gui/TLivePreview.h"
#include "gui/TMenuTreeModel.h"
#include "gui/dialogs/TformAbout.h"
#include "env/TformWebBrowser.h"
#include "gui/dialogs/TfrmFlashLocalSecrityWarning.h"
#include "gui/TfrmMsgBox_LinkTip.h"
#include "gui/TfrmHelp.h"
#include "gui/dialogs/TfrmTemplet.h"
#include "gui/WebEngineHost.h"
#include "gui/TTreeCommands.h"

namespace {

// A dark desktop theme as the platform would hand it over.
QPalette DarkPalette() {
    QPalette dark;
    const QColor window(45, 45, 48), base(30, 30, 32), text(230, 230, 230), disabled(130, 130, 130);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, disabled);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::BrightText, QColor(255, 110, 110));
    dark.setColor(QPalette::Light, QColor(70, 70, 74));
    dark.setColor(QPalette::Midlight, QColor(60, 60, 64));
    dark.setColor(QPalette::Mid, QColor(80, 80, 84));
    dark.setColor(QPalette::Dark, QColor(20, 20, 22));
    dark.setColor(QPalette::Shadow, Qt::black);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Link, QColor(110, 170, 255));
    dark.setColor(QPalette::LinkVisited, QColor(200, 140, 255));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, disabled);
    return dark;
}

void Shoot(QWidget& widget, const QString& path) {
    QApplication::processEvents();
    widget.grab().save(path);
}

// The window with its Edit menu open: a popup is a window of its own, so it is drawn
// onto the window's picture where it stands.
void ShootEditMenu(qm::TMainForm& window, const QString& path) {
    auto* edit = window.findChild<QMenu*>(QStringLiteral("Edit1"));
    QMenuBar* bar = window.menuBar();
    const QPoint at = bar->mapTo(&window, bar->actionGeometry(edit->menuAction()).bottomLeft());
    bar->setActiveAction(edit->menuAction());
    edit->popup(window.mapToGlobal(at));
    QApplication::processEvents();
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    painter.drawPixmap(at, edit->grab());
    painter.end();
    picture.save(path);
    edit->hide();
    bar->setActiveAction(nullptr);
}

// A node dragged over the tree as far as the pointer at `to`: the view draws where it
// would land (or nothing where the two-level rule refuses it); the drag's image, the
// node's row, is drawn beside the pointer as the platform would.
void ShootDrop(qm::TMainForm& window, int dragged, int over, bool aboveIt, const QString& path) {
    auto* tree = window.findChild<QTreeView*>(QStringLiteral("trvwDesignPanel"));
    auto& model = window.TreeModel();
    tree->expandAll();
    const QModelIndex source = model.IndexOfNode(dragged);
    const QRect target = tree->visualRect(model.IndexOfNode(over));
    const QPoint to = aboveIt ? QPoint(target.center().x(), target.top() + 1) : target.center();
    std::unique_ptr<QMimeData> data(model.mimeData({source}));
    QDragEnterEvent enter(to, Qt::MoveAction | Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &enter);
    QDragMoveEvent move(to, Qt::MoveAction | Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &move);
    tree->viewport()->repaint();
    QApplication::processEvents();
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    painter.setOpacity(0.7);
    QRect row = tree->visualRect(source);
    row.setWidth(std::min(row.width(), 140));
    painter.drawPixmap(tree->viewport()->mapTo(&window, to) + QPoint(12, 8), tree->viewport()->grab(row));
    painter.end();
    picture.save(path);
    QDragLeaveEvent leave;
    QApplication::sendEvent(tree->viewport(), &leave);
}

// Runs step and waits (at most a while) for signal of sender.
template <class Sender, class Signal, class Step>
void WaitFor(Sender* sender, Signal signal, Step&& step) {
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    step();
    loop.exec();
}

// The live preview pane beside the panels after an edit, at each of its widths.
void ShootLivePreview(qm::TMainForm& window, const QString& folder) {
    window.resize(QSize(1500, 760));
    qm::TLivePreview& pane = window.Preview().LivePreview();
    WaitFor(&pane, &qm::TLivePreview::PageShown,
            [&] { window.findChild<QAction*>(QStringLiteral("LivePreview1"))->trigger(); });
    WaitFor(&pane, &qm::TLivePreview::PageShown, [&] {
        window.SelectNode(0);
        window.Document().SetItemValue(0, qm::FieldIndex(qm::ItemField::Text), "Harbour & Quay");
        window.Document().SetLookValue(4, "FFD37A");  // the main items' text colour
    });
    for (const char* width : {"Box", "Phone", "Tablet"}) {
        window.findChild<QToolButton*>(QStringLiteral("tlbtnPreview") + QString::fromLatin1(width))->click();
        // The page lays itself out anew at the new width; on the phone the menu is open.
        QEventLoop settle;
        QTimer::singleShot(600, &settle, &QEventLoop::quit);
        settle.exec();
        if (QString::fromLatin1(width) == QLatin1String("Phone")) {
            pane.View()->RunJavaScript(QStringLiteral("document.getElementById('mkvo_menu_zelvan_outer_div').shadowRoot.querySelector('.more > button').click()"), {});
            QEventLoop open;
            QTimer::singleShot(600, &open, &QEventLoop::quit);
            open.exec();
        }
        Shoot(window, folder + QStringLiteral("/live-preview-") + QString::fromLatin1(width).toLower() + ".png");
    }
    window.findChild<QAction*>(QStringLiteral("LivePreview1"))->trigger();
}

// Publish to Site with the list of pages that will change, and an item whose link leads
// to no page of the site marked in the tree, with its tooltip. The site is made for the
// picture: pages at three depths, one with no place for the menu, one in UTF-16.
void ShootSite(qm::TMainForm& window, qm::test::TFakeUserDialogs& dialogs, const QString& folder) {
    QTemporaryDir site;
    const auto write = [&site](const QString& name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(site.filePath(name)).absolutePath());
        QFile file(site.filePath(name));
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    };
    const QByteArray marked = "<html><body>\n<!-- Quillamere menu -->\n<!-- End of Quillamere menu -->\n</body></html>\n";
    for (const char* page : {"index.html", "timetable.html", "boats/index.html", "boats/sailing.html",
                             "boats/motor/engines.html", "map.html"})
        write(QString::fromLatin1(page), marked);
    write(QStringLiteral("contact.html"), "<p>Write to us</p>");
    write(QStringLiteral("notes.html"), QByteArray("\xFF\xFE<\0p\0>\0", 8));
    window.SetCurrentFileName(site.filePath(QStringLiteral("harbour.zorbel")));
    // Harbour; Boats (Sailing, Motor, Rowing); ...: links to the site's pages, one to a
    // page it lacks.
    const std::pair<int, const char*> links[] = {{0, "index.html"}, {1, "boats/index.html"},
                                                 {2, "boats/sailing.html"}, {3, "boats/motor.html"},
                                                 {5, "timetable.html"}};
    for (const auto& [item, link] : links)
        window.Document().SetItemValue(item, qm::FieldIndex(qm::ItemField::Link), link);
    dialogs.modalAnswers.push_back([&](QDialog& dialog) {
        dialog.show();
        Shoot(dialog, folder + QStringLiteral("/publish-to-site.png"));
        return int(QDialog::Rejected);
    });
    window.findChild<QAction*>(QStringLiteral("PublishToSite1"))->trigger();

    window.findChild<QAction*>(QStringLiteral("CheckLinks1"))->trigger();
    auto* tree = window.findChild<QTreeView*>(QStringLiteral("trvwDesignPanel"));
    tree->expandAll();
    const auto& warnings = window.TreeModel().ItemWarnings();
    if (warnings.empty()) return;
    const QModelIndex marked_ = window.TreeModel().IndexOfNode(warnings.begin()->first);
    const QRect row = tree->visualRect(marked_);
    QToolTip::showText(tree->viewport()->mapToGlobal(row.bottomLeft() + QPoint(24, 4)), warnings.begin()->second, tree);
    QApplication::processEvents();
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->inherits("QTipLabel") && top->isVisible())
            painter.drawPixmap(tree->viewport()->mapTo(&window, row.bottomLeft() + QPoint(24, 4)), top->grab());
    painter.end();
    picture.save(folder + QStringLiteral("/broken-link.png"));
    QToolTip::hideText();
    window.SetCurrentFileName({});
}

void ShootHelp(qm::TMainForm& window, const QString& folder) {
    qm::TfrmHelp& help = window.Help().HelpWindow();
    WaitFor(&help, &qm::TfrmHelp::PageLoaded, [&] { window.Help().SpeedButton_OnClick_LaunchHelpDoc(nullptr); });
    QEventLoop settle;
    QTimer::singleShot(600, &settle, &QEventLoop::quit);
    settle.exec();
    Shoot(help, folder + QStringLiteral("/help.png"));
    help.hide();
}

// The offer of unsaved changes left by a crash, of one project and of several, and the
// question about a project file another program changed.
void ShootKeepingWork(qm::TMainForm& window, const QString& prefix) {
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime kept(now.date(), QTime(14, 32));
    const std::vector<qm::TStaleCopy> copies = {
        {QStringLiteral("a"), QStringLiteral("/home/ann/Sites/harbour/menu.zorbel"), kept, {}},
        {QStringLiteral("b"), {}, kept.addSecs(-600), {}},
        {QStringLiteral("c"), QStringLiteral("/home/ann/Sites/bakery/bakery.zorbel"), kept.addDays(-2), {}},
    };
    qm::TRecoveryOffer one({copies.front()}, now, &window);
    one.show();
    Shoot(one, prefix + QStringLiteral("recovery-offer.png"));
    qm::TRecoveryOffer several(copies, now, &window);
    several.show();
    Shoot(several, prefix + QStringLiteral("recovery-offer-several.png"));
    const auto question = qm::MakeQuestionBox(&window, qm::TWorkKeeper::ChangedOnDiskQuestion(QStringLiteral("menu.zorbel")));
    question->show();
    Shoot(*question, prefix + QStringLiteral("changed-on-disk.png"));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qm::PrepareWebEngine();
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QStringList arguments = QCoreApplication::arguments();
    const QString folder = arguments.value(1, QStringLiteral("."));
    const QString project = arguments.value(2, qm::GetProgramFolder() + QStringLiteral("samples/harbour.zorbel"));
    QDir().mkpath(folder);
    const QPalette light = QApplication::style()->standardPalette();

    for (const auto& [paletteName, palette] : {std::pair{QStringLiteral("light"), light},
                                               std::pair{QStringLiteral("dark"), DarkPalette()}}) {
        QApplication::setPalette(palette);
        const QString prefix = folder + QLatin1Char('/') + paletteName + QLatin1Char('-');
        qm::test::TFakeUserDialogs dialogs;
        qm::TMainForm window(&dialogs);
        window.Files().OpenProjectFile(project);
        window.show();
        auto* pages = window.findChild<QTabWidget*>(QStringLiteral("pgcntrl1"));
        for (const auto& [sizeName, size] : {std::pair{QStringLiteral("smallest"), window.minimumSizeHint()},
                                             std::pair{QStringLiteral("large"), QSize(1280, 860)}}) {
            window.resize(size);
            window.SelectNode(qm::kRootNode);
            for (const char* page : {"tbshtScript", "tbshtStyle", "tbshtPath"}) {
                pages->setCurrentWidget(window.findChild<QWidget*>(QString::fromLatin1(page)));
                Shoot(window, prefix + sizeName + QLatin1Char('-') + QString::fromLatin1(page) + ".png");
            }
            window.SelectNode(1);
            Shoot(window, prefix + sizeName + QStringLiteral("-tbshtItem.png"));
        }

        qm::TfrmMsgBox_LinkTip tip(dialogs, &window);
        tip.show();
        Shoot(tip, prefix + QStringLiteral("link-tip.png"));
        qm::TfrmFlashLocalSecrityWarning flash({}, &window);
        flash.show();
        Shoot(flash, prefix + QStringLiteral("flash-tip.png"));
        qm::TformAbout about({}, &window);
        about.show();
        Shoot(about, prefix + QStringLiteral("about.png"));
        qm::TfrmTemplet chooser({{}, {}, {}, qm::GetProgramFolder() + QStringLiteral("samples/")}, &window);
        chooser.show();
        Shoot(chooser, prefix + QStringLiteral("template-chooser.png"));
        qm::TformWebBrowser browser(&window);
        browser.show();
        Shoot(browser, prefix + QStringLiteral("web-browser.png"));
        ShootKeepingWork(window, prefix);
        if (paletteName == QStringLiteral("light")) {
            // Harbour; Boats (Sailing, Motor, Rowing); Timetable (Summer, Winter); Café Quai; Map
            window.resize(QSize(1000, 700));
            window.SelectNode(5);
            window.TreeCommands().MoveUp1Click();
            window.SelectNode(3);
            window.findChild<QAction*>(QStringLiteral("Copy1"))->trigger();
            ShootEditMenu(window, folder + QStringLiteral("/edit-menu.png"));
            window.findChild<QAction*>(QStringLiteral("Undo1"))->trigger();
            ShootDrop(window, 8, 3, true, folder + QStringLiteral("/drop-allowed.png"));  // Café Quai before Motor
            ShootDrop(window, 1, 5, false, folder + QStringLiteral("/drop-refused.png"));  // Boats on Timetable
            ShootSite(window, dialogs, folder);
            ShootLivePreview(window, folder);
            ShootHelp(window, folder);
        }
        window.SetModified(false);
    }
    return 0;
}
