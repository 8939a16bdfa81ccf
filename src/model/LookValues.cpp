#include "LookValues.h"

#include <array>
#include <algorithm>
#include <cassert>

#include "Error.h"
#include "WholeNumber.h"

namespace qm {

namespace {

constexpr LookFieldRule Integer(long long minimum, long long maximum, std::string_view name) {
    return {LookValueKind::Integer, minimum, maximum, name};
}
constexpr LookFieldRule Colour(std::string_view name) {
    return {LookValueKind::Colour, 0, 0, name};
}
constexpr LookFieldRule Text(std::string_view name) {
    return {LookValueKind::Text, 0, 0, name};
}
constexpr LookFieldRule Flag(std::string_view name) {
    return {LookValueKind::Flag, 0, 0, name};
}

// In field order. The names follow the window's groups and captions.
constexpr std::array<LookFieldRule, TAppletData::kFieldCount> kRules = {
    Integer(1, 9999, "main item extra width"),      // mainItemExtWidth
    Integer(1, 9999, "main item height"),           // mainItemHeight
    Text("main font"),                              // mainItemFont
    Integer(1, 100, "main font size"),              // mainItemFontSize
    Colour("main text colour"),                     // mainItemTextColor
    Colour("main background colour"),               // mainItemColor
    Colour("main hover colour"),                    // mainItemHoverColor
    // The one height that may be zero or negative.
    Integer(-9999, 9999, "sub item height"),        // subItemHeight
    Text("sub font"),                               // subItemFont
    Integer(1, 1000, "sub font size"),              // subItemFontSize
    Colour("sub text colour"),                      // subItemTextColor
    Colour("sub hover colour"),                     // subItemColor: the sub items' "Hover" panel
    Integer(1, 9999, "submenu close delay"),        // submenuCloseDelay
    Integer(1, 9999, "submenu slide speed"),        // submenuSlideSpeed
    Text("main item hover sound"),                  // mainItemHoverSound
    Text("sub item hover sound"),                   // subItemHoverSound
    Text("item active sound"),                      // itemActiveSound
    Integer(1, 9999, "menu box width"),             // flMenuMaxWidth
    Integer(1, 9999, "menu box height"),            // flMenuMaxHeight
    Integer(-99999, 99999, "menu box z-index"),     // mov_z_index
    Text("local root folder"),                      // InternalUse_RootDir_Local
    Text("web server root folder"),                 // InternalUse_RootDir_Remote
    Flag("path choice"),                            // InternalUse_RootDir_Local_Checked
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

// The value as the window shows and saves it, or nullopt when it cannot be converted.
std::optional<std::string> ConvertedValue(const LookFieldRule& rule, const std::string& value) {
    switch (rule.kind) {
    case LookValueKind::Integer: {
        const auto number = ParseWholeNumber(value);
        if (!number) return std::nullopt;
        return std::to_string(std::clamp(*number, rule.minimum, rule.maximum));
    }
    case LookValueKind::Colour: {
        const auto rgb = ParseColourText(value);
        if (!rgb) return std::nullopt;
        return ColourToText(*rgb);
    }
    case LookValueKind::Text:
        return TrimBlanks(value);
    case LookValueKind::Flag:
        return value == "1" ? "1" : "0";
    }
    return std::nullopt;
}

[[noreturn]] void FailValue(const LookFieldRule& rule, const std::string& value, const std::string& file, int line) {
    const char* what = rule.kind == LookValueKind::Colour ? "a colour" : "a whole number";
    throw Error(file, line, std::string(rule.name) + " '" + value + "' is not " + what);
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

void CheckLookValues(const TAppletData& data, const std::string& file, int line) {
    for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i)
        if (!ConvertedValue(kRules[i], data.Field(i))) FailValue(kRules[i], data.Field(i), file, line);
}

TAppletData NormalizeAppletData(const TAppletData& data) {
    TAppletData result;
    for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i) {
        auto converted = ConvertedValue(kRules[i], data.Field(i));
        if (!converted) FailValue(kRules[i], data.Field(i), {}, 0);
        result.Field(i) = std::move(*converted);
    }
    return result;
}

}  // namespace qm
