#include "MenuRecords.h"

#include <cassert>

namespace qm {

namespace {

constexpr std::array<std::string TAppletData::*, TAppletData::kFieldCount> kAppletFields = {
    &TAppletData::mainItemExtWidth,   &TAppletData::mainItemHeight,
    &TAppletData::mainItemFont,       &TAppletData::mainItemFontSize,
    &TAppletData::mainItemTextColor,  &TAppletData::mainItemColor,
    &TAppletData::mainItemHoverColor, &TAppletData::subItemHeight,
    &TAppletData::subItemFont,        &TAppletData::subItemFontSize,
    &TAppletData::subItemTextColor,   &TAppletData::subItemColor,
    &TAppletData::submenuCloseDelay,  &TAppletData::submenuSlideSpeed,
    &TAppletData::mainItemHoverSound, &TAppletData::subItemHoverSound,
    &TAppletData::itemActiveSound,    &TAppletData::flMenuMaxWidth,
    &TAppletData::flMenuMaxHeight,    &TAppletData::mov_z_index,
    &TAppletData::InternalUse_RootDir_Local,
    &TAppletData::InternalUse_RootDir_Remote,
    &TAppletData::InternalUse_RootDir_Local_Checked,
};

constexpr std::array<std::string_view, TAppletData::kFieldCount> kAppletFieldNames = {
    "mainItemExtWidth",   "mainItemHeight",     "mainItemFont",
    "mainItemFontSize",   "mainItemTextColor",  "mainItemColor",
    "mainItemHoverColor", "subItemHeight",      "subItemFont",
    "subItemFontSize",    "subItemTextColor",   "subItemColor",
    "submenuCloseDelay",  "submenuSlideSpeed",  "mainItemHoverSound",
    "subItemHoverSound",  "itemActiveSound",    "flMenuMaxWidth",
    "flMenuMaxHeight",    "mov_z_index",        "InternalUse_RootDir_Local",
    "InternalUse_RootDir_Remote", "InternalUse_RootDir_Local_Checked",
};

constexpr std::array<std::string TItemData::*, TItemData::kFieldCount> kItemFields = {
    &TItemData::Text,      &TItemData::Reserved1, &TItemData::Link,
    &TItemData::Target,    &TItemData::Reserved4, &TItemData::Reserved5,
    &TItemData::Level,     &TItemData::Reserved7, &TItemData::Reserved8,
    &TItemData::ParentIndex,
};
static_assert(kItemFields[FieldIndex(ItemField::Link)] == &TItemData::Link);
static_assert(kItemFields[FieldIndex(ItemField::Level)] == &TItemData::Level);
static_assert(kItemFields[FieldIndex(ItemField::ParentIndex)] == &TItemData::ParentIndex);

constexpr std::array<std::string_view, TItemData::kFieldCount> kItemFieldNames = {
    "Text",  "Reserved1", "Link",      "Target",    "Reserved4",
    "Reserved5", "Level", "Reserved7", "Reserved8", "ParentIndex",
};

}  // namespace

std::string& TAppletData::Field(std::size_t index) {
    assert(index < kFieldCount);
    return this->*kAppletFields[index];
}

const std::string& TAppletData::Field(std::size_t index) const {
    assert(index < kFieldCount);
    return this->*kAppletFields[index];
}

std::string_view TAppletData::FieldName(std::size_t index) {
    assert(index < kFieldCount);
    return kAppletFieldNames[index];
}

std::string& TItemData::Field(std::size_t index) {
    assert(index < kFieldCount);
    return this->*kItemFields[index];
}

const std::string& TItemData::Field(std::size_t index) const {
    assert(index < kFieldCount);
    return this->*kItemFields[index];
}

std::string_view TItemData::FieldName(std::size_t index) {
    assert(index < kFieldCount);
    return kItemFieldNames[index];
}

TAppletData DefaultAppletData() {
    TAppletData d;
    d.mainItemExtWidth = "25";
    d.mainItemHeight = "20";
    d.mainItemFont = "arial";
    d.mainItemFontSize = "11";
    d.mainItemTextColor = "FFFFFF";
    d.mainItemColor = "131313";
    d.mainItemHoverColor = "92DDFA";
    d.subItemHeight = "15";
    d.subItemFont = "arial";
    d.subItemFontSize = "9";
    d.subItemTextColor = "000000";
    d.subItemColor = "9E9E9E";
    d.submenuCloseDelay = "100";
    d.submenuSlideSpeed = "3";
    d.flMenuMaxWidth = "600";
    d.flMenuMaxHeight = "40";
    d.mov_z_index = "1000";
    d.InternalUse_RootDir_Local_Checked = "0";
    return d;
}

TStringArray AppletDataToStrings(const TAppletData& data) {
    TStringArray out(TAppletData::kFieldCount);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = data.Field(i);
    return out;
}

TAppletData StringsToAppletData(const TStringArray& strings) {
    TAppletData data;
    for (std::size_t i = 0; i < TAppletData::kFieldCount && i < strings.size(); ++i)
        data.Field(i) = strings[i];
    return data;
}

TStringArray ItemDataToStrings(const TItemData& item) {
    TStringArray out(TItemData::kFieldCount);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = item.Field(i);
    return out;
}

TItemData StringsToItemData(const TStringArray& strings) {
    TItemData item;
    for (std::size_t i = 0; i < TItemData::kFieldCount && i < strings.size(); ++i)
        item.Field(i) = strings[i];
    return item;
}

}  // namespace qm
