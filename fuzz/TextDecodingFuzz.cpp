// Text decoding on any bytes: every line is valid UTF-8 without a line end in it, the
// UTF-8 check agrees with a plain reading of the encoding's table, Windows-1252 gives
// one character per byte, and a file that is UTF-8 already comes back byte for byte.
#include <algorithm>

#include "FuzzInput.h"
#include "model/TextFile.h"

using namespace qm;

namespace {

// Well-formed UTF-8 as the Unicode standard's table of byte sequences lists it, one
// byte at a time.
bool PlainlyValidUtf8(std::string_view text) {
    std::size_t i = 0;
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const auto in = [](unsigned char c, unsigned low, unsigned high) { return c >= low && c <= high; };
    while (i < text.size()) {
        const unsigned char c = byte(i);
        std::size_t length = 0;
        unsigned secondLow = 0x80, secondHigh = 0xBF;
        if (c <= 0x7F) length = 1;
        else if (in(c, 0xC2, 0xDF)) length = 2;
        else if (c == 0xE0) length = 3, secondLow = 0xA0;
        else if (in(c, 0xE1, 0xEC) || in(c, 0xEE, 0xEF)) length = 3;
        else if (c == 0xED) length = 3, secondHigh = 0x9F;
        else if (c == 0xF0) length = 4, secondLow = 0x90;
        else if (in(c, 0xF1, 0xF3)) length = 4;
        else if (c == 0xF4) length = 4, secondHigh = 0x8F;
        else return false;
        if (i + length > text.size()) return false;
        if (length > 1 && !in(byte(i + 1), secondLow, secondHigh)) return false;
        for (std::size_t k = 2; k < length; ++k)
            if (!in(byte(i + k), 0x80, 0xBF)) return false;
        i += length;
    }
    return true;
}

std::size_t CharacterCount(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::Check(IsValidUtf8(bytes) == PlainlyValidUtf8(bytes), "the UTF-8 check disagrees with the table");

    const auto converted = Windows1252ToUtf8(bytes);
    fuzz::Check(IsValidUtf8(converted), "Windows-1252 decoding gives invalid UTF-8");
    fuzz::Check(CharacterCount(converted) == bytes.size(), "Windows-1252 decoding does not give a character a byte");

    const auto file = TextFile::FromBytes(std::string(bytes));
    for (std::size_t i = 0; i < file.LineCount(); ++i) {
        fuzz::Check(IsValidUtf8(file.Line(i)), "a decoded line is not UTF-8");
        fuzz::Check(file.Line(i).find('\n') == std::string_view::npos, "a decoded line holds a line feed");
    }
    const bool plainUtf8 = PlainlyValidUtf8(bytes) && bytes.find_first_of("\r\x1A") == std::string_view::npos &&
                           !bytes.starts_with("\xEF\xBB\xBF");
    if (plainUtf8) {
        std::string joined;
        for (std::size_t i = 0; i < file.LineCount(); ++i) {
            joined += file.Line(i);
            if (i + 1 < file.LineCount() || bytes.ends_with('\n')) joined += '\n';
        }
        fuzz::Check(joined == bytes, "a UTF-8 file does not come back byte for byte", joined);
    }
    return 0;
}
