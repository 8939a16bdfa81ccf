// The freedesktop registration of the project type: the files written into the XDG
// data home, their recognition by xdg-mime, the rule that nothing is written or
// refreshed when nothing changed, and the quoting of a program path in Exec.

#include "env/FileAssociation.h"
#include "support/TemporaryHome.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

namespace qm::test {
namespace {


// Runs a tool and returns its trimmed standard output; empty when it fails.
QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool Installed(const char* tool) {
    return !QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty();
}

QString DesktopLine(const QString& text, const QString& key) {
    for (const QString& line : text.split(u'\n'))
        if (line.startsWith(key + u'=')) return line;
    return {};
}

class FileAssociationTest : public ::testing::Test {
protected:
    TemporaryHome home_;
    const QString program_ = QStringLiteral("/usr/lib/quillamere/quillamere");
};

TEST_F(FileAssociationTest, WritesTheMimePackageAndTheDesktopEntryIntoTheDataHome) {
    const FileAssociationResult result = RegisterFileAssociationFor(program_);
    EXPECT_TRUE(result.mimePackageWritten);
    EXPECT_TRUE(result.desktopEntryWritten);
    EXPECT_EQ(UserMimePackagePath(), home_.DataHome() + QStringLiteral("/mime/packages/quillamere.xml"));
    EXPECT_EQ(UserDesktopEntryPath(), home_.DataHome() + QStringLiteral("/applications/quillamere.desktop"));

    const QByteArray mime = ReadBytes(UserMimePackagePath());
    EXPECT_EQ(mime, MimePackageText().toUtf8());
    EXPECT_TRUE(mime.contains("<mime-type type=\"application/x-quillamere-project\">"));
    EXPECT_TRUE(mime.contains("<glob pattern=\"*.zorbel\"/>"));

    const QString entry = QString::fromUtf8(ReadBytes(UserDesktopEntryPath()));
    EXPECT_TRUE(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_EQ(DesktopLine(entry, QStringLiteral("Exec")), QStringLiteral("Exec=/usr/lib/quillamere/quillamere %f"));
    EXPECT_EQ(DesktopLine(entry, QStringLiteral("TryExec")), QStringLiteral("TryExec=/usr/lib/quillamere/quillamere"));
    EXPECT_EQ(DesktopLine(entry, QStringLiteral("MimeType")), QStringLiteral("MimeType=application/x-quillamere-project;"));
    EXPECT_EQ(DesktopLine(entry, QStringLiteral("Name")), QStringLiteral("Name=Quillamere"));
    EXPECT_EQ(DesktopLine(entry, QStringLiteral("Type")), QStringLiteral("Type=Application"));

    if (Installed("desktop-file-validate")) {
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {UserDesktopEntryPath()});
        ASSERT_TRUE(validate.waitForFinished(30000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
    }
}

TEST_F(FileAssociationTest, XdgMimeRecognisesTheTypeAndNamesOurEntryAsItsDefault) {
    for (const char* tool : {"xdg-mime", "update-mime-database", "update-desktop-database"})
        if (!Installed(tool)) GTEST_SKIP() << tool << " is not installed";

    const QString project = home_.Root() + QStringLiteral("/work/menu.zorbel");
    WriteBytes(project, "<Product_Name>\n");
    // Without the registration the file is plain text to the desktop.
    EXPECT_NE(RunTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), project}),
              QStringLiteral("application/x-quillamere-project"));

    const FileAssociationResult result = RegisterFileAssociationFor(program_);
    EXPECT_TRUE(result.mimeDatabaseRefreshed);
    EXPECT_TRUE(result.desktopDatabaseRefreshed);
    EXPECT_EQ(RunTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), project}),
              QStringLiteral("application/x-quillamere-project"));
    EXPECT_EQ(RunTool(QStringLiteral("xdg-mime"),
                  {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("application/x-quillamere-project")}),
              QStringLiteral("quillamere.desktop"));
}

