#pragma once
// The menu movie that every published page refers to. Browsers no longer play movies,
// and swfhelper.js draws the menu in the movie's place, so the movie only has to be
// small and valid: one frame of the page's background colour.

#include <cstdint>
#include <string>

namespace qm::companion {

struct BlankMovieLook {
    int width = 600;              // pixels, 1..9999 like the menu box
    int height = 40;
    std::uint32_t background = 0xFFFFFF;  // 0xRRGGBB
    int framesPerSecond = 12;
};

// The bytes of an uncompressed version 7 movie: the header with the stage size in
// twips, a background colour tag, one shown frame and the end tag. Throws
// std::invalid_argument when a size lies outside 1..9999 or the rate outside 1..120.
std::string MakeBlankMovie(const BlankMovieLook& look);

}  // namespace qm::companion
