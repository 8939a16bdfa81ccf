// Build tool: writes the blank menu movie.
//   make_movie OUTPUT [WIDTH HEIGHT [RRGGBB]]
// Exit status 0 written, 1 the file could not be written, 2 wrong arguments.

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "BlankMovie.h"

namespace {

bool ParseWhole(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseColour(std::string_view text, std::uint32_t& value) {
    if (text.size() != 6) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

int main(int argc, char** argv) {
    constexpr const char* kUsage = "usage: make_movie OUTPUT [WIDTH HEIGHT [RRGGBB]]\n";
    if (argc != 2 && argc != 4 && argc != 5) {
        std::cerr << kUsage;
        return 2;
    }
    qm::companion::BlankMovieLook look;
    if (argc >= 4 && (!ParseWhole(argv[2], look.width) || !ParseWhole(argv[3], look.height))) {
        std::cerr << "make_movie: the size must be two whole numbers\n" << kUsage;
        return 2;
    }
    if (argc == 5 && !ParseColour(argv[4], look.background)) {
        std::cerr << "make_movie: '" << argv[4] << "' is not a colour of six hexadecimal digits\n";
        return 2;
    }
    std::string movie;
    try {
        movie = qm::companion::MakeBlankMovie(look);
    } catch (const std::invalid_argument& error) {
        std::cerr << "make_movie: " << error.what() << "\n";
        return 2;
    }
    const std::string output = argv[1];
    {
        std::ofstream file(output, std::ios::binary | std::ios::trunc);
        if (file.write(movie.data(), static_cast<std::streamsize>(movie.size())) && file.flush()) return 0;
    }
    std::remove(output.c_str());
    std::cerr << "make_movie: cannot write " << output << "\n";
    return 1;
}