TEST_F(FileAssociationTest, NothingIsWrittenOrRefreshedWhenNothingChanged) {
    for (const char* tool : {"update-mime-database", "update-desktop-database"})
        if (!Installed(tool)) GTEST_SKIP() << tool << " is not installed";
    RegisterFileAssociationFor(program_);
    const QDateTime mimeTime = QFileInfo(UserMimePackagePath()).lastModified();
    const QDateTime entryTime = QFileInfo(UserDesktopEntryPath()).lastModified();
    const QDateTime cacheTime = QFileInfo(home_.DataHome() + QStringLiteral("/applications/mimeinfo.cache")).lastModified();

    const FileAssociationResult again = RegisterFileAssociationFor(program_);
    EXPECT_FALSE(again.mimePackageWritten);
    EXPECT_FALSE(again.desktopEntryWritten);
    EXPECT_FALSE(again.mimeDatabaseRefreshed);
    EXPECT_FALSE(again.desktopDatabaseRefreshed);
    EXPECT_EQ(QFileInfo(UserMimePackagePath()).lastModified(), mimeTime);
    EXPECT_EQ(QFileInfo(UserDesktopEntryPath()).lastModified(), entryTime);
    EXPECT_EQ(QFileInfo(home_.DataHome() + QStringLiteral("/applications/mimeinfo.cache")).lastModified(), cacheTime);

    // The program moved: only the desktop entry changes, and only its database is refreshed.
    const FileAssociationResult moved = RegisterFileAssociationFor(QStringLiteral("/opt/q/quillamere"));
    EXPECT_FALSE(moved.mimePackageWritten);
    EXPECT_TRUE(moved.desktopEntryWritten);
    EXPECT_FALSE(moved.mimeDatabaseRefreshed);
    EXPECT_TRUE(moved.desktopDatabaseRefreshed);
    EXPECT_EQ(DesktopLine(QString::fromUtf8(ReadBytes(UserDesktopEntryPath())), QStringLiteral("Exec")),
              QStringLiteral("Exec=/opt/q/quillamere %f"));

    // A hand-edited package is put back.
    WriteBytes(UserMimePackagePath(), "<mime-info/>");
    const FileAssociationResult mended = RegisterFileAssociationFor(QStringLiteral("/opt/q/quillamere"));
    EXPECT_TRUE(mended.mimePackageWritten);
    EXPECT_TRUE(mended.mimeDatabaseRefreshed);
    EXPECT_EQ(ReadBytes(UserMimePackagePath()), MimePackageText().toUtf8());
}

TEST_F(FileAssociationTest, MissingToolsAreSkippedAndTheRefreshCatchesUpLater) {
    const QByteArray fullPath = qgetenv("PATH");
    home_.Set("PATH", (home_.Root() + QStringLiteral("/no-tools")).toUtf8());
    const FileAssociationResult first = RegisterFileAssociationFor(program_);
    EXPECT_TRUE(first.mimePackageWritten);
    EXPECT_TRUE(first.desktopEntryWritten);
    EXPECT_FALSE(first.mimeDatabaseRefreshed);
    EXPECT_FALSE(first.desktopDatabaseRefreshed);
    EXPECT_FALSE(QFileInfo::exists(home_.DataHome() + QStringLiteral("/mime/application/x-quillamere-project.xml")));

    home_.Set("PATH", fullPath);
    if (!Installed("update-mime-database") || !Installed("update-desktop-database"))
        GTEST_SKIP() << "the freedesktop tools are not installed";
    const FileAssociationResult later = RegisterFileAssociationFor(program_);
    EXPECT_FALSE(later.mimePackageWritten);
    EXPECT_FALSE(later.desktopEntryWritten);
    EXPECT_TRUE(later.mimeDatabaseRefreshed);
    EXPECT_TRUE(later.desktopDatabaseRefreshed);
    EXPECT_TRUE(QFileInfo::exists(home_.DataHome() + QStringLiteral("/mime/application/x-quillamere-project.xml")));
}

