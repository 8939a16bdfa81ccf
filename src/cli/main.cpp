// quillamere-cli: the headless front end of the menu document.
#include <filesystem>
#include <iostream>

#include "cli/CommandLineTool.h"
#include "cli/OutputFile.h"
#include "model/FileSystem.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // The companion files lie beside the executable. Where the system cannot name the
    // running executable, the path it was started by serves.
    std::string programFolder = qm::RunningProgramFolder();
    if (programFolder.empty() && argc > 0) {
        std::error_code ec;
        programFolder = std::filesystem::absolute(argv[0], ec).parent_path().string();
    }
    qm::LeaveDocumentsToProcessEnd();
    // Every byte of the results reaches the standard output, or the tool says why not
    // and fails: a full disk or a closed pipe is never reported as success.
    qm::OutputFileBuffer standardOutput(qm::os::StandardOutput());
    std::ostream out(&standardOutput);
    int status = qm::RunCommandLineTool(arguments, out, std::cerr, programFolder);
    out.flush();
    if (const auto failure = standardOutput.Close()) {
        std::cerr << "standard output: " << failure.message() << "\n";
        if (status == 0) status = 1;
    }
    return status;
}
