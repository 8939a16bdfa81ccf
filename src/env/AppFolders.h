#pragma once
// The per-user folders the program works in. Nothing is cached: every call looks at
// the file system again and creates a missing folder on the spot. Every path ends with
// the platform's separator ("/"). Failures throw qm::Error carrying exactly the user
// message (no file, no line).

#include <QString>

namespace qm {

// Appends "/" unless the path already ends with one (an empty path becomes "/").
QString AddTrailingBackslash(const QString& path);

QString GetAppDataFolder();    // <XDG data home>/Tarnwell/Quillamere/1.0/, created level by level
QString GetPreviewFolder();    // data folder + "Preview/", created when missing
QString GetTempFolder();       // data folder + "Temp/", created when missing
QString GetTemplatesFolder();  // data folder + "Templates/", neither checked nor created
QString GetDocumentsFolder();  // <documents>/Tarnwell/Quillamere/1.0/, created level by level

// The folder of the running program, with a trailing "/": where its companion files lie.
QString GetProgramFolder();

}  // namespace qm
