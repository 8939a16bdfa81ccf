// Build tool: the shipped menu script, the minified script with the look table's
// defaults before it; or, for the minifier, the look fields' positions.
//   make_menu_script MINIFIED OUTPUT
//   make_menu_script --positions
// Exit status 0 written, 1 a file could not be read or written, 2 wrong arguments.

#include <fstream>
#include <iostream>
#include <exception>
#include <iterator>
#include <string>

#include "model/SafeSave.h"
#include "output/MenuScriptLook.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--positions") {
        std::cout << qm::MenuScriptFieldPositions();
        return std::cout.flush() ? 0 : 1;
    }
    if (argc != 3) {
        std::cerr << "usage: make_menu_script MINIFIED OUTPUT | --positions\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in.is_open()) {
        std::cerr << "make_menu_script: cannot read " << argv[1] << "\n";
        return 1;
    }
    const std::string minified{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    try {
        qm::SaveFileSafely(argv[2], qm::MenuScriptWithLook(minified));
    } catch (const std::exception& error) {
        std::cerr << "make_menu_script: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