TEST_F(FileAssociationTest, FailuresStaySilent) {
    // The data home is a plain file: nothing can be written, and nothing is thrown.
    const QString dataHome = home_.Root() + QStringLiteral("/data-file");
    WriteBytes(dataHome, "not a folder");
    home_.Set("XDG_DATA_HOME", dataHome.toUtf8());
    FileAssociationResult result;
    EXPECT_NO_THROW(result = RegisterFileAssociationFor(program_));
    EXPECT_FALSE(result.mimePackageWritten);
    EXPECT_FALSE(result.desktopEntryWritten);
    EXPECT_NO_THROW(RegisterFileAssociation());
    EXPECT_EQ(ReadBytes(dataHome), QByteArray("not a folder"));
}

TEST_F(FileAssociationTest, RegistrationAtStartNamesTheRunningProgram) {
    RegisterFileAssociation();
    const QString entry = QString::fromUtf8(ReadBytes(UserDesktopEntryPath()));
    EXPECT_EQ(DesktopLine(entry, QStringLiteral("TryExec")),
              QStringLiteral("TryExec=") + QCoreApplication::applicationFilePath());
}

TEST(DesktopEntryTextTest, ExecQuotesAProgramPathWithReservedCharacters) {
    auto exec = [](const QString& program) { return DesktopLine(DesktopEntryTextFor(program), QStringLiteral("Exec")); };
    EXPECT_EQ(exec(QStringLiteral("/opt/my tools/quillamere")), QStringLiteral("Exec=\"/opt/my tools/quillamere\" %f"));
    // Inside quotes ", `, $ and \ take a backslash, and then every backslash of the
    // value is doubled; % is doubled everywhere.
    EXPECT_EQ(exec(QStringLiteral("/opt/a$b/q\"x`y")), QStringLiteral("Exec=\"/opt/a\\\\$b/q\\\\\"x\\\\`y\" %f"));
    EXPECT_EQ(exec(QStringLiteral("/opt/back\\slash/q")), QStringLiteral("Exec=\"/opt/back\\\\\\\\slash/q\" %f"));
    EXPECT_EQ(exec(QStringLiteral("/opt/100%/q")), QStringLiteral("Exec=/opt/100%%/q %f"));
    EXPECT_EQ(exec(QStringLiteral("/opt/é/q")), QStringLiteral("Exec=/opt/é/q %f"));
    // TryExec is a plain string: no quotes, only the string escapes.
    EXPECT_EQ(DesktopLine(DesktopEntryTextFor(QStringLiteral("/opt/my tools/q\\x")), QStringLiteral("TryExec")),
              QStringLiteral("TryExec=/opt/my tools/q\\\\x"));
    // Everything else is the installed entry unchanged.
    const QString entry = DesktopEntryTextFor(QStringLiteral("/x"));
    EXPECT_EQ(DesktopLine(entry, QStringLiteral("Icon")), QStringLiteral("Icon=quillamere"));
    EXPECT_EQ(DesktopLine(entry, QStringLiteral("Terminal")), QStringLiteral("Terminal=false"));
}

TEST_F(FileAssociationTest, ADesktopLaunchPassesTheProjectPathWholeToAProgramWithBlanksInItsPath) {
    if (!Installed("gio")) GTEST_SKIP() << "gio is not installed";
    // A stand-in program under a path with blanks and a dollar sign records its arguments.
    const QString record = home_.Root() + QStringLiteral("/arguments.txt");
    const QString program = home_.Root() + QStringLiteral("/my $tools/quill amere");
    WriteScript(program, "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + record.toUtf8() + "'\n");
    RegisterFileAssociationFor(program);

    const QString project = home_.Root() + QStringLiteral("/my menus/main menu.zorbel");
    WriteBytes(project, "");
    QProcess::startDetached(QStringLiteral("gio"), {QStringLiteral("launch"), UserDesktopEntryPath(), project});
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadBytes(record).endsWith('\n'); }, 60000));
    EXPECT_EQ(ReadBytes(record), project.toUtf8() + '\n');
}

}  // namespace
}  // namespace qm::test
