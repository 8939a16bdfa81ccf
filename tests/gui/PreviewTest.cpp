// Preview: the Flash tip by its setting, the two refusals, the page built from what
// the panels show, the files staged in the Preview folder, nothing left in Temp, and
// the page handed to the chosen browser (a stand-in script that records its argument).

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSpinBox>
#include <QTest>
#include <QThread>
#include <QUrl>

#include "env/AppFolders.h"
#include "support/WindowTest.h"
#include "env/Settings.h"
#include "gui/TformHTML.h"
#include "gui/TPreviewCommands.h"

namespace qm::test {
namespace {

const QString kNoItem = "There is no item to preview. Add an item in the left pane and try again.";
const QString kTooSmall = "The menu box is too small. Adjust its size on the Ext. tab.";

class PreviewTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        QDir(GetPreviewFolder()).removeRecursively();
        // The stand-in browser writes the page it was given into a file, which appears
        // whole (renamed into place), so that the test never reads it half written.
        record = TestHome() + "/browser-argument.txt";
        QFile::remove(record);
        const QString script = TestHome() + "/stand-in-browser.sh";
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write(("#!/bin/sh\nprintf '%s' \"$1\" > '" + record + ".part' && mv '" + record + ".part' '" + record +
                    "'\n")
                       .toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        WriteKvxValue("Web Browsers", "UseDefaultBrowser", 0);
        WriteKvxValue("Web Browsers", "UseKnownBrowser", 0);
        WriteKvxValue("Web Browsers", "UseSpecifiedBrowser", 1);
        WriteKvxValue("Web Browsers", "SelectedBrowserNumber", 0);
        WriteKvxValue("Web Browsers", "SpecifiedBrowserExePath", script);
        WriteBoolSetting("ShowFlashLocalSecurityWarningTipDialog", false);
    }
    QString RecordedArgument() {
        // It appears whole, once the stand-in browser has run, however busy the machine.
        (void)QTest::qWaitFor([&] { return QFile::exists(record); }, 60000);
        QFile file(record);
        if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("<the browser was not started>");
        return QString::fromUtf8(file.readAll());
    }
    QString record;
};

TEST_F(PreviewTest, AMenuWithoutItemsIsRefusedAndNothingIsOpened) {
    window->Preview().Preview1Click();
    EXPECT_EQ(dialogs.MessageTexts(), QStringList({kNoItem}));
    EXPECT_EQ(dialogs.messages[0].kind, TMsgDlgType::Error);
    EXPECT_FALSE(QFile::exists(GetPreviewFolder() + "~preview.html"));
    QThread::msleep(100);
    EXPECT_FALSE(QFile::exists(record));
}

TEST_F(PreviewTest, ABoxBelowTenPixelsIsRefused) {
    MakeDocument({{0, "A"}});
    auto* width = Find<QSpinBox>("spnedtflMenuMaxWidth");
    auto* height = Find<QSpinBox>("spnedtflMenuMaxHeight");
    width->setValue(9);
    height->setValue(40);
    EXPECT_FALSE(window->Preview().BuildHtmlToBuffer());
    EXPECT_EQ(dialogs.MessageTexts(), QStringList({kTooSmall}));
    width->setValue(10);
    height->setValue(10);
    dialogs.Clear();
    EXPECT_TRUE(window->Preview().BuildHtmlToBuffer());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(window->Preview().HtmlWindow().Lines().isEmpty());
}

TEST_F(PreviewTest, ThePageIsStagedAndHandedToTheChosenBrowser) {
    const QString project = NewFolder("project");
    window->SetCurrentFileName(project + "/menu.zorbel");
    MakeDocument({{0, "Home"}, {0, "Boats"}});
    window->SelectNode(1);
    Find<QComboBox>("cmbx_Link")->setEditText("typed-just-now.html");
    window->Preview().Preview1Click();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    EXPECT_TRUE(dialogs.modalWindows.isEmpty()) << "the tip is switched off";

    const QString preview = GetPreviewFolder();
    EXPECT_EQ(RecordedArgument(), preview + "~preview.html");
    for (const char* name : {"~preview.html", "zelvanbar.swf", "swfhelper.js"})
        EXPECT_TRUE(QFile::exists(preview + name)) << name;
    EXPECT_FALSE(QFile::exists(GetTempFolder() + "~tmp0001.txt"));
    EXPECT_FALSE(QFile::exists(GetTempFolder() + "~preview.html"));
    EXPECT_TRUE(QDir(project).entryList(QDir::Files).isEmpty()) << "nothing is written beside the project";

    QFile page(preview + "~preview.html");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray text = page.readAll();
    EXPECT_TRUE(text.contains("<title>Preview</title>"));
    EXPECT_TRUE(text.contains("href='" + QUrl::fromLocalFile(project).toEncoded() + "/typed-just-now.html'"))
        << "the panels are flushed first, and the link leads beside the project";
    EXPECT_EQ(QString::fromUtf8(text).replace("\r\n", "\n").trimmed(),
              window->Preview().HtmlWindow().Lines().join("\n").trimmed());
}

TEST_F(PreviewTest, AnUntitledPagesLinksLeadIntoTheDocumentsFolder) {
    MakeDocument({{0, "A"}});
    window->Document().SetItemValue(0, FieldIndex(ItemField::Link), "a b.html");
    ASSERT_TRUE(window->Preview().BuildHtmlToBuffer());
    const QString link = "href='" + QUrl::fromLocalFile(GetDocumentsFolder()).toString(QUrl::FullyEncoded) + "a b.html'";
    EXPECT_TRUE(window->Preview().HtmlWindow().Lines().join("\n").contains(link)) << link.toStdString();
    EXPECT_EQ(window->Agent().Items()[0].Link, "a b.html") << "the document keeps its link";
}

TEST_F(PreviewTest, TheFlashTipShowsWhileItsSettingIsOn) {
    MakeDocument({{0, "A"}});
    WriteBoolSetting("ShowFlashLocalSecurityWarningTipDialog", true);
    window->Preview().Preview1Click();
    EXPECT_EQ(dialogs.modalWindows.size(), 1);
    EXPECT_EQ(RecordedArgument(), GetPreviewFolder() + "~preview.html");
}

}  // namespace
}  // namespace qm::test
