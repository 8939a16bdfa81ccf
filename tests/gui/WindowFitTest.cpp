// The window on the screens people have. It opens inside the screen's available area
// at scale factors 1, 1.5 and 2, its smallest size fits there, and the live preview
// opens at its page's width where the screen has room (each case a program of its own:
// the screen and the scale are set before a program starts). Its place, its docks and
// the pane's width are kept from one start to the next.

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "env/Settings.h"
#include "gui/TLivePreview.h"
#include "gui/TWindowLayoutKeeper.h"
#include "support/WindowTest.h"

namespace qm::test {
namespace {

// What the test child reports of a window shown on a screen of its own.
struct TFit {
    QRect available, frame;
    QSize minimum;
    int dock = -1;
};

QRect RectOf(const QStringList& words) {
    return words.size() == 5 ? QRect(words[1].toInt(), words[2].toInt(), words[3].toInt(), words[4].toInt()) : QRect();
}

// The window as quillamere-gui-test-child shows it, scale times on a screen of physical
// pixels, with the pane open or not, in settings of its own.
TFit FitOn(const QString& folder, const char* scale, QSize screen, bool pane) {
    const QString config = folder + "/screen.json";
    QFile file(config);
    if (file.open(QIODevice::WriteOnly))
        file.write(QStringLiteral(R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": %1, "height": %2,
                                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                       .arg(screen.width())
                       .arg(screen.height())
                       .toUtf8());
    file.close();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
    environment.insert("QT_SCALE_FACTOR", scale);
    environment.insert("XDG_CONFIG_HOME", folder + "/config");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationDirPath() + "/quillamere-gui-test-child",
                {"fit", pane ? "open" : "closed"});
    TFit fit;
    if (!child.waitForFinished(60000) || child.exitCode() != 0) return fit;
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split('\n')) {
        const QStringList words = line.split(' ');
        if (words[0] == "available") fit.available = RectOf(words);
        if (words[0] == "frame") fit.frame = RectOf(words);
        if (words[0] == "minimum" && words.size() == 3) fit.minimum = QSize(words[1].toInt(), words[2].toInt());
        if (words[0] == "dock" && words.size() == 2) fit.dock = words[1].toInt();
    }
    return fit;
}

class WindowFitTest : public WindowTest {
protected:
    void TearDown() override {
        WindowTest::TearDown();
        // The next test's window starts afresh.
        TWindowLayoutKeeper::Forget();
        WriteBoolSetting("LivePreviewOpen", false);
    }
    QDockWidget* Dock() { return Find<QDockWidget>("dckLivePreview"); }
    void Settle() { SettleWindow(*window, *Dock()); }
    void ShowNewWindow() {
        window.reset(new TMainForm(&dialogs));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        Settle();
    }
};

TEST_F(WindowFitTest, TheWindowFitsTheScreenAtScaleFactorsOneToTwo) {
    const struct {
        const char* scale;
        QSize screen;  // physical pixels
    } cases[] = {
        {"1", {1600, 1000}}, {"1.5", {1600, 1000}}, {"2", {1600, 1000}}, {"1.5", {1280, 720}}, {"1", {1280, 720}},
    };
    const int page = TLivePreview::ViewportWidth(TLivePreview::TWidth::Box, 600);
    for (const auto& c : cases) {
        for (const bool pane : {false, true}) {
            SCOPED_TRACE(std::string(c.scale) + "x on " + std::to_string(c.screen.width()) + ", pane " +
                         (pane ? "open" : "closed"));
            const TFit fit = FitOn(NewFolder("fit"), c.scale, c.screen, pane);
            ASSERT_FALSE(fit.available.isEmpty()) << "the child reported nothing";
            EXPECT_TRUE(fit.available.contains(fit.frame)) << fit.frame.x() << "," << fit.frame.y() << " "
                                                           << fit.frame.width() << "x" << fit.frame.height();
            EXPECT_LE(fit.minimum.width(), fit.available.width());
            EXPECT_LE(fit.minimum.height(), fit.available.height());
            if (!pane) {
                EXPECT_EQ(fit.dock, 0);
                continue;
            }
            // The whole page where the screen has room; else all the room the screen has.
            if (fit.dock < page) {
                EXPECT_EQ(fit.frame.width(), fit.available.width()) << "dock " << fit.dock;
            }
            EXPECT_GT(fit.dock, 0);
        }
    }
}

// The pane keeps the width it was dragged to when the window shrinks and grows again,
// and the window its place and docks from one start to the next; Exit keeps the pane
// open that was open.
TEST_F(WindowFitTest, ThePanesWidthAndTheWindowsPlaceAreKept) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->resize(760, 520);
    Settle();
    window->findChild<QAction*>("LivePreview1")->trigger();
    Settle();
    ASSERT_TRUE(Dock()->isVisible());
    // Dragged 40 px narrower by the separator between the pages and the pane.
    const int opened = Dock()->width();
    const QPoint separator((window->centralWidget()->geometry().right() + Dock()->geometry().left()) / 2,
                           Dock()->geometry().center().y());
    QTest::mousePress(window.get(), Qt::LeftButton, {}, separator);
    // A move with the button held (QTest's own move carries no button).
    const QPoint to = separator + QPoint(40, 0);
    QMouseEvent drag(QEvent::MouseMove, to, window->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drag);
    Settle();  // the window follows a separator's drag once it is free
    QMouseEvent release(QEvent::MouseButtonRelease, to, window->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(window.get(), &release);
    Settle();
    const int dragged = Dock()->width();
    ASSERT_EQ(dragged, opened - 40);

    window->resize(window->width() - 200, window->height());
    Settle();
    window->resize(window->width() + 260, window->height());
    Settle();
    EXPECT_EQ(Dock()->width(), dragged) << "the room came back to the pane first";

    const QRect place = window->geometry();
    window->findChild<QAction*>("Exit1")->trigger();
    ASSERT_FALSE(window->isVisible());
    ShowNewWindow();
    EXPECT_EQ(window->geometry(), place);
    EXPECT_TRUE(Dock()->isVisible()) << "Exit keeps the open pane open";
    EXPECT_EQ(Dock()->width(), dragged);

    // Closed by the user, it stays closed at the next start.
    window->findChild<QAction*>("LivePreview1")->trigger();
    window->findChild<QAction*>("Exit1")->trigger();
    ShowNewWindow();
    EXPECT_FALSE(Dock()->isVisible());
}

}  // namespace
}  // namespace qm::test
