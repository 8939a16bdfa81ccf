// The main of every window test program but the web engine's.

#include "support/WindowTest.h"

int main(int argc, char** argv) {
    return qm::test::RunWindowTests(argc, argv, {});
}
