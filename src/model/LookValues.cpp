#include "LookValues.h"

#include <array>
#include <algorithm>
#include <cassert>

#include "Error.h"
#include "WholeNumber.h"

namespace qm {

namespace {

constexpr LookFieldRule Integer(long long minimum, long long maximum) {
    return {LookValueKind::Integer, minimum, maximum};
}
constexpr LookFieldRule kColour{LookValueKind::Colour};
constexpr LookFieldRule kText{LookValueKind::Text};
constexpr LookFieldRule kFlag{LookValueKind::Flag};

constexpr std::array<LookFieldRule, TAppletData::kFieldCount> kRules = {
    Integer(1, 9999),        // mainItemExtWidth
    Integer(1, 9999),        // mainItemHeight
    kText,                   // mainItemFont
    Integer(1, 100),         // mainItemFontSize
    kColour,                 // mainItemTextColor
    kColour,                 // mainItemColor
    kColour,                 // mainItemHoverColor
    Integer(-9999, 9999),    // subItemHeight: the one height that may be zero or negative
    kText,                   // subItemFont
    Integer(1, 1000),        // subItemFontSize
    kColour,                 // subItemTextColor
    kColour,                 // subItemColor
    Integer(1, 9999),        // submenuCloseDelay
    Integer(1, 9999),        // submenuSlideSpeed
    kText,                   // mainItemHoverSound
    kText,                   // subItemHoverSound
    kText,                   // itemActiveSound
    Integer(1, 9999),        // flMenuMaxWidth
    Integer(1, 9999),        // flMenuMaxHeight
    Integer(-99999, 99999),  // mov_z_index
    kText,                   // InternalUse_RootDir_Local
    kText,                   // InternalUse_RootDir_Remote
    kFlag,                   // InternalUse_RootDir_Local_Checked
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string NotAnInteger(std::string_view value) {
    return "'" + std::string(value) + "' is not a valid integer value";
}

}  // namespace

LookFieldRule RuleOfAppletField(std::size_t index) {
    assert(index < kRules.size());
    return kRules[index];
}

std::optional<std::uint32_t> ParseColourText(std::string_view text) {
    if (EqualsIgnoringCase(text, "transparent")) return 0u;
    std::uint32_t rgb = 0;
    for (int component = 0; component < 3; ++component) {
        std::uint32_t value = 0;
        const std::size_t at = static_cast<std::size_t>(component) * 2;
        // Missing characters count as nothing: "FF" is pure red, "F" a dark red.
        for (std::size_t i = at; i < at + 2 && i < text.size(); ++i) {
            const int digit = HexDigit(text[i]);
            if (digit < 0) return std::nullopt;
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        rgb = (rgb << 8) | value;
    }
    return rgb;
}

std::string ColourToText(std::uint32_t rgb) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(6, '0');
    for (int i = 5; i >= 0; --i, rgb >>= 4) text[static_cast<std::size_t>(i)] = kDigits[rgb & 0xF];
    return text;
}

std::string TrimBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return std::string(text.substr(first, last - first + 1));
}

TAppletData NormalizeAppletData(const TAppletData& data) {
    TAppletData result = data;
    for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i) {
        const auto rule = kRules[i];
        auto& value = result.Field(i);
        const auto fail = [&](std::string reason) {
            throw Error(std::string(TAppletData::FieldName(i)) + ": " + reason);
        };
        switch (rule.kind) {
        case LookValueKind::Integer: {
            const auto number = ParseWholeNumber(value);
            if (!number) fail(NotAnInteger(value));
            value = std::to_string(std::clamp(*number, rule.minimum, rule.maximum));
            break;
        }
        case LookValueKind::Colour: {
            const auto rgb = ParseColourText(value);
            if (!rgb) fail(NotAnInteger(value));
            value = ColourToText(*rgb);
            break;
        }
        case LookValueKind::Text:
            value = TrimBlanks(value);
            break;
        case LookValueKind::Flag:
            value = value == "1" ? "1" : "0";
            break;
        }
    }
    return result;
}

}  // namespace qm
