// The windows with the web engine: the live preview pane shows the published page and
// follows edits without writing a file, at the box's, a phone's and a tablet's width;
// its links resolve against the project's folder and are not followed; hover, click
// and keys reach the menu; the size estimate measures the drawn menu so that nothing
// is cut; the help window keeps its history; the engine reaches no network, and it is
// not loaded at start-up while the pane is closed.

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QDeadlineTimer>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QToolButton>

#include "env/AppFolders.h"
#include "support/WindowTest.h"
#include "model/LookValues.h"
#include "env/Settings.h"
#include "gui/TLivePreview.h"
#include "gui/THelpCommands.h"
#include "gui/TPreviewCommands.h"
#include "gui/TfrmHelp.h"
#include "gui/WebEngineHost.h"

// Under AddressSanitizer: the engine's own library (Chromium, built without the
// sanitizer) frees with sizes its allocations were not made with and keeps objects for
// the whole run. Those reports are the engine's, not this program's, so this test
// program alone checks no new/delete size pairs and ignores leaks whose allocation
// passed through the engine (or through the font and device libraries it loads);
// everything else stays checked, as in every other test program.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
extern "C" const char* __asan_default_options() {
    return "new_delete_type_mismatch=0";
}
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6WebEngineCore.so\nleak:libfontconfig.so\nleak:libudev.so\n";
}
#endif
#endif

namespace qm::test {
namespace {

constexpr int kEngineWait = 20000;  // ms; the first page starts the engine

// The script's answer, waited for.
QVariant Script(IWebView* view, const QString& script) {
    QVariant result;
    bool done = false;
    view->RunJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, kEngineWait)) << script.toStdString();
    return result;
}

// The shadow root of the box, where the script draws the menu.
#define MENU "document.getElementById('mkvo_menu_zelvan_outer_div').shadowRoot"

// Each main item of the drawn bar as "caption|text colour": its link, or without a
// link its caption or the button of its row.
const QString kMainItems = QStringLiteral(
    "[..." MENU ".querySelectorAll('.bar > .main:not(.more) > :first-child')]"
    ".map(a => a.textContent + '|' + getComputedStyle(a).color).join(',')");

class WebEngineTest : public WindowTest {
protected:
    void SetUp() override {
        // Each test opens the pane itself, at the box's width.
        WriteBoolSetting("LivePreviewOpen", false);
        WriteIntSetting("LivePreviewWidth", 0);
        WindowTest::SetUp();
        // A folder whose name must be escaped in an address.
        project = NewFolder("my site 100%") + "/menu.zorbel";
        window->SetCurrentFileName(project);
    }

    TLivePreview& Pane() { return window->Preview().LivePreview(); }
    IWebView* View() { return Pane().View(); }

    // Opens the pane (View > Live Preview) and waits for its first page.
    void OpenPane() {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QSignalSpy shown(&Pane(), &TLivePreview::PageShown);
        Find<QAction>("LivePreview1")->trigger();
        ASSERT_TRUE(shown.wait(kEngineWait)) << Pane().UnavailableText().toStdString();
    }
    // Runs a change and waits until the pane shows the page that follows it.
    template <class Change>
    void AfterShown(Change&& change) {
        QSignalSpy shown(&Pane(), &TLivePreview::PageShown);
        change();
        ASSERT_TRUE(shown.wait(kEngineWait));
    }
    QString MainItems() { return Script(View(), kMainItems).toString(); }
    // The centre of the element a selector finds, in the view's coordinates.
    QPoint CentreOf(const QString& selector) {
        const QVariantList box =
            Script(View(), "(r => [r.left + r.width / 2, r.top + r.height / 2])(" MENU ".querySelector('" + selector +
                            "').getBoundingClientRect())")
                .toList();
        return box.size() == 2 ? QPoint(box[0].toInt(), box[1].toInt()) : QPoint();
    }
    QString StatusText() { return Find<QStatusBar>("StatusBar1")->currentMessage(); }

