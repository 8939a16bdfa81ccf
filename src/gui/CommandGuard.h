#pragma once
// The boundary of every command: whatever a command throws ends the command and is
// shown in the application's error box; nothing travels on into Qt's event loop. The
// message is DescribeException's, the same as the auxiliary windows give.

#include <QString>
#include <exception>
#include <utility>

#include "gui/dialogs/DialogErrors.h"
#include "gui/IUserDialogs.h"

class QWidget;

namespace qm {

template <class Command>
bool RunGuarded(IUserDialogs& dialogs, QWidget* parent, Command&& command) {
    try {
        std::forward<Command>(command)();
        return true;
    } catch (...) {
        dialogs.ShowApplicationError(parent, DescribeException(std::current_exception()));
        return false;
    }
}

}  // namespace qm
