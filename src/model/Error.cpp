#include "model/Error.h"

#include <system_error>

namespace qm {

namespace {
std::string Compose(const std::string& file, int line, const std::string& reason) {
    std::string text = file;
    if (line > 0) text += (text.empty() ? "line " : ", line ") + std::to_string(line);
    if (!text.empty()) text += ": ";
    return text + reason;
}
}  // namespace

Error::Error(std::string file, int line, std::string reason)
    : std::runtime_error(Compose(file, line, reason)),
      file_(std::move(file)),
      line_(line),
      reason_(std::move(reason)) {}

std::string SystemReason(int errorNumber) {
    return std::generic_category().message(errorNumber);
}

}  // namespace qm
