// The recent-files list: what is read from "recentfile.dat", what the submenu shows and
// how an addition rewrites the file.

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <gtest/gtest.h>

#include "env/AppFolders.h"
#include "model/Error.h"
#include "gui/dialogs/RecentFilesList.h"
#include "support/ErrorCheck.h"
#include "support/TemporaryHome.h"

namespace qm::test {
namespace {


class RecentFilesListTest : public ::testing::Test {
protected:
    QString FilePath() const { return profile_.Root() + QStringLiteral("/recentfile.dat"); }
    RecentFilesList List() const { return RecentFilesList(FilePath()); }
    void Write(const QByteArray& content) { WriteBytes(FilePath(), content); }
    QByteArray Contents() const { return ReadBytes(FilePath()); }

    static QStringList Captions(const std::vector<RecentFileEntry>& entries) {
        QStringList captions;
        for (const auto& entry : entries) captions << entry.caption;
        return captions;
    }

    TemporaryHome profile_{TemporaryHome::XdgFolders::BesideHome};
};

// --- Reading ---------------------------------------------------------------------------

TEST_F(RecentFilesListTest, AMissingFileIsCreatedEmptyAndListsNothing) {
    ASSERT_FALSE(QFileInfo::exists(FilePath()));
    EXPECT_TRUE(List().Entries().empty());
    EXPECT_TRUE(QFileInfo::exists(FilePath()));
    EXPECT_EQ(Contents(), QByteArray());
}

TEST_F(RecentFilesListTest, OnlyTheFirstFourLinesAreRead) {
    Write("&1 /m/a.zorbel\r\n&2 /m/b.zorbel\r\n&3 /m/c.zorbel\r\n&4 /m/d.zorbel\r\n&5 /m/e.zorbel\r\n/m/f.zorbel\r\n");
    EXPECT_EQ(List().ReadLines(), (QStringList{"&1 /m/a.zorbel", "&2 /m/b.zorbel", "&3 /m/c.zorbel",
                                               "&4 /m/d.zorbel"}));
    EXPECT_EQ(Captions(List().Entries()).size(), 4);
}

TEST_F(RecentFilesListTest, EmptyLinesCountAsSlotsButShowNoEntry) {
    // An empty second line: the submenu shows entries 1 and 3 only, and a fourth-line
    // entry after two empty lines is still within the four lines read.
    Write("&1 /m/a.zorbel\r\n\r\n&3 /m/c.zorbel\r\n");
    EXPECT_EQ(List().ReadLines(), (QStringList{"&1 /m/a.zorbel", "", "&3 /m/c.zorbel"}));
    EXPECT_EQ(Captions(List().Entries()), (QStringList{"&1 /m/a.zorbel", "&3 /m/c.zorbel"}));

    Write("\n\n\n&4 /m/d.zorbel\n&5 /m/e.zorbel\n");
    EXPECT_EQ(Captions(List().Entries()), (QStringList{"&4 /m/d.zorbel"}));
}

TEST_F(RecentFilesListTest, TheWholeLineIsTheCaptionAndThePathFollowsTheFirstThreeCharacters) {
    Write("&1 /m/a b.zorbel\nx\n&2 /m/R&D.zorbel\n");
    const auto entries = List().Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].caption, "&1 /m/a b.zorbel");
    EXPECT_EQ(entries[0].fileName, "/m/a b.zorbel");
    // A line too short for a path still shows; choosing it opens an empty name.
    EXPECT_EQ(entries[1].caption, "x");
    EXPECT_EQ(entries[1].fileName, "");
    // In a Qt menu only the leading "&n" may act as the accelerator.
    EXPECT_EQ(entries[2].fileName, "/m/R&D.zorbel");
    EXPECT_EQ(entries[2].MenuText(), "&2 /m/R&&D.zorbel");
    EXPECT_EQ(RecentFilesList::FileNameOfCaption("&3 C:\\Menus\\a.zorbel"), "C:\\Menus\\a.zorbel");
}

TEST_F(RecentFilesListTest, AFileFromAnEarlierWindowsVersionIsReadAsWindows1252) {
    Write("&1 C:\\Men\xFCs\\a.zorbel\r\n");  // "ü" as one Windows-1252 byte
    const auto entries = List().Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].fileName, QStringLiteral("C:\\Men\u00FCs\\a.zorbel"));
}

TEST_F(RecentFilesListTest, TheProgramsListLiesInTheTempFolder) {
    const RecentFilesList list = RecentFilesList::InTempFolder();
    EXPECT_EQ(list.FilePath(), profile_.DataFolder() + QStringLiteral("Temp/recentfile.dat"));
    EXPECT_EQ(list.FilePath(), GetTempFolder() + QStringLiteral("recentfile.dat"));
}