    QString project;
};

// Every file below a folder with its size and time of change, but the settings, which
// remember the pane's state.
QStringList FilesBelow(const QString& folder) {
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo info(it.next());
        if (info.filePath() == SettingsStoreLocation("Tarnwell")) continue;
        // The recovery copies are the edits' (written on the keeping-work timer), not the
        // preview's.
        if (info.filePath().startsWith(GetAppDataFolder() + QStringLiteral("Recovery/"))) continue;
        files << info.filePath() + " " + QString::number(info.size()) + " " +
                     QString::number(info.lastModified().toMSecsSinceEpoch());
    }
    files.sort();
    return files;
}

TEST_F(WebEngineTest, TheEngineStaysUnloadedWhileThePaneIsClosed) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    MakeDocument({{0, "Home"}});
    QCoreApplication::processEvents();  // what the edit set going, the preview's follow-up included
    EXPECT_FALSE(WebEngineLoaded());
    EXPECT_EQ(View(), nullptr);
    Find<QAction>("LivePreview1")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return View() != nullptr; }, kEngineWait));
    EXPECT_TRUE(WebEngineLoaded());
}

TEST_F(WebEngineTest, ThePaneShowsThePageAndFollowsAnEdit) {
    MakeDocument({{0, "Home"}, {0, "Boats"}, {1, "Sails"}});
    OpenPane();
    EXPECT_EQ(MainItems(), "Home|rgb(255, 255, 255),Boats|rgb(255, 255, 255)");
    // A row gets its sub items when it first opens.
    EXPECT_EQ(Script(View(), MENU ".querySelector('.main > button:last-of-type').click(),"
                             MENU ".querySelectorAll('.row li').length")
                  .toInt(),
              1);

    AfterShown([&] {
        Select(1);
        Find<QLineEdit>("edt_Text")->setText("Ships");
        window->Document().SetLookValue(kMainItemTextColor, "FF8000");
    });
    EXPECT_EQ(MainItems(), "Home|rgb(255, 128, 0),Ships|rgb(255, 128, 0)");
    AfterShown([&] { window->Undo1Click(); });
    EXPECT_EQ(MainItems(), "Home|rgb(255, 255, 255),Ships|rgb(255, 255, 255)");
}

// Typing while a page loads: the page under way is not cut short, and the changes made
// meanwhile come together in the one page after it.
TEST_F(WebEngineTest, ChangesMadeWhileAPageLoadsFollowInOnePage) {
    MakeDocument({{0, "Home"}});
    OpenPane();
    QSignalSpy shown(&Pane(), &TLivePreview::PageShown);
    Select(0);
    Find<QLineEdit>("edt_Text")->setText("Quay");
    // The page with "Quay" starts loading once the event loop is free; nothing of the
    // engine's can finish it within one pass.
    for (QDeadlineTimer deadline(kEngineWait); !Pane().Loading();) {
        ASSERT_FALSE(deadline.hasExpired());
        QCoreApplication::processEvents();
    }
    Find<QLineEdit>("edt_Text")->setText("Harbour");
    Find<QLineEdit>("edt_Text")->setText("Harbour Road");
    // Waits in the event loop proper: under QTest::qWaitFor's polling the engine's pages
    // load far slower.
    while (shown.count() < 2) ASSERT_TRUE(shown.wait(kEngineWait));
    // Nothing loading and nothing changed since: no third page is to come.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Pane().PageDue(); }, kEngineWait));
    EXPECT_EQ(shown.count(), 2);
    EXPECT_EQ(MainItems(), "Harbour Road|rgb(255, 255, 255)");
}

