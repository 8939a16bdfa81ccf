#pragma once
// How the auxiliary windows hand a failure to the program around them. No exception
// leaves a window's event handler: it is caught there and its message is passed to the
// host's error reporter, which shows the application's error box.

#include <QString>

#include <exception>
#include <functional>
#include <utility>

namespace qm {

// Shows one message in the application's error box.
using ErrorReporter = std::function<void(const QString& message)>;

// The text the error box shows for a caught exception: what() of a qm::Error (file,
// line and reason joined) or of any std::exception; "Out of memory." when memory ran
// out; "An unexpected error occurred." for anything else. The one description of every
// command boundary, the main window's included.
QString DescribeException(std::exception_ptr error);

// Hands message to report; without a reporter the message goes to Qt's warning log
// instead, so that it is never lost silently.
void ReportError(const ErrorReporter& report, const QString& message);

// Runs action; whatever it throws is reported and swallowed. Returns whether the action
// finished without throwing.
template <class Action>
bool RunReportingErrors(const ErrorReporter& report, Action&& action) {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (...) {
        ReportError(report, DescribeException(std::current_exception()));
        return false;
    }
}

}  // namespace qm
