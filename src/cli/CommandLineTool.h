#pragma once
// The commands of quillamere-cli. Results go to out, messages to err; the return value
// is the process exit code: 0 done, 1 a file was refused or could not be written,
// 2 wrong usage.

#include <ostream>
#include <string>
#include <vector>

namespace qm {

int RunCommandLineTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace qm
