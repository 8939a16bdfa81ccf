#pragma once
// The one error type of the core. It carries what the user needs to act on it: the
// file, the line where there is one, and the reason in plain words; what() joins them
// as "menu.zorbel, line 17: level 'x' is not a whole number", the file's name as
// PrintableName shows it.

#include <stdexcept>
#include <string>
#include <string_view>

namespace qm {

class Error : public std::runtime_error {
public:
    // file may be empty (a value that is not tied to a file); line 0 means "no line".
    Error(std::string file, int line, std::string reason);
    explicit Error(std::string reason) : Error({}, 0, std::move(reason)) {}

    const std::string& File() const { return file_; }
    int Line() const { return line_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string file_;
    int line_;
    std::string reason_;
};

// The system's description of an errno value ("Permission denied").
std::string SystemReason(int errorNumber);

// A file name or path as a message shows it on one line: a control character (a line
// end, an escape that a terminal would act on, also the C1 controls) and a byte that
// is not UTF-8 as \xNN, the line and paragraph separators as \u2028 and \u2029; all
// else as it is. A name that needs none of this is returned unchanged.
std::string PrintableName(std::string_view name);

}  // namespace qm
