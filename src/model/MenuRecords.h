#pragma once
// The records of the menu document. Every field is text, exactly as it is stored in
// the project file; values are converted only where they are shown or used.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

using TStringArray = std::vector<std::string>;

// The 23 applet-wide look and path parameters, in file order.
struct TAppletData {
    std::string mainItemExtWidth;
    std::string mainItemHeight;
    std::string mainItemFont;
    std::string mainItemFontSize;
    std::string mainItemTextColor;
    std::string mainItemColor;
    std::string mainItemHoverColor;
    std::string subItemHeight;
    std::string subItemFont;
    std::string subItemFontSize;
    std::string subItemTextColor;
    std::string subItemColor;
    std::string submenuCloseDelay;
    std::string submenuSlideSpeed;
    std::string mainItemHoverSound;
    std::string subItemHoverSound;
    std::string itemActiveSound;
    std::string flMenuMaxWidth;
    std::string flMenuMaxHeight;
    std::string mov_z_index;
    std::string InternalUse_RootDir_Local;
    std::string InternalUse_RootDir_Remote;
    std::string InternalUse_RootDir_Local_Checked;

    static constexpr std::size_t kFieldCount = 23;
    // Fields 0..16 form the parameter string handed to the menu on the page.
    static constexpr std::size_t kMenuParameterCount = 17;

    // Field by its position in the record (0..22). Out-of-range positions are a
    // programming error (checked with assert).
    std::string& Field(std::size_t index);
    const std::string& Field(std::size_t index) const;
    // The field's name as the code and the messages spell it ("mainItemExtWidth").
    static std::string_view FieldName(std::size_t index);

    bool operator==(const TAppletData&) const = default;
};

// One menu item, in file order. Only Text, Link and Target are edited; the reserved
// fields travel unchanged through editing, saving and loading.
struct TItemData {
    std::string Text;
    std::string Reserved1;
    std::string Link;
    std::string Target;
    std::string Reserved4;
    std::string Reserved5;
    std::string Level;
    std::string Reserved7;
    std::string Reserved8;
    std::string ParentIndex;

    static constexpr std::size_t kFieldCount = 10;

    std::string& Field(std::size_t index);
    const std::string& Field(std::size_t index) const;
    static std::string_view FieldName(std::size_t index);

    bool operator==(const TItemData&) const = default;
};

using TItemArray = std::vector<TItemData>;

// The positions of an item's fields: in the record, in a project file's item line and in
// ItemDataToStrings.
enum class ItemField : std::size_t {
    Text, Reserved1, Link, Target, Reserved4, Reserved5, Level, Reserved7, Reserved8, ParentIndex
};
inline constexpr std::size_t FieldIndex(ItemField field) { return static_cast<std::size_t>(field); }

// A file that every published page needs beside it, taken from the program's folder.
struct TLinkedFileInfo {
    std::string FileName;
    std::string FileKind;
    bool DeleteAfterCopy = false;

    bool operator==(const TLinkedFileInfo&) const = default;
};

using TLinkedFileInfoArray = std::vector<TLinkedFileInfo>;

// The look of a fresh document.
TAppletData DefaultAppletData();

// Record <-> list of strings. The To... functions give exactly kFieldCount entries;
// the From... functions read entries by position, take missing trailing entries as
// empty and ignore any beyond kFieldCount.
TStringArray AppletDataToStrings(const TAppletData& data);
TAppletData StringsToAppletData(const TStringArray& strings);
TStringArray ItemDataToStrings(const TItemData& item);
TItemData StringsToItemData(const TStringArray& strings);

}  // namespace qm
