// The browser choice window offscreen: its controls and their rules, loading and
// storing the choice, and OpenPage starting stand-in browsers that record what they
// were given.

#include "env/Settings.h"
#include "support/TemporaryHome.h"
#include "env/TformWebBrowser.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

namespace qm::test {
namespace {


// Receives the default browser's requests in place of the desktop.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls.append(url); }
};

// The window's controls, looked up by object name as every caller does.
struct Controls {
    explicit Controls(TformWebBrowser& window)
        : useDefault(window.findChild<QRadioButton*>(QStringLiteral("RadioButtonBrowserDefault"))),
          useKnown(window.findChild<QRadioButton*>(QStringLiteral("RadioButtonBrowserKnownInSystem"))),
          list(window.findChild<QComboBox*>(QStringLiteral("ComboBoxBrowserList"))),
          useSpecified(window.findChild<QRadioButton*>(QStringLiteral("RadioButtonBrowserUserSpecify"))),
          exePath(window.findChild<QLineEdit*>(QStringLiteral("editSpecifiedBrowserFileName"))),
          openExe(window.findChild<QToolButton*>(QStringLiteral("spdbtnOpenExeFile"))),
          ok(window.findChild<QPushButton*>(QStringLiteral("bitbtnOk"))),
          cancel(window.findChild<QPushButton*>(QStringLiteral("bitbtnCancel"))) {}
    bool Complete() const { return useDefault && useKnown && list && useSpecified && exePath && openExe && ok && cancel; }
    QRadioButton* useDefault;
    QRadioButton* useKnown;
    QComboBox* list;
    QRadioButton* useSpecified;
    QLineEdit* exePath;
    QToolButton* openExe;
    QPushButton* ok;
    QPushButton* cancel;
};

class TformWebBrowserTest : public ::testing::Test {
protected:
    TformWebBrowserTest() {
        // Only the stand-ins of this test are on PATH, so the browsers of the machine
        // running the tests do not count.
        QDir().mkpath(BinFolder());
        home_.Set("PATH", BinFolder().toUtf8());
    }
    ~TformWebBrowserTest() override {
        TformWebBrowser::SetExeFileChooser({});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    QString BinFolder() const { return home_.Root() + QStringLiteral("/bin"); }
    QString RecordOf(const QString& name) const { return home_.Root() + QStringLiteral("/records/") + name; }
    QString KvxFile() const { return home_.ConfigHome() + QStringLiteral("/KVX/Quillamere-1.0.ini"); }

    // A stand-in browser that writes each of its arguments on a line of its record.
    QString AddBrowser(const QString& name, const QString& folder = {}) {
        const QString path = (folder.isEmpty() ? BinFolder() : folder) + u'/' + name;
        QDir().mkpath(home_.Root() + QStringLiteral("/records"));
        WriteScript(path, "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + RecordOf(name).toUtf8() + ".tmp'\n"
                          "/bin/mv '" + RecordOf(name).toUtf8() + ".tmp' '" + RecordOf(name).toUtf8() + "'\n");
        return path;
    }
    QByteArray WaitForRecord(const QString& name) {
        const QString record = RecordOf(name);
        (void)QTest::qWaitFor([&] { return QFile::exists(record); }, 60000);
        return ReadBytes(record);
    }

    void StoreChoice(const QByteArray& values) { WriteBytes(KvxFile(), "[Web%20Browsers]\n" + values); }
    QVariant Stored(const char* name) {
        return QSettings(KvxFile(), QSettings::IniFormat).value(QStringLiteral("Web Browsers/") + QLatin1String(name));
    }

    TemporaryHome home_;
    UrlRecorder recorder_;  // unset as URL handler by the destructor before it goes
};

TEST_F(TformWebBrowserTest, WindowHasItsControlsAndTheInitialLayout) {
    TformWebBrowser window;
    Controls c(window);
    ASSERT_TRUE(c.Complete());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Web Browser"));
    const auto* group = window.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QStringLiteral("Web Browser"));
    EXPECT_EQ(c.useDefault->text(), QStringLiteral("Use Default Browser"));
    EXPECT_EQ(c.useKnown->text(), QStringLiteral("Use Known Browser in System"));
    EXPECT_EQ(c.useSpecified->text(), QStringLiteral("User Specified Browser Program"));
    bool labelFound = false;
    for (const QLabel* label : window.findChildren<QLabel*>())
        labelFound = labelFound || label->text() == QStringLiteral("Execute File:");
    EXPECT_TRUE(labelFound);
    EXPECT_FALSE(c.list->isEditable());
    // Title bar without buttons, a size the user cannot change.
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_EQ(window.layout()->sizeConstraint(), QLayout::SetFixedSize);