TEST_F(WebEngineTest, NoFileIsWrittenWhilePreviewing) {
    MakeDocument({{0, "Home"}, {0, "Boats"}});
    window->show();
    const QStringList before = FilesBelow(TestHome());
    OpenPane();
    for (const char* caption : {"One", "Two", "Three"})
        AfterShown([&] {
            Select(0);
            Find<QLineEdit>("edt_Text")->setText(caption);
        });
    EXPECT_EQ(FilesBelow(TestHome()), before);
}

TEST_F(WebEngineTest, LinksResolveAgainstTheProjectsFolderAndAreNotFollowed) {
    MakeDocument({{0, "About"}, {0, "Away"}});
    window->Document().SetItemValue(0, FieldIndex(ItemField::Link), "about.html");
    window->Document().SetItemValue(1, FieldIndex(ItemField::Link), "https://example.com/");
    window->Document().SetItemValue(1, FieldIndex(ItemField::Target), "_blank");
    OpenPane();
    const QString folder = QFileInfo(project).absolutePath();
    const QUrl page = View()->Url();
    EXPECT_EQ(page.path(QUrl::FullyDecoded), folder + "/menu.html") << "the page lies where it is published";
    const QUrl about(Script(View(), MENU ".querySelector('a').href").toString());
    EXPECT_EQ(about.scheme() + ":" + about.path(QUrl::FullyDecoded), QString(kPreviewScheme) + ":" + folder + "/about.html");

    const struct {
        const char* selector;
        QString address;
    } links[] = {
        {".bar > li:nth-child(1) > a", QUrl::fromLocalFile(folder + "/about.html").toString()},
        {".bar > li:nth-child(2) > a", "https://example.com/"},
    };
    for (const auto& link : links) {
        SCOPED_TRACE(link.selector);
        QTest::mouseMove(View()->Widget()->focusProxy(), CentreOf(link.selector));
        EXPECT_TRUE(QTest::qWaitFor([&] { return StatusText() == link.address; }, kEngineWait)) << StatusText().toStdString();
        QTest::mouseClick(View()->Widget()->focusProxy(), Qt::LeftButton, {}, CentreOf(link.selector));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return StatusText() == "Not followed in the preview: " + link.address; }, kEngineWait))
            << StatusText().toStdString();
        // The navigation was refused before the status bar said so.
        EXPECT_EQ(View()->Url(), page);
    }
    EXPECT_TRUE(dialogs.opened.isEmpty());
}

TEST_F(WebEngineTest, HoverClickAndKeysReachTheMenuAndEscapeStaysInThePane) {
    MakeDocument({{0, "Boats"}, {1, "Sails"}, {1, "Oars"}, {0, "Home"}});
    OpenPane();
    QWidget* surface = View()->Widget()->focusProxy();
    const QString expanded = MENU ".querySelector('.main > button:last-of-type').getAttribute('aria-expanded')";
    const auto waitExpanded = [&](const char* state) {
        return QTest::qWaitFor([&] { return Script(View(), expanded).toString() == state; }, kEngineWait);
    };
    QTest::mouseMove(surface, CentreOf(".main > :first-child"));
    EXPECT_TRUE(waitExpanded("true")) << "hover opens the row";
    QTest::mouseMove(surface, QPoint(5, 300));
    EXPECT_TRUE(waitExpanded("false")) << "leaving closes it after the delay";
    QTest::mouseClick(surface, Qt::LeftButton, {}, CentreOf(".main > button:last-of-type"));
    EXPECT_TRUE(waitExpanded("true")) << "a click opens and pins it";
    QTest::keyClick(surface, Qt::Key_Escape);
    EXPECT_TRUE(waitExpanded("false")) << "Escape closes it";
    EXPECT_TRUE(window->isVisible()) << "the window stays open";
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(WebEngineTest, ThePaneShowsTheBoxAPhoneAndATablet) {
    MakeDocument({{0, "Home"}, {0, "Boats"}, {1, "Sails"}});
    OpenPane();
    const struct {
        const char* button;
        int width;
        const char* drawn;
    } widths[] = {
        {"tlbtnPreviewPhone", 375, "Menu"},
        {"tlbtnPreviewTablet", 768, "bar"},
        {"tlbtnPreviewBox", 640, "bar"},  // the box of 600 with the page's margins, as wide as a desktop's bar
    };
    const QString drawn =
        "getComputedStyle(" MENU ".querySelector('.more')).display == 'none' ? 'bar' : "
        MENU ".querySelector('.more > button').textContent";
    for (const auto& choice : widths) {
        SCOPED_TRACE(choice.button);
        QTest::mouseClick(Find<QToolButton>(choice.button), Qt::LeftButton);
        EXPECT_EQ(Pane().ViewportWidth(), choice.width);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Script(View(), "window.innerWidth").toInt() == choice.width; },
                                    kEngineWait));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Script(View(), drawn).toString() == choice.drawn; }, kEngineWait))
            << Script(View(), drawn).toString().toStdString();
    }
    EXPECT_EQ(ReadIntSetting("LivePreviewWidth", -1), 0) << "the last choice is remembered";
    AfterShown([&] { Find<QSpinBox>("spnedtflMenuMaxWidth")->setValue(900); });
    EXPECT_EQ(Pane().ViewportWidth(), 916) << "the box as set follows the box";
}

