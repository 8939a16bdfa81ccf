// The main of every window test program but the web engine's.

#include "GuiTestSupport.h"

int main(int argc, char** argv) {
    return qm::testing::RunWindowTests(argc, argv, {});
}