    EXPECT_TRUE(c.useDefault->isChecked());
    EXPECT_FALSE(c.useKnown->isChecked());
    EXPECT_FALSE(c.useSpecified->isChecked());
    EXPECT_EQ(c.list->currentIndex(), -1);
    EXPECT_TRUE(c.exePath->text().isEmpty());
}

TEST_F(TformWebBrowserTest, WindowIsCentredOnTheScreenAndEscapeClosesItWithoutStoring) {
    TformWebBrowser window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint screenCentre = window.screen()->availableGeometry().center();
    EXPECT_LE((window.frameGeometry().center() - screenCentre).manhattanLength(), 2);
    Controls(window).useSpecified->setChecked(true);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(KvxFile()));
}

TEST_F(TformWebBrowserTest, NoBrowserFoundLeavesTheDefaultChecked) {
    TformWebBrowser window;
    Controls c(window);
    EXPECT_TRUE(window.KnownBrowsers().empty());
    EXPECT_EQ(c.list->count(), 0);
    window.show();
    QTest::mouseClick(c.useKnown, Qt::LeftButton);
    EXPECT_TRUE(c.useDefault->isChecked());
    EXPECT_FALSE(c.useKnown->isChecked());
}

TEST_F(TformWebBrowserTest, BrowsersAreListedInTheFixedOrderEachOnce) {
    // Made in another order than the list's, under second names, and one program twice.
    const QString konqueror = AddBrowser(QStringLiteral("konqueror"));
    const QString chromium = AddBrowser(QStringLiteral("chromium-browser"));
    const QString firefox = AddBrowser(QStringLiteral("firefox"));
    ASSERT_TRUE(QFile::link(chromium, BinFolder() + QStringLiteral("/google-chrome")));
    AddBrowser(QStringLiteral("not-a-browser"));
    WriteBytes(BinFolder() + QStringLiteral("/opera"), "not executable");

    TformWebBrowser window;
    const auto& known = window.KnownBrowsers();
    ASSERT_EQ(known.size(), 3u);
    EXPECT_EQ(known[0].name, QStringLiteral("Firefox"));
    EXPECT_EQ(known[0].path, firefox);
    EXPECT_EQ(known[1].name, QStringLiteral("Chromium"));
    EXPECT_EQ(known[1].path, chromium);
    EXPECT_EQ(known[2].name, QStringLiteral("Konqueror"));
    EXPECT_EQ(known[2].path, konqueror);
    Controls c(window);
    ASSERT_EQ(c.list->count(), 3);
    EXPECT_EQ(c.list->itemText(0), QStringLiteral("Firefox"));
    EXPECT_EQ(c.list->itemText(2), QStringLiteral("Konqueror"));
    EXPECT_EQ(c.list->currentIndex(), -1);

    // Every creation finds the same list.
    TformWebBrowser second;
    ASSERT_EQ(second.KnownBrowsers().size(), 3u);
    EXPECT_EQ(second.KnownBrowsers()[1].path, chromium);
}

