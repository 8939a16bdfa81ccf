#pragma once
// What every part of the main window works with: the document it edits, the user's
// dialogs, the window as their parent, and the status bar for its notes. The window
// hands each part this and the other parts it needs; a part never reaches into the
// window itself, so the window's class can change without the parts noticing.

#include <utility>

#include "gui/CommandGuard.h"

class QWidget;

namespace qm {

class IUserDialogs;
class TMenuDocument;
class TStatusBar;

struct TWindowContext {
    TMenuDocument& document;
    IUserDialogs& dialogs;
    QWidget& window;
    TStatusBar& statusBar;

    // Runs a command at the window's error boundary: a failure shows the error box.
    template <class Command>
    bool Guard(Command&& command) const {
        return RunGuarded(dialogs, &window, std::forward<Command>(command));
    }
};

}  // namespace qm
