// The template chooser: its list, its three ways out (OK, Cancel, Escape), the double
// click, the check box and the templates folder that cannot be made.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "model/Error.h"
#include "support/ErrorLog.h"
#include "env/Settings.h"
#include "support/TemporaryHome.h"
#include "gui/dialogs/TfrmTemplet.h"

namespace qm::test {
namespace {


class TfrmTempletTest : public ::testing::Test {
protected:
    // A host that records what the chooser asked of it.
    TfrmTemplet::Host Host(const QString& samplesFolder = {}) {
        return {[this](const QString& fileName) { opened << fileName; }, [this] { ++newProjects; },
                errors.Reporter(), samplesFolder};
    }
    void AddTemplate(const QString& name) { WriteBytes(profile_.TemplatesFolder() + name, "<Product_Name>\r\n"); }

    template <class T>
    static T* Child(QWidget& window, const char* name) {
        T* child = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static QStringList Entries(TfrmTemplet& chooser) {
        QStringList names;
        auto* list = Child<QListWidget>(chooser, "TempletList");
        for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
        return names;
    }
    static void Select(TfrmTemplet& chooser, const QString& name) {
        auto* list = Child<QListWidget>(chooser, "TempletList");
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list->setCurrentItem(found.front());
    }
    static void ShowAndWait(QWidget& window) {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void ExpectNothingDone() const {
        EXPECT_TRUE(opened.isEmpty()) << opened.join(", ").toStdString();
        EXPECT_EQ(newProjects, 0);
    }

    TemporaryHome profile_{TemporaryHome::XdgFolders::BesideHome};
    QStringList opened;
    int newProjects = 0;
    ErrorLog errors;
};

// --- The window ------------------------------------------------------------------------

TEST_F(TfrmTempletTest, ShowsItsCaptionTextAndControls) {
    TfrmTemplet chooser(Host());
    EXPECT_EQ(chooser.windowTitle(), "Template");
    EXPECT_EQ(Child<QPushButton>(chooser, "BitBtn1")->text(), "OK");
    EXPECT_EQ(Child<QPushButton>(chooser, "BitBtn2")->text(), "Cancel");
    EXPECT_EQ(Child<QCheckBox>(chooser, "chckbxDontShow")->text(), "Do not show this dialog again.");
    bool promptFound = false;
    for (const QLabel* label : chooser.findChildren<QLabel*>())
        promptFound |=
            label->text() == "Click OK to start a new project from the selected template, or Cancel to start an empty one.";
    EXPECT_TRUE(promptFound);
    // A fixed frame without title-bar buttons.
    EXPECT_FALSE(chooser.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(chooser.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_TRUE(chooser.windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(TfrmTempletTest, ListsTheProjectFilesOfTheTemplatesFolderByName) {
    AddTemplate("shop.zorbel");
    AddTemplate("Blog.zorbel");
    AddTemplate("agency.zorbel");
    AddTemplate("menu.gms");
    AddTemplate("notes.txt");
    ASSERT_TRUE(QDir().mkpath(profile_.TemplatesFolder() + "folder.zorbel"));
    TfrmTemplet chooser(Host());
    EXPECT_EQ(Entries(chooser), (QStringList{"agency.zorbel", "Blog.zorbel", "shop.zorbel"}));
    EXPECT_EQ(chooser.Folder(), profile_.TemplatesFolder());
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(TfrmTempletTest, TheShippedSamplesFollowTheTemplatesAndOpenByTheirFullPath) {
    AddTemplate("shop.zorbel");
    const QString samples = profile_.Root() + "/program/samples/";
    WriteBytes(samples + "harbour.zorbel", "<Product_Name>\r\n");
    WriteBytes(samples + "index.html", "<html></html>");
    TfrmTemplet chooser(Host(samples));
    EXPECT_EQ(Entries(chooser), (QStringList{"shop.zorbel", "harbour.zorbel (sample)"}));
    ShowAndWait(chooser);
    Select(chooser, "harbour.zorbel (sample)");
    Child<QPushButton>(chooser, "BitBtn1")->click();
    EXPECT_EQ(opened, QStringList{samples + "harbour.zorbel"});
}

TEST_F(TfrmTempletTest, AMissingTemplatesFolderIsCreatedAndListedEmpty) {
    ASSERT_FALSE(QFileInfo::exists(profile_.TemplatesFolder()));
    TfrmTemplet chooser(Host());
    EXPECT_TRUE(QFileInfo(profile_.TemplatesFolder()).isDir());
    EXPECT_EQ(chooser.Folder(), profile_.TemplatesFolder());
    EXPECT_TRUE(Entries(chooser).isEmpty());
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(TfrmTempletTest, ATemplatesFolderThatCannotBeCreatedIsReportedAndTheWindowOpensAllTheSame) {
    // A file where the folder should be.
    WriteBytes(profile_.DataFolder() + "Templates", "not a folder");
    TfrmTemplet chooser(Host());
    EXPECT_EQ(errors.messages, QStringList{"Cannot create template folder!"});
    EXPECT_TRUE(chooser.Folder().isEmpty());
    EXPECT_TRUE(Entries(chooser).isEmpty());

    ShowAndWait(chooser);
    EXPECT_TRUE(chooser.isVisible());
    Child<QPushButton>(chooser, "BitBtn1")->click();
    EXPECT_FALSE(chooser.isVisible());
    ExpectNothingDone();
}

TEST_F(TfrmTempletTest, ADataFolderThatCannotBeFoundIsReportedWithItsOwnMessage) {
    WriteBytes(profile_.Root() + "/blocked", "a file");
    profile_.Set("XDG_DATA_HOME", (profile_.Root() + "/blocked/data").toUtf8());
    TfrmTemplet chooser(Host());
    EXPECT_EQ(errors.messages,
              QStringList{"Failed to retrieve application data path! Please contact vendor for help! Thank you!"});
    EXPECT_TRUE(Entries(chooser).isEmpty());
}

// --- OK, Cancel, Escape ----------------------------------------------------------------

TEST_F(TfrmTempletTest, OkOpensTheSelectedTemplateByItsFullPath) {
    AddTemplate("a.zorbel");
    AddTemplate("b.zorbel");
    TfrmTemplet chooser(Host());
    ShowAndWait(chooser);
    Select(chooser, "b.zorbel");
    EXPECT_EQ(chooser.SelectedFile(), profile_.TemplatesFolder() + "b.zorbel");
    Child<QPushButton>(chooser, "BitBtn1")->click();
    EXPECT_EQ(opened, QStringList{profile_.TemplatesFolder() + "b.zorbel"});
    EXPECT_EQ(newProjects, 0);
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
}

TEST_F(TfrmTempletTest, OkWithoutASelectionOpensNothingAndCloses) {
    AddTemplate("a.zorbel");
    TfrmTemplet chooser(Host());
    ShowAndWait(chooser);
    EXPECT_TRUE(chooser.SelectedFile().isEmpty());
    Child<QPushButton>(chooser, "BitBtn1")->click();
    ExpectNothingDone();
    EXPECT_FALSE(chooser.isVisible());
}

TEST_F(TfrmTempletTest, EnterActsAsOk) {
    AddTemplate("a.zorbel");
    TfrmTemplet chooser(Host());
    ShowAndWait(chooser);
    Select(chooser, "a.zorbel");
    QTest::keyClick(Child<QListWidget>(chooser, "TempletList"), Qt::Key_Return);
    EXPECT_EQ(opened, QStringList{profile_.TemplatesFolder() + "a.zorbel"});
    EXPECT_FALSE(chooser.isVisible());
}

TEST_F(TfrmTempletTest, CancelStartsANewProjectEvenWithATemplateSelected) {
    AddTemplate("a.zorbel");
    TfrmTemplet chooser(Host());
    ShowAndWait(chooser);
    Select(chooser, "a.zorbel");
    chooser.setResult(QDialog::Accepted);
    Child<QPushButton>(chooser, "BitBtn2")->click();
    EXPECT_EQ(newProjects, 1);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(chooser.result(), QDialog::Rejected);
}

TEST_F(TfrmTempletTest, EscapeClosesWithoutOpeningOrStartingAnything) {
    AddTemplate("a.zorbel");
    TfrmTemplet chooser(Host());
    ShowAndWait(chooser);
    Select(chooser, "a.zorbel");
    chooser.setResult(QDialog::Accepted);
    QTest::keyClick(Child<QListWidget>(chooser, "TempletList"), Qt::Key_Escape);
    ExpectNothingDone();
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(chooser.result(), QDialog::Rejected);
}

TEST_F(TfrmTempletTest, AFailingHostIsReportedAndTheWindowStillCloses) {
    AddTemplate("a.zorbel");
    TfrmTemplet::Host host = Host();
    host.openTemplate = [](const QString& fileName) {
        throw Error(fileName.toStdString(), 3, "level 'x' is not a whole number");
    };
    host.newProject = [] { throw std::runtime_error("no preview folder"); };
    {
        TfrmTemplet chooser(host);
        ShowAndWait(chooser);
        Select(chooser, "a.zorbel");
        Child<QPushButton>(chooser, "BitBtn1")->click();
        EXPECT_FALSE(chooser.isVisible());
    }
    {
        TfrmTemplet chooser(host);
        ShowAndWait(chooser);
        Child<QPushButton>(chooser, "BitBtn2")->click();
        EXPECT_FALSE(chooser.isVisible());
    }
    EXPECT_EQ(errors.messages, (QStringList{profile_.TemplatesFolder() + "a.zorbel, line 3: level 'x' is not a whole number",
                                            "no preview folder"}));
}

// --- Double click ----------------------------------------------------------------------

TEST_F(TfrmTempletTest, ADoubleClickOpensTheEntryUnderTheMouse) {
    AddTemplate("a.zorbel");
    AddTemplate("b.zorbel");
    TfrmTemplet chooser(Host());
    ShowAndWait(chooser);
    Select(chooser, "a.zorbel");
    auto* list = Child<QListWidget>(chooser, "TempletList");
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(opened, QStringList{profile_.TemplatesFolder() + "b.zorbel"});
    EXPECT_EQ(newProjects, 0);
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
}

TEST_F(TfrmTempletTest, ADoubleClickBesideTheEntriesOnlyCloses) {
    AddTemplate("a.zorbel");
    TfrmTemplet chooser(Host());
    ShowAndWait(chooser);
    Select(chooser, "a.zorbel");
    auto* list = Child<QListWidget>(chooser, "TempletList");
    const QPoint below(list->viewport()->width() / 2, list->viewport()->height() - 4);
    ASSERT_EQ(list->itemAt(below), nullptr);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
    ExpectNothingDone();
    EXPECT_FALSE(chooser.isVisible());
}

// --- "Do not show this dialog again." ----------------------------------------------------

TEST_F(TfrmTempletTest, TheCheckBoxShowsTheStoredSettingWhenTheWindowShows) {
    {
        TfrmTemplet chooser(Host());
        ShowAndWait(chooser);
        EXPECT_FALSE(Child<QCheckBox>(chooser, "chckbxDontShow")->isChecked()) << "absent setting reads true";
    }
    WriteBoolSetting("ShowTempletsDialog", false);
    TfrmTemplet chooser(Host());
    ShowAndWait(chooser);
    EXPECT_TRUE(Child<QCheckBox>(chooser, "chckbxDontShow")->isChecked());
    // Changed behind the window's back, the setting shows again on the next showing.
    chooser.hide();
    WriteBoolSetting("ShowTempletsDialog", true);
    ShowAndWait(chooser);
    EXPECT_FALSE(Child<QCheckBox>(chooser, "chckbxDontShow")->isChecked());
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(TfrmTempletTest, EveryClickOfTheCheckBoxWritesTheSettingAtOnce) {
    WriteBoolSetting("ShowTempletsDialog", false);
    TfrmTemplet chooser(Host());
    ShowAndWait(chooser);
    auto* box = Child<QCheckBox>(chooser, "chckbxDontShow");
    ASSERT_TRUE(box->isChecked());
    box->click();  // unchecked: the chooser shows again at start
    EXPECT_TRUE(ReadBoolSetting("ShowTempletsDialog", false));
    EXPECT_TRUE(TfrmTemplet::ShouldShowAtStart());
    EXPECT_TRUE(ReadBytes(profile_.SettingsFile()).contains("ShowTempletsDialog=1"));
    box->click();  // checked again
    EXPECT_FALSE(ReadBoolSetting("ShowTempletsDialog", true));
    EXPECT_FALSE(TfrmTemplet::ShouldShowAtStart());
    // Cancel afterwards does not undo what the box wrote.
    Child<QPushButton>(chooser, "BitBtn2")->click();
    EXPECT_FALSE(ReadBoolSetting("ShowTempletsDialog", true));
}

TEST_F(TfrmTempletTest, ASettingThatCannotBeWrittenIsReported) {
    TfrmTemplet chooser(Host());
    ShowAndWait(chooser);
    // A folder where the settings file should be: it can be neither read nor written.
    QFile::remove(profile_.SettingsFile());
    ASSERT_TRUE(QDir().mkpath(profile_.SettingsFile()));
    Child<QCheckBox>(chooser, "chckbxDontShow")->click();
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_TRUE(errors.messages[0].startsWith(profile_.SettingsFile() + ": cannot")) << errors.messages[0].toStdString();
    EXPECT_TRUE(chooser.isVisible());
}

}  // namespace
}  // namespace qm::test
