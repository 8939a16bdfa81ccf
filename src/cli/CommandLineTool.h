#pragma once
// The commands of quillamere-cli. Results go to out, messages to err; the return value
// is the process exit code: 0 done, 1 a file was refused or could not be written (out
// too: the command then stops, and out's owner says why, as main() does for the
// standard output), 2 wrong usage. File names in messages are shown as PrintableName
// shows them.

#include <ostream>
#include <string>
#include <vector>

namespace qm {

// programFolder: where the program's companion files (the movie and the script) lie;
// empty means the folder of the running executable.
int RunCommandLineTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                       const std::string& programFolder = {});

// Documents the commands are done with are not torn down but left to the end of the
// process, which returns their memory in one piece anyway: for the program's main(),
// not for a caller that goes on running.
void LeaveDocumentsToProcessEnd();

class TkvxAppletAgent;
// Loads a project and gives its look the form the window gives it when it shows the
// project and saves it again, so that what is published here is byte for byte what the
// window would write. The load's warnings go to err. Throws qm::Error as the reader does.
void LoadForPublishing(TkvxAppletAgent& agent, const std::string& path, std::ostream& err);

// The folder of the running executable.
std::string RunningProgramFolder();

}  // namespace qm
