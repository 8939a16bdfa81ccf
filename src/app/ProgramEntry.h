#pragma once
// The program's start: the application, the main window with the two windows that live
// as long as it (the page buffer and help), the project named on the command line or
// the template chooser, and the event loop.

#include <QString>
#include <QStringList>

namespace qm {

struct TStartOptions {
    // Leave the event loop as soon as the window is up and idle (the start-up benchmark).
    bool quitWhenIdle = false;
};

// The project named on the command line: every argument after the program's own name,
// joined with single blanks, trimmed. A path with a blank that arrives as two
// arguments is thus joined back.
QString CommandLineFileName(const QStringList& arguments);

class TMainForm;

// What the window shows first: the project named on the command line (with the changes
// a crashed window left of it, when the user wants them back), else the changes
// crashed windows left of any project, else the template chooser when the setting
// allows.
void OpenAtStart(TMainForm& window, const QString& fileName);

// Runs the program; returns its exit code.
int RunQuillamere(int& argc, char** argv, const TStartOptions& options = {});

}  // namespace qm