// --- Adding ----------------------------------------------------------------------------

TEST_F(RecentFilesListTest, TheFirstAdditionCreatesTheFile) {
    EXPECT_TRUE(List().Add("/m/a.zorbel"));
    EXPECT_EQ(Contents(), "&1 /m/a.zorbel\r\n");
}

TEST_F(RecentFilesListTest, ANewFileGoesOnTopAndTheOthersMoveDown) {
    const RecentFilesList list = List();
    list.Add("/m/a.zorbel");
    list.Add("/m/b.zorbel");
    list.Add("/m/c.zorbel");
    EXPECT_EQ(Contents(), "&1 /m/c.zorbel\r\n&2 /m/b.zorbel\r\n&3 /m/a.zorbel\r\n");
}

TEST_F(RecentFilesListTest, TheFifthFileDropsTheOldest) {
    Write("&1 /m/a.zorbel\r\n&2 /m/b.zorbel\r\n&3 /m/c.zorbel\r\n&4 /m/d.zorbel\r\n");
    EXPECT_TRUE(List().Add("/m/e.zorbel"));
    EXPECT_EQ(Contents(), "&1 /m/e.zorbel\r\n&2 /m/a.zorbel\r\n&3 /m/b.zorbel\r\n&4 /m/c.zorbel\r\n");
}

TEST_F(RecentFilesListTest, AListedFileMovesToTheTopAndTheTopOneLeavesTheFileAsItWas) {
    // Line ends, numbering and order that the program would not write itself show that
    // nothing was rewritten.
    const QByteArray before = "&4 /m/a.zorbel\n&1 /m/b.zorbel\n\n&2 /m/d.zorbel\n";
    Write(before);
    EXPECT_FALSE(List().Add("/m/a.zorbel"));
    EXPECT_EQ(Contents(), before);
    // The entries above it move down one slot; the empty slot below it stays.
    EXPECT_TRUE(List().Add("/m/b.zorbel"));
    EXPECT_EQ(Contents(), "&1 /m/b.zorbel\r\n&2 /m/a.zorbel\r\n&4 /m/d.zorbel\r\n");
    EXPECT_TRUE(List().Add("/m/d.zorbel"));
    EXPECT_EQ(Contents(), "&1 /m/d.zorbel\r\n&2 /m/b.zorbel\r\n&3 /m/a.zorbel\r\n");
}

TEST_F(RecentFilesListTest, LetterCaseMakesADifferentFile) {
    List().Add("/m/Menu.zorbel");
    EXPECT_TRUE(List().Add("/m/menu.zorbel"));
    EXPECT_EQ(Contents(), "&1 /m/menu.zorbel\r\n&2 /m/Menu.zorbel\r\n");
}

TEST_F(RecentFilesListTest, AnAdditionAfterAnEmptyLineRenumbersBySlot) {
    Write("&1 /m/a.zorbel\r\n\r\n&3 /m/c.zorbel\r\n");
    EXPECT_TRUE(List().Add("/m/d.zorbel"));
    // The empty slot moves down with the others: c is now in slot 4.
    EXPECT_EQ(Contents(), "&1 /m/d.zorbel\r\n&2 /m/a.zorbel\r\n&4 /m/c.zorbel\r\n");
    EXPECT_EQ(Captions(List().Entries()), (QStringList{"&1 /m/d.zorbel", "&2 /m/a.zorbel", "&4 /m/c.zorbel"}));
}

TEST_F(RecentFilesListTest, LinesPastTheFourthAreNeitherMatchedNorKept) {
    Write("&1 /m/a.zorbel\r\n&2 /m/b.zorbel\r\n&3 /m/c.zorbel\r\n&4 /m/d.zorbel\r\n&5 /m/e.zorbel\r\n");
    EXPECT_TRUE(List().Add("/m/e.zorbel"));
    EXPECT_EQ(Contents(), "&1 /m/e.zorbel\r\n&2 /m/a.zorbel\r\n&3 /m/b.zorbel\r\n&4 /m/c.zorbel\r\n");
}

TEST_F(RecentFilesListTest, AnOddPrefixIsCutAndRewrittenWithTheSlotNumber) {
    Write("#9 /m/a.zorbel\r\nab\r\n");
    EXPECT_TRUE(List().Add("/m/b.zorbel"));
    // "ab" leaves no path and so no line; "#9" becomes the slot's "&2".
    EXPECT_EQ(Contents(), "&1 /m/b.zorbel\r\n&2 /m/a.zorbel\r\n");
}

