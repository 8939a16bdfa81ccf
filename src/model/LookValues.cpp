#include "model/LookValues.h"

#include <array>
#include <algorithm>
#include <cassert>

#include "model/Error.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

using D = TAppletData;
constexpr auto kInteger = LookValueKind::Integer;
constexpr auto kColour = LookValueKind::Colour;
constexpr auto kText = LookValueKind::Text;
constexpr auto kFlag = LookValueKind::Flag;

// Help tags of the groups the controls stand in.
constexpr int kMainItemsHelp = 1;
constexpr int kSubItemsHelp = 2;
constexpr int kSoundHelp = 3;
constexpr int kSubmenuHelp = 4;
constexpr int kMenuBoxHelp = 5;
constexpr int kPathHelp = 8;

// In stored order. The names follow the window's groups and captions.
constexpr std::array<LookField, TAppletData::kFieldCount> kLookFields = {{
    {&D::mainItemExtWidth, "mainItemExtWidth", kInteger, 1, 9999, "25", "main item extra width",
     "spnedt__mainItemExtWidth", kMainItemsHelp},
    {&D::mainItemHeight, "mainItemHeight", kInteger, 1, 9999, "20", "main item height", "spnedt__mainItemHeight",
     kMainItemsHelp},
    {&D::mainItemFont, "mainItemFont", kText, 0, 0, "arial", "main font", "edt__mainItemFont", kMainItemsHelp},
    {&D::mainItemFontSize, "mainItemFontSize", kInteger, 1, 100, "11", "main font size", "spnedt__mainItemFontSize",
     kMainItemsHelp},
    {&D::mainItemTextColor, "mainItemTextColor", kColour, 0, 0, "FFFFFF", "main text colour",
     "pnl__mainItemTextColor", kMainItemsHelp},
    // The bar's colour: the menu draws the main items on it.
    {&D::mainItemColor, "mainItemColor", kColour, 0, 0, "131313", "main background colour", "pnl__mainItemColor",
     kMainItemsHelp},
    {&D::mainItemHoverColor, "mainItemHoverColor", kColour, 0, 0, "92DDFA", "main hover colour",
     "pnl__mainItemHoverColor", kMainItemsHelp},
    // The one height that may be zero or negative.
    {&D::subItemHeight, "subItemHeight", kInteger, -9999, 9999, "15", "sub item height", "spnedt__subItemHeight",
     kSubItemsHelp},
    {&D::subItemFont, "subItemFont", kText, 0, 0, "arial", "sub font", "edt__subItemFont", kSubItemsHelp},
    {&D::subItemFontSize, "subItemFontSize", kInteger, 1, 1000, "9", "sub font size", "spnedt__subItemFontSize",
     kSubItemsHelp},
    {&D::subItemTextColor, "subItemTextColor", kColour, 0, 0, "000000", "sub text colour", "pnl__subItemTextColor",
     kSubItemsHelp},
    // The sub items' "Hover" panel.
    {&D::subItemColor, "subItemColor", kColour, 0, 0, "9E9E9E", "sub hover colour", "pnl__subItemColor",
     kSubItemsHelp},
    {&D::submenuCloseDelay, "submenuCloseDelay", kInteger, 1, 9999, "100", "submenu close delay",
     "spnedt__submenuCloseDelay", kSubmenuHelp},
    {&D::submenuSlideSpeed, "submenuSlideSpeed", kInteger, 1, 9999, "3", "submenu slide speed",
     "spnedt__submenuSlideSpeed", kSubmenuHelp},
    {&D::mainItemHoverSound, "mainItemHoverSound", kText, 0, 0, "", "main item hover sound",
     "edt__mainItemHoverSound", kSoundHelp},
    {&D::subItemHoverSound, "subItemHoverSound", kText, 0, 0, "", "sub item hover sound", "edt__subItemHoverSound",
     kSoundHelp},
    {&D::itemActiveSound, "itemActiveSound", kText, 0, 0, "", "item active sound", "edt__itemActiveSound",
     kSoundHelp},
    {&D::flMenuMaxWidth, "flMenuMaxWidth", kInteger, 1, 9999, "600", "menu box width", "spnedtflMenuMaxWidth",
     kMenuBoxHelp},
    {&D::flMenuMaxHeight, "flMenuMaxHeight", kInteger, 1, 9999, "40", "menu box height", "spnedtflMenuMaxHeight",
     kMenuBoxHelp},
    {&D::mov_z_index, "mov_z_index", kInteger, -99999, 99999, "1000", "menu box z-index", "spnedtmov_z_index",
     kMenuBoxHelp},
    {&D::InternalUse_RootDir_Local, "InternalUse_RootDir_Local", kText, 0, 0, "", "local root folder",
     "edt_InternalUse_RootDir_Local", kPathHelp},
    {&D::InternalUse_RootDir_Remote, "InternalUse_RootDir_Remote", kText, 0, 0, "", "web server root folder",
     "edt_InternalUse_RootDir_Remote", kPathHelp},
    // "1" converts links to the local root, "0" to the web root.
    {&D::InternalUse_RootDir_Local_Checked, "InternalUse_RootDir_Local_Checked", kFlag, 0, 0, "0", "path choice",
     "rdbtn_InternalUse_RootDir_Local_Checked", kPathHelp},
}};

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
std::optional<std::string> ConvertedValue(const LookField& rule, const std::string& value) {
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

[[noreturn]] void FailValue(const LookField& rule, const std::string& value, const std::string& file, int line) {
    const char* what = rule.kind == LookValueKind::Colour ? "a colour" : "a whole number";
    throw Error(file, line, std::string(rule.name) + " '" + value + "' is not " + what);
}

}  // namespace

const LookField& LookFieldAt(std::size_t index) {
    assert(index < kLookFields.size());
    return kLookFields[index];
}

const LookField* LookFieldOfControl(std::string_view control) {
    for (const auto& field : kLookFields)
        if (field.control == control) return &field;
    return nullptr;
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
        if (!ConvertedValue(kLookFields[i], data.Field(i))) FailValue(kLookFields[i], data.Field(i), file, line);
}

TAppletData NormalizeAppletData(const TAppletData& data) {
    TAppletData result;
    for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i) {
        auto converted = ConvertedValue(kLookFields[i], data.Field(i));
        if (!converted) FailValue(kLookFields[i], data.Field(i), {}, 0);
        result.Field(i) = std::move(*converted);
    }
    return result;
}

}  // namespace qm
