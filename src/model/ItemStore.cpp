#include "ItemStore.h"

#include <algorithm>
#include <cassert>

#include "FieldLine.h"

namespace qm {

ItemStore::ItemStore(TextBuffer text, const FieldLayout& layout) : text_(std::move(text)), layout_(layout) {
    int count = 0;
    for (std::size_t f = 0; f < layout_.size(); ++f) {
        count = std::max(count, layout_[f] + 1);
        splitCount_[f] = static_cast<std::uint8_t>(count);
    }
}

void ItemStore::AppendLine(std::string_view line) {
    assert(line.data() >= text_.Data() && line.data() + line.size() <= text_.Data() + text_.Size());
    items_.push_back({static_cast<std::uint32_t>(line.data() - text_.Data()), static_cast<std::uint32_t>(line.size()),
                      nullptr});
}

void ItemStore::Insert(int index, const TItemData& record) {
    auto own = std::make_unique<OwnFields>();
    own->mask = (1u << TItemData::kFieldCount) - 1;
    own->values.reserve(TItemData::kFieldCount);
    for (std::size_t f = 0; f < TItemData::kFieldCount; ++f) own->values.push_back(record.Field(f));
    items_.insert(items_.begin() + index, Item{0, 0, std::move(own)});
}

void ItemStore::Erase(int first, int last) {
    items_.erase(items_.begin() + first, items_.begin() + last);
}

void ItemStore::Rotate(int first, int middle, int last) {
    std::rotate(items_.begin() + first, items_.begin() + middle, items_.begin() + last);
}

std::string_view ItemStore::Field(int index, ItemField field) const {
    const auto& item = items_[static_cast<std::size_t>(index)];
    const auto f = FieldIndex(field);
    if (item.own && (item.own->mask >> f & 1u)) return item.own->values[Rank(item.own->mask, f)];
    const int at = layout_[f];
    if (at == kNotCarried) return {};
    std::string_view found;
    ForEachField(Line(item), static_cast<std::size_t>(at) + 1, [&](std::size_t i, std::string_view value) {
        if (i == static_cast<std::size_t>(at)) found = value;
    });
    return found;
}

ItemFieldViews ItemStore::Fields(int index, ItemField last) const {
    const auto& item = items_[static_cast<std::size_t>(index)];
    const auto wanted = FieldIndex(last) + 1;
    ItemFieldViews fields{};
    const std::uint16_t own = item.own ? item.own->mask : 0;
    if (own != (1u << TItemData::kFieldCount) - 1) {
        std::array<std::string_view, TItemData::kFieldCount> byPosition{};
        ForEachField(Line(item), splitCount_[wanted - 1],
                     [&](std::size_t i, std::string_view value) { byPosition[i] = value; });
        for (std::size_t f = 0; f < wanted; ++f)
            if (layout_[f] != kNotCarried) fields[f] = byPosition[static_cast<std::size_t>(layout_[f])];
    }
    for (std::size_t f = 0, rank = 0; f < fields.size(); ++f)
        if (own >> f & 1u) {
            if (f < wanted) fields[f] = item.own->values[rank];
            ++rank;
        }
    return fields;
}

TItemData ItemStore::Record(int index) const {
    const auto fields = Fields(index);
    TItemData record;
    for (std::size_t f = 0; f < fields.size(); ++f) record.Field(f).assign(fields[f]);
    return record;
}

bool ItemStore::SetField(int index, ItemField field, std::string_view value) {
    if (Field(index, field) == value) return false;
    std::string copy(value);  // value may lie in this item's own fields, which move below
    auto& item = items_[static_cast<std::size_t>(index)];
    if (!item.own) item.own = std::make_unique<OwnFields>();
    auto& own = *item.own;
    const auto f = FieldIndex(field);
    const auto rank = Rank(own.mask, f);
    if (own.mask >> f & 1u) {
        own.values[rank] = std::move(copy);
    } else {
        own.values.insert(own.values.begin() + static_cast<std::ptrdiff_t>(rank), std::move(copy));
        own.mask = static_cast<std::uint16_t>(own.mask | (1u << f));
    }
    return true;
}

}  // namespace qm
