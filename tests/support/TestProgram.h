#pragma once
// The set-up of a whole Qt test program, made in its main before the application object
// exists: the offscreen platform, and HOME and the XDG folders in a temporary folder so
// that no test can touch the real user's files. Each test makes its own TemporaryHome
// besides.

#include <QString>

namespace qm::test {

// Folders some test programs want in their home beyond the usual ones.
struct ProgramHomeFolders {
    // XDG_DOCUMENTS_DIR names <home>/Documents.
    bool documents = false;
    // XDG_RUNTIME_DIR names <home>/runtime, made and readable by the owner only, rather
    // than <home> itself.
    bool runtimeSubfolder = false;
};

// Runs on the offscreen platform unless QT_QPA_PLATFORM names another, and points HOME
// at `home` and XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME and XDG_RUNTIME_DIR into
// it, for the rest of the program.
void SetUpTestProgram(const QString& home, ProgramHomeFolders extras = {});

}  // namespace qm::test
