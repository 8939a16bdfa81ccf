// quillamere-cli: the headless front end of the menu document.
#include <iostream>

#include "cli/CommandLineTool.h"
#include "cli/WriteAnnouncements.h"

#include <filesystem>

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
    qm::AnnounceWritesWhenAsked();
    return qm::RunCommandLineTool(arguments, std::cout, std::cerr, programFolder);
}
