// The window's commands for the site beside the project: Publish to Site shows the
// pages that will change before it writes any, Undo Publish to Site puts them back,
// Check Links marks the items whose links lead nowhere, New from Site and Import >
// Navigation from Web Page start a new menu.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

#include "support/WindowTest.h"
#include "gui/TMenuTreeModel.h"

namespace qm::test {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QByteArray kMarkedPage = "<html><body>\n<!-- Quillamere menu -->\n<!-- End of Quillamere menu -->\n</body></html>\n";

class SiteCommandsTest : public WindowTest {
protected:
    // A project "menu.zorbel" in a site folder, untitled no more, with these main items.
    void StartProject(const std::vector<ItemRow>& rows) {
        site = NewFolder("site");
        MakeDocument(rows);
        window->SetCurrentFileName(site + "/menu.zorbel");
    }
    void Trigger(const char* action) { Find<QAction>(action)->trigger(); }

    QString site;
};

TEST_F(SiteCommandsTest, PublishToSiteListsThePagesThatWillChangeBeforeItWritesAny) {
    StartProject({{0, "Home", "index.html"}, {0, "About", "about.html"}});
    for (const char* page : {"/index.html", "/about.html", "/boats/sails.html"}) WriteAll(site + page, kMarkedPage);
    WriteAll(site + "/contact.html", "<p>no menu here</p>");
    QStringList listed;
    bool untouchedWhileShown = false;
    dialogs.modalAnswers.push_back([&](QDialog& dialog) {
        for (int i = 0; i < dialog.findChild<QListWidget*>("lstSitePages")->count(); ++i)
            listed << dialog.findChild<QListWidget*>("lstSitePages")->item(i)->text();
        untouchedWhileShown = ReadAll(site + "/index.html") == kMarkedPage;
        return int(QDialog::Accepted);
    });
    Trigger("PublishToSite1");

    EXPECT_EQ(listed, QStringList({"about.html", "boats/sails.html", "index.html"}));
    EXPECT_TRUE(untouchedWhileShown);
    EXPECT_TRUE(ReadAll(site + "/boats/sails.html").contains("<a href='../about.html'"));
    EXPECT_TRUE(ReadAll(site + "/index.html").contains("<script src='swfhelper.js'>"));
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.back().text.contains("Pages written (3):")) << dialogs.messages.back().text.toStdString();

    Trigger("UndoPublishToSite1");
    EXPECT_EQ(ReadAll(site + "/boats/sails.html"), kMarkedPage);
    EXPECT_TRUE(dialogs.messages.back().text.startsWith("Pages put back as they were (3):"));
}

TEST_F(SiteCommandsTest, ACancelledPublishWritesNothing) {
    StartProject({{0, "Home", "index.html"}});
    WriteAll(site + "/index.html", kMarkedPage);
    dialogs.modalAnswers.push_back([](QDialog&) { return int(QDialog::Rejected); });
    Trigger("PublishToSite1");
    EXPECT_EQ(ReadAll(site + "/index.html"), kMarkedPage);
    EXPECT_FALSE(QFileInfo::exists(site + "/swfhelper.js"));
}

TEST_F(SiteCommandsTest, CheckLinksMarksTheItemWhoseLinkLeadsNowhereUntilItIsMended) {
    StartProject({{0, "Home", "index.html"}, {0, "Boats", "boats.html"}});
    WriteAll(site + "/index.html", "<p>Home</p>");
    Trigger("CheckLinks1");
    const QString broken = "'Boats' links to boats.html, which is not in the site folder";
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().text, broken);
    EXPECT_EQ(dialogs.messages.back().kind, TMsgDlgType::Warning);
    auto& model = window->TreeModel();
    const auto home = model.IndexOfNode(0), boats = model.IndexOfNode(1);
    EXPECT_EQ(model.data(boats, Qt::ToolTipRole).toString(), broken);
    EXPECT_NE(model.data(home, Qt::ToolTipRole).toString(), broken);

    window->Document().SetItemValue(1, FieldIndex(ItemField::Link), "index.html");
    EXPECT_NE(model.data(model.IndexOfNode(1), Qt::ToolTipRole).toString(), broken) << "the mark follows the edit";
}

TEST_F(SiteCommandsTest, NewFromSiteAndImportNavigationStartANewMenu) {
    const QString folder = NewFolder("made");
    WriteAll(folder + "/index.html", "<title>Home</title>");
    WriteAll(folder + "/boats/index.html", "<title>Boats</title>");
    WriteAll(folder + "/boats/ketch.html", "<h1>Ketch</h1>");
    dialogs.folderAnswers.push_back(folder);
    Trigger("NewFromSite1");
    EXPECT_EQ(CaptionsWithLevels(), (std::vector<std::string>{"Home:0", "Boats:0", "Ketch:1"}));
    EXPECT_TRUE(window->CurrentFileName().isEmpty());

    WriteAll(folder + "/nav.html", "<nav><ul><li><a href='a.html'>A</a><ul><li><a href='b.html'>B</a></li></ul></li></ul></nav>");
    dialogs.openAnswers.push_back(folder + "/nav.html");
    Trigger("ImportNavigation1");
    EXPECT_EQ(CaptionsWithLevels(), (std::vector<std::string>{"A:0", "B:1"}));

    WriteAll(folder + "/empty.html", "<p>nothing</p>");
    dialogs.openAnswers.push_back(folder + "/empty.html");
    Trigger("ImportNavigation1");
    EXPECT_EQ(dialogs.messages.back().text, "empty.html: the page has no nav element and no list of links");
    EXPECT_EQ(CaptionsWithLevels(), (std::vector<std::string>{"A:0", "B:1"})) << "a refused page changes nothing";
}

}  // namespace
}  // namespace qm::test
