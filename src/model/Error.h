#pragma once
// The one error type of the core. It carries what the user needs to act on it: the
// file, the line where there is one, and the reason in plain words; what() joins them
// as "menu.zorbel, line 17: level 'x' is not a whole number".

#include <stdexcept>
#include <string>

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

}  // namespace qm
