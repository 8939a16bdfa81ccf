#include "model/Error.h"

#include <system_error>

#include "model/Utf8.h"

namespace qm {

namespace {
std::string Compose(const std::string& file, int line, const std::string& reason) {
    std::string text = PrintableName(file);
    if (line > 0) text += (text.empty() ? "line " : ", line ") + std::to_string(line);
    if (!text.empty()) text += ": ";
    return text + reason;
}
}  // namespace

Error::Error(std::string file, int line, std::string reason)
    : std::runtime_error(Compose(file, line, reason)),
      file_(std::move(file)),
      line_(line),
      reason_(std::move(reason)) {}

std::string SystemReason(int errorNumber) {
    return std::generic_category().message(errorNumber);
}

std::string PrintableName(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto hex = [](std::string& out, unsigned char byte) {
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    };
    std::string out;
    out.reserve(name.size());
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    const auto* end = p + name.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x20 || b == 0x7F) {
            hex(out, b);
            ++p;
            continue;
        }
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++p;
            continue;
        }
        // A UTF-8 sequence: kept whole unless it is malformed or a control.
        const auto [c, length] = DecodeUtf8Sequence(p, end);
        if (length == 0) {
            hex(out, b);
            ++p;
            continue;
        }
        if (c <= 0x9F)
            hex(out, static_cast<unsigned char>(c));
        else if (c == 0x2028 || c == 0x2029)
            out += c == 0x2028 ? "\\u2028" : "\\u2029";
        else
            out.append(reinterpret_cast<const char*>(p), length);
        p += length;
    }
    return out;
}

}  // namespace qm
