// quillamere-cli: the headless front end of the menu document.
#include <iostream>

#include "CommandLineTool.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return qm::RunCommandLineTool(arguments, std::cout, std::cerr);
}