TEST_F(WebEngineTest, ThePaneOpensAsItWasLeft) {
    WriteBoolSetting("LivePreviewOpen", true);
    WriteIntSetting("LivePreviewWidth", 375);
    window.reset(new TMainForm(&dialogs));
    window->show();
    QSignalSpy shown(&Pane(), &TLivePreview::PageShown);
    EXPECT_TRUE(Find<QDockWidget>("dckLivePreview")->isVisible());
    EXPECT_EQ(Pane().Width(), TLivePreview::TWidth::Phone);
    EXPECT_TRUE(shown.wait(kEngineWait));
    Find<QAction>("LivePreview1")->trigger();
    EXPECT_FALSE(ReadBoolSetting("LivePreviewOpen", true));
}

TEST_F(WebEngineTest, TheEstimateLeavesNothingCutForLongCaptions) {
    MakeDocument({{0, "Our whole long history"},
               {0, "Boats and sailing dinghies"},
               {1, "Sails, ropes and everything between"},
               {0, "Contact the harbour master"}});
    const auto [formulaWidth, formulaHeight] = std::pair(3 * (2 * 25 + 45), 20 + 15 + 3);
    QTest::mouseClick(Find<QPushButton>("btnCalcSize"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Find<QPushButton>("btnCalcSize")->isEnabled(); }, kEngineWait));
    EXPECT_EQ(window->Document().UndoStack().undoText(), "Estimate Menu Box Size");
    const int width = Find<QSpinBox>("spnedtflMenuMaxWidth")->value();
    const int height = Find<QSpinBox>("spnedtflMenuMaxHeight")->value();
    EXPECT_GT(width, formulaWidth) << "the formula cuts these captions";
    EXPECT_EQ(height, formulaHeight - 3) << "the bar and a row of sub items, at the look's heights";

    OpenPane();
    const QString fits = QStringLiteral(R"((() => {
      const host = document.getElementById('mkvo_menu_zelvan_outer_div'), menu = host.shadowRoot, box = host.getBoundingClientRect();
      const bar = menu.querySelector('.bar').getBoundingClientRect();
      const more = getComputedStyle(menu.querySelector('.more')).display;
      const rows = [...menu.querySelectorAll('.row')].map(r => r.getBoundingClientRect());
      return [menu.querySelectorAll('.bar > .main:not(.more)').length, more,
              bar.right <= box.right, rows.every(r => r.width <= box.width && bar.height + r.height <= box.height)];
    })())");
    // Under load the view may take its width after the first page is shown; the menu is
    // fitted anew when it does. Waits until the bar is drawn at the view's width.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return Script(View(), "window.innerWidth").toInt() == Pane().ViewportWidth() &&
               Script(View(), fits).toList().value(0).toInt() > 0;
    }, kEngineWait)) << "no main item in the bar at the view's width";
    EXPECT_EQ(Script(View(), fits).toList(), QVariantList({3, "none", true, true}));
}

