// quillamere-minimal-reader FILE: reads a project file the least possible way (see
// MinimalReader.h) and prints its line and field counts. The yardstick for timing
// `quillamere-cli check` on the same file from outside, e.g. with /usr/bin/time -v.
#include <cstdio>

#include "MinimalReader.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillamere-minimal-reader FILE\n");
        return 2;
    }
    const auto document = bench::ReadMinimally(argv[1]);
    if (!document.buffer) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("%s: %zu lines, %zu fields\n", argv[1], document.lines.size(), document.fieldCount);
    return 0;
}
