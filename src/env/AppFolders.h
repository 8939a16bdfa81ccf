#pragma once
// The per-user folders the program works in. Nothing is cached: every call looks at
// the file system again and creates a missing folder on the spot. Every path ends with
// "/" (Qt's separator on every platform). Failures throw qm::Error carrying exactly the
// user message (no file, no line):
//   the base folder (XDG data home, documents folder) is not a folder and cannot be
//     made one: "Failed to retrieve application data path! ..." or
//     "Failed to retrieve my documents path! ..."; a fresh account without
//     ~/.local/share or ~/Documents gets them created instead;
//   a level Tarnwell, Quillamere or 1.0 cannot be created (e.g. a plain file of that
//     name is in the way), under either base:
//     "Failed to create data folder at application data path! ...";
//   Preview or Temp cannot be created: "Failed to create preview folder ..." or
//     "Failed to create temp folder ...".
// The base folders are read from the environment on every call (XDG_DATA_HOME,
// XDG_CONFIG_HOME/user-dirs.dirs, HOME), which is how tests point them elsewhere.

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
