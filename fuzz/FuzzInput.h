#pragma once
// What the fuzz targets share: the fuzzer's bytes read as a sequence of choices and
// texts, and the check that stops the run with a message when a property fails (the
// fuzzer then keeps the input that did it).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace qm::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return at_ >= bytes_.size(); }
    // A number below bound, taken from one byte; 0 once the bytes are used up.
    unsigned Choice(unsigned bound) {
        if (bound == 0 || Empty()) return 0;
        return static_cast<unsigned char>(bytes_[at_++]) % bound;
    }
    // A text of any length: up to a backslash followed by anything but a backslash, or
    // to the end; "\\" stands for one backslash. (libFuzzer's own data provider reads
    // texts so: a mutation can grow or shrink one text without shifting the rest.)
    std::string Text() {
        std::string text;
        while (!Empty()) {
            const char c = bytes_[at_++];
            if (c == '\\' && !Empty()) {
                if (bytes_[at_++] != '\\') break;
            }
            text += c;
        }
        return text;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

// Stops the run when a property does not hold.
inline void Check(bool holds, std::string_view what, std::string_view detail = {}) {
    if (holds) return;
    std::fputs("fuzz check failed: ", stderr);
    std::fwrite(what.data(), 1, what.size(), stderr);
    std::fputs("\n", stderr);
    std::fwrite(detail.data(), 1, detail.size(), stderr);
    std::fputs("\n", stderr);
    std::abort();
}

}  // namespace qm::fuzz