TEST_F(RecentFilesListTest, NamesThatCannotStandOnOneLineChangeNothing) {
    EXPECT_FALSE(List().Add(QString()));
    EXPECT_FALSE(QFileInfo::exists(FilePath())) << "an empty name must not even create the file";
    Write("&1 /m/a.zorbel\r\n");
    EXPECT_FALSE(List().Add("/m/two\nlines.zorbel"));
    EXPECT_FALSE(List().Add("/m/two\rlines.zorbel"));
    EXPECT_FALSE(List().Add(QStringLiteral("/m/a\u001Ab.zorbel")));
    EXPECT_EQ(Contents(), "&1 /m/a.zorbel\r\n");
}

TEST_F(RecentFilesListTest, PathsAreWrittenAsUtf8) {
    List().Add(QStringLiteral("/m/Men\u00FCs/\u83DC\u5355.zorbel"));
    EXPECT_EQ(Contents(), QByteArray("&1 /m/Men\xC3\xBCs/\xE8\x8F\x9C\xE5\x8D\x95.zorbel\r\n"));
    EXPECT_EQ(List().Entries().at(0).fileName, QStringLiteral("/m/Men\u00FCs/\u83DC\u5355.zorbel"));
}

// --- Failures --------------------------------------------------------------------------

TEST_F(RecentFilesListTest, AFileThatCannotBeCreatedIsReportedWithItsName) {
    const QString path = profile_.Root() + QStringLiteral("/missing/recentfile.dat");
    const RecentFilesList list(path);
    const std::string cannotWrite = path.toStdString() + ": cannot write the file: No such file or directory";
    EXPECT_QM_ERROR(list.Entries(), cannotWrite);
    EXPECT_QM_ERROR(list.Add("/m/a.zorbel"), cannotWrite);
}

TEST_F(RecentFilesListTest, AFileThatCannotBeReplacedKeepsItsContent) {
    // A folder standing where the file should be: it "exists" but cannot be replaced.
    ASSERT_TRUE(QDir().mkpath(FilePath()));
    EXPECT_QM_ERROR(List().Add("/m/a.zorbel"), FilePath().toStdString() + ": cannot read the file: Is a directory");
    EXPECT_TRUE(QFileInfo(FilePath()).isDir());
    EXPECT_TRUE(QDir(profile_.Root()).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "no temporary file is left behind";
}

// --- The submenu -----------------------------------------------------------------------

TEST_F(RecentFilesListTest, TheMenuShowsOneActionPerEntryThatOpensItsPath) {
    Write("&1 /m/a.zorbel\r\n\r\n&3 /m/R&D.zorbel\r\n");
    QMenu menu;
    menu.addAction("stale entry");
    QStringList opened;
    List().FillMenu(menu, [&](const QString& fileName) { opened << fileName; });

    const auto actions = menu.actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), "&1 /m/a.zorbel");
    EXPECT_EQ(actions[1]->text(), "&3 /m/R&&D.zorbel");
    EXPECT_EQ(actions[1]->data().toString(), "&3 /m/R&D.zorbel");
    EXPECT_TRUE(menu.isEnabled());

    actions[1]->trigger();
    actions[0]->trigger();
    EXPECT_EQ(opened, (QStringList{"/m/R&D.zorbel", "/m/a.zorbel"}));
}

TEST_F(RecentFilesListTest, AnEmptyListLeavesTheMenuEmptyAndDisabledUntilAFileIsAdded) {
    QMenu menu;
    menu.addAction("stale entry");
    int opened = 0;
    const auto open = [&](const QString&) { ++opened; };
    List().FillMenu(menu, open);
    EXPECT_TRUE(menu.actions().isEmpty());
    EXPECT_FALSE(menu.isEnabled());

    List().Add("/m/a.zorbel");
    List().FillMenu(menu, open);
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_TRUE(menu.isEnabled());
    EXPECT_EQ(opened, 0);
}

TEST_F(RecentFilesListTest, AMenuThatCannotBeReadIsLeftAsItWas) {
    QMenu menu;
    menu.addAction("&1 /m/a.zorbel");
    const QString path = profile_.Root() + QStringLiteral("/missing/recentfile.dat");
    const RecentFilesList list(path);
    EXPECT_QM_ERROR(list.FillMenu(menu, {}),
                    path.toStdString() + ": cannot write the file: No such file or directory");
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), "&1 /m/a.zorbel");
}

}  // namespace
}  // namespace qm::test
