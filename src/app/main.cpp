// quillamere: the menu designer's window.

#include "app/ProgramEntry.h"

int main(int argc, char** argv) {
    return qm::RunQuillamere(argc, argv);
}
