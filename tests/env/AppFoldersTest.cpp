// The per-user folders: where they are, which are created, the trailing "/", and the
// exact messages when a level cannot be made.

#include "env/AppFolders.h"
#include "model/Error.h"
#include "support/ErrorCheck.h"
#include "support/TemporaryHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>

namespace qm::test {
namespace {


const std::string kCreateData =
    "Failed to create data folder at application data path! Please contact vendor for help! Thank you!";
const std::string kRetrieveAppData =
    "Failed to retrieve application data path! Please contact vendor for help! Thank you!";
const std::string kRetrieveDocuments =
    "Failed to retrieve my documents path! Please contact vendor for help! Thank you!";
const std::string kCreatePreview =
    "Failed to create preview folder at application data path! Please contact vendor for help! Thank you!";
const std::string kCreateTemp =
    "Failed to create temp folder at application data path! Please contact vendor for help! Thank you!";

bool IsFolder(const QString& path) {
    return QFileInfo(path).isDir();
}


class AppFoldersTest : public ::testing::Test {
protected:
    TemporaryHome home_;
};

TEST(AddTrailingBackslashTest, AppendsTheSeparatorOnlyWhenMissing) {
    EXPECT_EQ(AddTrailingBackslash(QString()), QStringLiteral("/"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/tmp")), QStringLiteral("/tmp/"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/tmp/")), QStringLiteral("/tmp/"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("a b")), QStringLiteral("a b/"));
}

TEST_F(AppFoldersTest, DataFolderIsCreatedLevelByLevelUnderTheXdgDataHome) {
    ASSERT_FALSE(IsFolder(home_.DataHome()));  // a fresh account has no ~/.local/share yet
    EXPECT_EQ(GetAppDataFolder(), home_.DataFolder());
    EXPECT_TRUE(IsFolder(home_.DataHome() + QStringLiteral("/Tarnwell")));
    EXPECT_TRUE(IsFolder(home_.DataHome() + QStringLiteral("/Tarnwell/Quillamere")));
    EXPECT_TRUE(IsFolder(home_.DataFolder()));
    // Removed while the program runs (a clean-up by the user): the next ask makes it again.
    ASSERT_TRUE(QDir(home_.DataHome() + QStringLiteral("/Tarnwell")).removeRecursively());
    EXPECT_EQ(GetAppDataFolder(), home_.DataFolder());
    EXPECT_TRUE(IsFolder(home_.DataFolder()));
}

TEST_F(AppFoldersTest, DataFolderFollowsXdgDataHomeAndKeepsWhatIsInIt) {
    const QString dataHome = home_.Root() + QStringLiteral("/other data");
    home_.Set("XDG_DATA_HOME", dataHome.toUtf8());
    const QString expected = dataHome + QStringLiteral("/Tarnwell/Quillamere/1.0/");
    ASSERT_EQ(GetAppDataFolder(), expected);
    WriteBytes(expected + QStringLiteral("keep.txt"), "x");
    EXPECT_EQ(GetAppDataFolder(), expected);  // a second call finds the folders in place
    EXPECT_TRUE(QFileInfo::exists(expected + QStringLiteral("keep.txt")));
}

TEST_F(AppFoldersTest, PreviewAndTempFoldersAreCreatedInsideTheDataFolder) {
    EXPECT_EQ(GetPreviewFolder(), home_.DataFolder() + QStringLiteral("Preview/"));
    EXPECT_TRUE(IsFolder(home_.DataFolder() + QStringLiteral("Preview")));
    EXPECT_FALSE(IsFolder(home_.DataFolder() + QStringLiteral("Temp")));
    EXPECT_EQ(GetTempFolder(), home_.DataFolder() + QStringLiteral("Temp/"));
    EXPECT_TRUE(IsFolder(home_.DataFolder() + QStringLiteral("Temp")));
    EXPECT_EQ(GetTempFolder(), home_.DataFolder() + QStringLiteral("Temp/"));  // again: already there
}

TEST_F(AppFoldersTest, TemplatesFolderIsNamedButNeverCreated) {
    EXPECT_EQ(GetTemplatesFolder(), home_.DataFolder() + QStringLiteral("Templates/"));
    EXPECT_TRUE(IsFolder(home_.DataFolder()));  // the data folder itself is made on the way
    EXPECT_FALSE(QFileInfo::exists(home_.DataFolder() + QStringLiteral("Templates")));
}

TEST_F(AppFoldersTest, PlainFileInPlaceOfAnyLevelGivesTheCreationMessage) {
    for (const char* blocked : {"Tarnwell", "Tarnwell/Quillamere", "Tarnwell/Quillamere/1.0"}) {
        SCOPED_TRACE(blocked);
        TemporaryHome home;
        WriteBytes(home.DataHome() + QLatin1Char('/') + QLatin1String(blocked), "not a folder");
        EXPECT_QM_ERROR(GetAppDataFolder(), kCreateData);
        // Every folder built on the data folder fails the same way, the templates folder too.
        EXPECT_QM_ERROR(GetPreviewFolder(), kCreateData);
        EXPECT_QM_ERROR(GetTempFolder(), kCreateData);
        EXPECT_QM_ERROR(GetTemplatesFolder(), kCreateData);
    }
}

TEST_F(AppFoldersTest, PlainFileInPlaceOfPreviewOrTempGivesItsOwnMessage) {
    WriteBytes(home_.DataFolder() + QStringLiteral("Preview"), "not a folder");
    EXPECT_QM_ERROR(GetPreviewFolder(), kCreatePreview);
    EXPECT_EQ(GetTempFolder(), home_.DataFolder() + QStringLiteral("Temp/"));  // the other one is unaffected
    ASSERT_TRUE(QDir().rename(home_.DataFolder() + QStringLiteral("Temp"), home_.Root() + QStringLiteral("/moved")));
    WriteBytes(home_.DataFolder() + QStringLiteral("Temp"), "not a folder");
    EXPECT_QM_ERROR(GetTempFolder(), kCreateTemp);
}

TEST_F(AppFoldersTest, DataHomeThatIsAPlainFileCannotBeRetrieved) {
    const QString dataHome = home_.Root() + QStringLiteral("/data-file");
    WriteBytes(dataHome, "not a folder");
    home_.Set("XDG_DATA_HOME", dataHome.toUtf8());
    EXPECT_QM_ERROR(GetAppDataFolder(), kRetrieveAppData);
    EXPECT_QM_ERROR(GetPreviewFolder(), kRetrieveAppData);
}

TEST_F(AppFoldersTest, DocumentsFolderDefaultsToDocumentsInHome) {
    const QString expected = home_.Home() + QStringLiteral("/Documents/Tarnwell/Quillamere/1.0/");
    EXPECT_EQ(GetDocumentsFolder(), expected);  // ~/Documents itself was missing and is made
    EXPECT_TRUE(IsFolder(expected));
}

TEST_F(AppFoldersTest, DocumentsFolderFollowsTheUsersXdgDocumentsDir) {
    WriteBytes(home_.ConfigHome() + QStringLiteral("/user-dirs.dirs"),
              "# written by the user's desktop\nXDG_DOCUMENTS_DIR=\"$HOME/My Papers\"\n");
    QDir().mkpath(home_.Home() + QStringLiteral("/My Papers"));
    EXPECT_EQ(GetDocumentsFolder(), home_.Home() + QStringLiteral("/My Papers/Tarnwell/Quillamere/1.0/"));
}

TEST_F(AppFoldersTest, DocumentsFolderFailures) {
    // A documents folder that is a plain file cannot be resolved to a folder.
    WriteBytes(home_.Home() + QStringLiteral("/Documents"), "not a folder");
    EXPECT_QM_ERROR(GetDocumentsFolder(), kRetrieveDocuments);

    // A level that cannot be made carries the data folder's message, as it always has.
    TemporaryHome other;
    WriteBytes(other.Home() + QStringLiteral("/Documents/Tarnwell/Quillamere"), "not a folder");
    EXPECT_QM_ERROR(GetDocumentsFolder(), kCreateData);
}

TEST_F(AppFoldersTest, ProgramFolderIsTheFolderOfTheRunningProgram) {
    const QString folder = GetProgramFolder();
    EXPECT_TRUE(folder.endsWith(QLatin1Char('/')));
    EXPECT_EQ(QFileInfo(folder).canonicalFilePath(),
              QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath());
}

}  // namespace
}  // namespace qm::test