TEST_F(WebEngineTest, TheHelpWindowShowsTopicsBesideTheirContentsAndKeepsItsHistory) {
    window->show();
    TfrmHelp& help = window->Help().HelpWindow();
    const auto waitFor = [&](auto&& step, const QString& page) {
        QSignalSpy loaded(&help, &TfrmHelp::PageLoaded);
        step();
        EXPECT_TRUE(loaded.wait(kEngineWait));
        EXPECT_TRUE(help.CurrentUrl().endsWith("/help/" + page)) << help.CurrentUrl().toStdString();
    };
    waitFor([&] { window->Help().Topic1Click(); }, "index.html");
    ASSERT_NE(help.View(), nullptr);
    EXPECT_TRUE(help.isVisible());
    EXPECT_FALSE(help.CanGoBack());
    const QString sideBySide = QStringLiteral(
        "document.querySelector('nav.contents').getBoundingClientRect().right <= "
        "document.querySelector('main').getBoundingClientRect().left");
    EXPECT_TRUE(Script(help.View(), sideBySide).toBool());
    // A person's click: a page that leaves itself by a script is passed over by Back.
    const QVariantList link =
        Script(help.View(), "(r => [r.left + r.width / 2, r.top + r.height / 2])(document.querySelector("
                            "'nav a[href=\"getting_started.htm\"]').getBoundingClientRect())")
            .toList();
    ASSERT_EQ(link.size(), 2);
    waitFor([&] {
        QTest::mouseClick(help.View()->Widget()->focusProxy(), Qt::LeftButton, {},
                          QPoint(link[0].toInt(), link[1].toInt()));
    }, "getting_started.htm");
    waitFor([&] { help.Back(); }, "index.html");
    EXPECT_TRUE(help.CanGoForward());
    waitFor([&] { help.Forward(); }, "getting_started.htm");
    waitFor([&] { QTest::mouseClick(help.findChild<QToolButton*>("tlbtnHelpHome"), Qt::LeftButton); },
            "index.html");
    EXPECT_TRUE(help.CanGoBack());

    // The web, and "Open in browser", go to the user's browser.
    help.View()->Load(QUrl("https://example.com/"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.opened.size() == 1; }, kEngineWait));
    EXPECT_TRUE(help.CurrentUrl().endsWith("/help/index.html"));
    help.findChild<QLabel*>("lblOpenInBrowser")->linkActivated("open");
    EXPECT_EQ(dialogs.opened, QStringList({"https://example.com/", GetProgramFolder() + "help/index.html"}));
    QTest::keyClick(&help, Qt::Key_Escape);
    EXPECT_FALSE(help.isVisible());
}

TEST_F(WebEngineTest, NoPageReachesTheNetwork) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    bool finished = false, ok = true;
    IWebView* view = WebEngine()->CreateView({.loadFinished = [&](bool loaded) { finished = true, ok = loaded; },
                                              .pageShown = {},
                                              .linkHovered = {},
                                              .navigationRequested = {},
                                              .historyChanged = {}},
                                             nullptr);
    view->Load(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort())));
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished; }, kEngineWait));
    EXPECT_FALSE(ok);
    EXPECT_FALSE(server.waitForNewConnection(300));
    delete view->Widget();
}

}  // namespace
}  // namespace qm::test

int main(int argc, char** argv) {
    return qm::test::RunWindowTests(argc, argv,
                                       {.webEngine = true,
                                        // The engine's notes that the platform (offscreen, Xvfb)
                                        // has no OpenGL: it then draws in software.
                                        .ignoredWarnings = {"OpenGL context creation failed",
                                                            "No suitable graphics backend found"}});
}
