#pragma once
// Registers the project file type at every start. On Linux: a shared-mime-info package
// for application/x-quillamere-project (*.zorbel) and a desktop entry for the program in
// the user's XDG data home, refreshed only when a file changed. Never reports failures.
//
// The per-user desktop entry has the same name as the one the package installs
// (quillamere.desktop), so it takes its place for this user and names the program that
// last started, the way the registry keys do on Windows. Its TryExec makes desktops
// skip it once that program is gone.
//
// On Windows: the three keys under HKEY_CURRENT_USER\Software\Classes (the icon, the
// open command "<program> %1" and ".zorbel" -> "Quillamere.Document").

#include <QString>

namespace qm {

void RegisterFileAssociation();

inline constexpr const char* kProjectMimeType = "application/x-quillamere-project";

// What one registration did; RegisterFileAssociation drops it.
struct FileAssociationResult {
    bool mimePackageWritten = false;
    bool desktopEntryWritten = false;
    bool mimeDatabaseRefreshed = false;     // update-mime-database ran and succeeded
    bool desktopDatabaseRefreshed = false;  // update-desktop-database ran and succeeded
};

// The registration for the given program file (RegisterFileAssociation passes the
// running one). A file is written only when its text differs from what is on disk;
// a database is refreshed when its file was written, or when the database does not
// know our type yet (the tool was missing last time). A tool that is not installed is
// skipped. Never throws.
FileAssociationResult RegisterFileAssociationFor(const QString& programPath);

// <XDG data home>/mime/packages/quillamere.xml and
// <XDG data home>/applications/quillamere.desktop.
QString UserMimePackagePath();
QString UserDesktopEntryPath();

// The texts written there: the MIME package as installed, and the installed desktop
// entry with Exec and TryExec naming programPath (quoted as desktop entries require
// when it holds blanks or other reserved characters).
QString MimePackageText();
QString DesktopEntryTextFor(const QString& programPath);

}  // namespace qm
