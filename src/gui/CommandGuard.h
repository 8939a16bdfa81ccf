#pragma once
// The boundary of every command: whatever a command throws ends the command and is
// shown in the application's error box; nothing travels on into Qt's event loop.

#include <QString>
#include <exception>
#include <utility>

#include "IUserDialogs.h"

class QWidget;

namespace qm {

// The message the error box shows for a caught exception.
QString MessageOfException(const std::exception_ptr& error);

template <class Command>
bool RunGuarded(IUserDialogs& dialogs, QWidget* parent, Command&& command) {
    try {
        std::forward<Command>(command)();
        return true;
    } catch (...) {
        dialogs.ShowApplicationError(parent, MessageOfException(std::current_exception()));
        return false;
    }
}

}  // namespace qm