TEST_F(TformWebBrowserTest, ChoosingAnEntryChecksTheKnownBrowserButton) {
    AddBrowser(QStringLiteral("firefox"));
    AddBrowser(QStringLiteral("chromium"));
    TformWebBrowser window;
    Controls c(window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    c.list->setFocus();
    QTest::keyClick(c.list, Qt::Key_Down);  // the user picks the first entry
    EXPECT_EQ(c.list->currentIndex(), 0);
    EXPECT_TRUE(c.useKnown->isChecked());
    EXPECT_FALSE(c.useDefault->isChecked());

    // Clicking the known-browser button with entries in the list keeps it checked.
    QTest::mouseClick(c.useDefault, Qt::LeftButton);
    QTest::mouseClick(c.useKnown, Qt::LeftButton);
    EXPECT_TRUE(c.useKnown->isChecked());
}

TEST_F(TformWebBrowserTest, LoadingTheStoredChoice) {
    AddBrowser(QStringLiteral("firefox"));
    AddBrowser(QStringLiteral("chromium"));
    struct Case {
        const char* stored;
        const char* checked;
        int selected;
        const char* exePath;
    };
    const Case cases[] = {
        // A number beyond the list selects the first entry.
        {"UseDefaultBrowser=0\nUseKnownBrowser=1\nUseSpecifiedBrowser=0\nSelectedBrowserNumber=3\n"
         "SpecifiedBrowserExePath=\n", "known", 0, ""},
        {"UseDefaultBrowser=0\nUseKnownBrowser=1\nUseSpecifiedBrowser=0\nSelectedBrowserNumber=1\n"
         "SpecifiedBrowserExePath=\n", "known", 1, ""},
        {"UseDefaultBrowser=0\nUseKnownBrowser=0\nUseSpecifiedBrowser=1\nSelectedBrowserNumber=-1\n"
         "SpecifiedBrowserExePath=\"  /opt/my browser/run \"\n", "specified", -1, "  /opt/my browser/run "},
        {"UseDefaultBrowser=1\nUseKnownBrowser=0\nUseSpecifiedBrowser=0\nSelectedBrowserNumber=-5\n"
         "SpecifiedBrowserExePath=/usr/bin/x\n", "default", -1, "/usr/bin/x"},
        // A value that is missing or not a number ends the loading where it stands.
        {"UseDefaultBrowser=0\nUseKnownBrowser=1\nUseSpecifiedBrowser=0\nSpecifiedBrowserExePath=/x\n", "known", -1, ""},
        {"UseDefaultBrowser=0\nUseKnownBrowser=yes\nUseSpecifiedBrowser=1\nSelectedBrowserNumber=1\n"
         "SpecifiedBrowserExePath=/x\n", "default", -1, ""},
        {"UseDefaultBrowser=0\nUseKnownBrowser=0\nUseSpecifiedBrowser=1\nSelectedBrowserNumber=one\n"
         "SpecifiedBrowserExePath=/x\n", "specified", -1, ""},
        // All three cleared: the default browser stays checked rather than none at all.
        {"UseDefaultBrowser=0\nUseKnownBrowser=0\nUseSpecifiedBrowser=0\nSelectedBrowserNumber=0\n"
         "SpecifiedBrowserExePath=\n", "default", 0, ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.stored);
        // A home of its own for each case: QSettings keeps a parsed file while its size
        // and time stay the same, and two cases may differ in neither.
        TemporaryHome caseHome;
        WriteBytes(caseHome.ConfigHome() + QStringLiteral("/KVX/Quillamere-1.0.ini"),
                  QByteArray("[Web%20Browsers]\n") + k.stored);
        TformWebBrowser window;
        Controls c(window);
        EXPECT_EQ(c.useDefault->isChecked(), std::string(k.checked) == "default");
        EXPECT_EQ(c.useKnown->isChecked(), std::string(k.checked) == "known");
        EXPECT_EQ(c.useSpecified->isChecked(), std::string(k.checked) == "specified");
        EXPECT_EQ(c.list->currentIndex(), k.selected);
        EXPECT_EQ(c.exePath->text(), QString::fromUtf8(k.exePath));
    }
}

TEST_F(TformWebBrowserTest, StoredKnownBrowserWithNoBrowserFoundFallsBackToTheDefault) {
    StoreChoice("UseDefaultBrowser=0\nUseKnownBrowser=1\nUseSpecifiedBrowser=0\nSelectedBrowserNumber=3\n"
                "SpecifiedBrowserExePath=\n");
    TformWebBrowser window;
    Controls c(window);
    EXPECT_TRUE(c.useDefault->isChecked());
    EXPECT_FALSE(c.useKnown->isChecked());
    EXPECT_EQ(c.list->currentIndex(), -1);
}

TEST_F(TformWebBrowserTest, OkStoresTheChoiceAndCancelStoresNothing) {
    AddBrowser(QStringLiteral("firefox"));
    AddBrowser(QStringLiteral("chromium"));
    {
        TformWebBrowser window;
        Controls c(window);
        c.useSpecified->setChecked(true);
        c.exePath->setText(QStringLiteral(" /opt/my browser/run"));
        window.show();
        QTest::mouseClick(c.cancel, Qt::LeftButton);
        EXPECT_EQ(window.result(), QDialog::Rejected);
        EXPECT_FALSE(QFile::exists(KvxFile()));
    }
    {
        TformWebBrowser window;
        Controls c(window);
        c.useSpecified->setChecked(true);
        c.exePath->setText(QStringLiteral(" /opt/my browser/run"));
        window.show();
        QTest::mouseClick(c.ok, Qt::LeftButton);  // nothing selected in the list
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(Stored("UseDefaultBrowser").toString(), QStringLiteral("0"));
    EXPECT_EQ(Stored("UseKnownBrowser").toString(), QStringLiteral("0"));
    EXPECT_EQ(Stored("UseSpecifiedBrowser").toString(), QStringLiteral("1"));
    EXPECT_EQ(Stored("SelectedBrowserNumber").toString(), QStringLiteral("-1"));
    EXPECT_EQ(Stored("SpecifiedBrowserExePath").toString(), QStringLiteral(" /opt/my browser/run"));

    const QByteArray before = ReadBytes(KvxFile());
    {
        TformWebBrowser window;
        Controls c(window);
        EXPECT_TRUE(c.useSpecified->isChecked());  // what OK stored comes back
        c.list->setCurrentIndex(1);
        c.useKnown->setChecked(true);
        window.show();
        QTest::mouseClick(c.cancel, Qt::LeftButton);
    }
    EXPECT_EQ(ReadBytes(KvxFile()), before);
    {
        TformWebBrowser window;
        Controls c(window);
        c.list->setCurrentIndex(1);
        c.useKnown->setChecked(true);
        window.show();
        QTest::mouseClick(c.ok, Qt::LeftButton);
    }
    EXPECT_EQ(Stored("UseKnownBrowser").toString(), QStringLiteral("1"));
    EXPECT_EQ(Stored("UseSpecifiedBrowser").toString(), QStringLiteral("0"));
    EXPECT_EQ(Stored("SelectedBrowserNumber").toString(), QStringLiteral("1"));
}

TEST_F(TformWebBrowserTest, OkWithAStoreThatCannotBeWrittenStillCloses) {
    WriteBytes(home_.ConfigHome() + QStringLiteral("/KVX"), "a file where the branch's folder belongs");
    TformWebBrowser window;
    Controls c(window);
    window.show();
    EXPECT_NO_THROW(QTest::mouseClick(c.ok, Qt::LeftButton));
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST_F(TformWebBrowserTest, StoreThatCannotBeReadKeepsTheInitialLayout) {
    QDir().mkpath(KvxFile());
    AddBrowser(QStringLiteral("firefox"));
    TformWebBrowser window;
    Controls c(window);
    EXPECT_TRUE(c.useDefault->isChecked());
    EXPECT_EQ(c.list->count(), 1);
}

TEST_F(TformWebBrowserTest, TheChosenProgramReplacesTheExecuteFileOnly) {
    QString askedFilter;
    TformWebBrowser::SetExeFileChooser([&](QWidget*, const QString&, const QString& filter) {
        askedFilter = filter;
        return home_.Root() + QStringLiteral("/my browsers/../browser run");
    });
    TformWebBrowser window;
    Controls c(window);
    c.exePath->setText(QStringLiteral("old"));
    window.show();
    QTest::mouseClick(c.openExe, Qt::LeftButton);
    EXPECT_FALSE(askedFilter.isEmpty());
    EXPECT_EQ(c.exePath->text(), home_.Root() + QStringLiteral("/browser run"));
    EXPECT_TRUE(c.useDefault->isChecked());  // the radio buttons are not touched

    TformWebBrowser::SetExeFileChooser([](QWidget*, const QString&, const QString&) { return QString(); });
    QTest::mouseClick(c.openExe, Qt::LeftButton);  // the user cancels the dialog
    EXPECT_EQ(c.exePath->text(), home_.Root() + QStringLiteral("/browser run"));
}

TEST_F(TformWebBrowserTest, OpenPageStartsTheSpecifiedProgramWithThePathAsOneArgument) {
    const QString program = AddBrowser(QStringLiteral("my browser"), home_.Root() + QStringLiteral("/programs dir"));
    TformWebBrowser window;
    Controls c(window);
    c.useSpecified->setChecked(true);
    c.exePath->setText(program);
    const QString folder = home_.Root() + QStringLiteral("/Preview with spaces/");
    window.OpenPage(folder, QStringLiteral("~preview page.html"));
    EXPECT_EQ(WaitForRecord(QStringLiteral("my browser")), (folder + QStringLiteral("~preview page.html\n")).toUtf8());
}

TEST_F(TformWebBrowserTest, OpenPageStartsTheSelectedKnownBrowser) {
    AddBrowser(QStringLiteral("firefox"));
    AddBrowser(QStringLiteral("chromium"));
    TformWebBrowser window;
    Controls c(window);
    c.list->setCurrentIndex(1);
    c.useKnown->setChecked(true);
    window.OpenPage(QStringLiteral("/tmp/a b/"), QStringLiteral("c d.html"));
    EXPECT_EQ(WaitForRecord(QStringLiteral("chromium")), QByteArray("/tmp/a b/c d.html\n"));
    EXPECT_FALSE(QFile::exists(RecordOf(QStringLiteral("firefox"))));
}

TEST_F(TformWebBrowserTest, OpenPageAsksTheDesktopForTheDefaultBrowser) {
    UrlRecorder& recorder = recorder_;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "Open");
    AddBrowser(QStringLiteral("firefox"));
    TformWebBrowser window;
    const QString folder = home_.Root() + QStringLiteral("/Pre view/");
    window.OpenPage(folder, QStringLiteral("~preview.html"));
    ASSERT_EQ(recorder.urls.size(), 1);
    EXPECT_EQ(recorder.urls[0], QUrl::fromLocalFile(folder + QStringLiteral("~preview.html")));
    EXPECT_EQ(recorder.urls[0].toLocalFile(), folder + QStringLiteral("~preview.html"));

    // "Known browser" with nothing selected goes the same way, not outside the list.
    Controls c(window);
    c.useKnown->setChecked(true);
    ASSERT_EQ(c.list->currentIndex(), -1);
    window.OpenPage(folder, QStringLiteral("again.html"));
    ASSERT_EQ(recorder.urls.size(), 2);
    EXPECT_EQ(recorder.urls[1].toLocalFile(), folder + QStringLiteral("again.html"));
    QTest::qWait(200);
    EXPECT_FALSE(QFile::exists(RecordOf(QStringLiteral("firefox"))));
}

TEST_F(TformWebBrowserTest, FailedLaunchDoesNothingVisible) {
    UrlRecorder& recorder = recorder_;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "Open");
    auto visibleWindows = [] {
        int count = 0;
        for (const QWidget* widget : QApplication::topLevelWidgets()) count += widget->isVisible() ? 1 : 0;
        return count;
    };
    TformWebBrowser window;
    Controls c(window);
    c.useSpecified->setChecked(true);
    for (const QString& program : {QStringLiteral("/no/such/browser"), QString(), QStringLiteral("no-such-browser")}) {
        c.exePath->setText(program);
        EXPECT_NO_THROW(window.OpenPage(QStringLiteral("/tmp/"), QStringLiteral("x.html")));
    }
    QTest::qWait(100);
    EXPECT_EQ(visibleWindows(), 0);       // no message, and the window itself stays hidden
    EXPECT_TRUE(recorder.urls.isEmpty());  // and no other browser is tried instead
}

}  // namespace
}  // namespace qm::test

#include "TformWebBrowserTest.moc"
