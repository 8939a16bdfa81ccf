// The program's start, exactly as `quillamere` runs it, leaving the event loop as soon
// as the window is up and idle.

#include "ProgramEntry.h"

int main(int argc, char** argv) {
    return qm::RunQuillamere(argc, argv, {.quitWhenIdle = true});
}
