#include "BlankMovie.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace qm::companion {

namespace {

constexpr int kTwipsPerPixel = 20;
constexpr int kVersion = 7;  // the version the page's object asks for
constexpr int kTagShowFrame = 1;
constexpr int kTagSetBackgroundColor = 9;

// Writes values MSB first in as many bits as asked, as the movie's rectangle needs.
class BitWriter {
public:
    void Put(std::uint32_t value, int bits) {
        for (int bit = bits - 1; bit >= 0; --bit) {
            current_ = static_cast<unsigned char>((current_ << 1) | ((value >> bit) & 1U));
            if (++used_ == 8) Flush();
        }
    }
    std::string Bytes() {
        if (used_ > 0) {
            current_ = static_cast<unsigned char>(current_ << (8 - used_));
            Flush();
        }
        return bytes_;
    }

private:
    void Flush() {
        bytes_.push_back(static_cast<char>(current_));
        current_ = 0;
        used_ = 0;
    }
    std::string bytes_;
    unsigned char current_ = 0;
    int used_ = 0;
};

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFU));
}

// A short tag header: the code in the upper ten bits, the length in the lower six.
void PutTagHeader(std::string& out, int code, int length) {
    PutLittleEndian(out, static_cast<std::uint32_t>((code << 6) | length), 2);
}

// Signed values need one bit more than their magnitude.
int BitsFor(std::uint32_t value) {
    int bits = 1;
    while (value != 0) {
        ++bits;
        value >>= 1;
    }
    return bits;
}

}  // namespace

std::string MakeBlankMovie(const BlankMovieLook& look) {
    if (look.width < 1 || look.width > 9999 || look.height < 1 || look.height > 9999)
        throw std::invalid_argument("the movie size must lie within 1..9999 pixels");
    if (look.framesPerSecond < 1 || look.framesPerSecond > 120)
        throw std::invalid_argument("the frame rate must lie within 1..120");

    const auto xMax = static_cast<std::uint32_t>(look.width * kTwipsPerPixel);
    const auto yMax = static_cast<std::uint32_t>(look.height * kTwipsPerPixel);
    const int bits = std::max(BitsFor(xMax), BitsFor(yMax));
    BitWriter rectangle;
    rectangle.Put(static_cast<std::uint32_t>(bits), 5);
    rectangle.Put(0, bits);
    rectangle.Put(xMax, bits);
    rectangle.Put(0, bits);
    rectangle.Put(yMax, bits);

    std::string body = rectangle.Bytes();
    PutLittleEndian(body, static_cast<std::uint32_t>(look.framesPerSecond) << 8, 2);  // 8.8 fixed point
    PutLittleEndian(body, 1, 2);                                                        // frame count
    PutTagHeader(body, kTagSetBackgroundColor, 3);
    body.push_back(static_cast<char>((look.background >> 16) & 0xFFU));
    body.push_back(static_cast<char>((look.background >> 8) & 0xFFU));
    body.push_back(static_cast<char>(look.background & 0xFFU));
    PutTagHeader(body, kTagShowFrame, 0);
    PutTagHeader(body, 0, 0);  // end

    std::string movie = "FWS";
    movie.push_back(static_cast<char>(kVersion));
    PutLittleEndian(movie, static_cast<std::uint32_t>(8 + body.size()), 4);
    return movie + body;
}

}  // namespace qm::companion
