#include "model/MenuRecords.h"

#include <cassert>

#include "model/LookValues.h"

namespace qm {

namespace {

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

// The look's fields are described once, in the table of LookValues.
std::string& TAppletData::Field(std::size_t index) {
    return this->*LookFieldAt(index).member;
}

const std::string& TAppletData::Field(std::size_t index) const {
    return this->*LookFieldAt(index).member;
}

std::string_view TAppletData::FieldName(std::size_t index) {
    return LookFieldAt(index).codeName;
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
    TAppletData data;
    for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i) data.Field(i) = LookFieldAt(i).defaultValue;
    return data;
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
