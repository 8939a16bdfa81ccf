#include "model/ItemStore.h"

#include <algorithm>
#include <cassert>

#include "model/FieldLine.h"
#include "model/WholeNumber.h"

namespace qm {

ItemStore::ItemStore(TextBuffer text, const FieldLayout& layout)
    : text_(std::move(text)), layout_(layout), projectLayout_(layout == kProjectLayout) {
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

namespace {

// An item made in memory: every field lives on its own.
std::unique_ptr<ItemStore::OwnFields> OwnFieldsOf(const TItemData& record) {
    auto own = std::make_unique<ItemStore::OwnFields>();
    own->mask = (1u << TItemData::kFieldCount) - 1;
    std::size_t size = 0;
    for (std::size_t f = 0; f < TItemData::kFieldCount; ++f) size += record.Field(f).size();
    own->text.reserve(size);
    for (std::size_t f = 0; f < TItemData::kFieldCount; ++f) {
        own->text += record.Field(f);
        own->ends[f] = static_cast<std::uint32_t>(own->text.size());
    }
    return own;
}

}  // namespace

void ItemStore::Insert(int index, const TItemData& record) {
    items_.insert(items_.begin() + index, Item{0, 0, OwnFieldsOf(record)});
    EditNumbers([index](auto& numbers, auto none) { numbers.insert(numbers.begin() + index, none); });
}

void ItemStore::Insert(int index, const TItemArray& records) {
    std::vector<Item> made;
    made.reserve(records.size());
    for (const auto& record : records) made.push_back(Item{0, 0, OwnFieldsOf(record)});
    items_.insert(items_.begin() + index, std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
    EditNumbers([&](auto& numbers, auto none) { numbers.insert(numbers.begin() + index, records.size(), none); });
}

void ItemStore::Erase(int first, int last) {
    items_.erase(items_.begin() + first, items_.begin() + last);
    EditNumbers([&](auto& numbers, auto) { numbers.erase(numbers.begin() + first, numbers.begin() + last); });
}

void ItemStore::Swap(int a, int b) {
    std::swap(items_[a], items_[b]);
    EditNumbers([&](auto& numbers, auto) { std::swap(numbers[a], numbers[b]); });
}

void ItemStore::Rotate(int first, int middle, int last) {
    std::rotate(items_.begin() + first, items_.begin() + middle, items_.begin() + last);
    EditNumbers([&](auto& numbers, auto) {
        std::rotate(numbers.begin() + first, numbers.begin() + middle, numbers.begin() + last);
    });
}

std::string_view ItemStore::NumberedField(std::size_t index, std::size_t field) const {
    if (levels_.empty()) return {};
    static constexpr std::string_view kLevels[] = {"0", "1"};
    if (field == FieldIndex(ItemField::Level) && levels_[index] != kNoLevel) return kLevels[levels_[index]];
    if (field == FieldIndex(ItemField::ParentIndex) && parents_[index] != kNoParent) {
        const auto at = parents_[index];
        return std::string_view(parentTexts_).substr(at + 1, static_cast<unsigned char>(parentTexts_[at]));
    }
    return {};
}

std::string_view ItemStore::Field(int index, ItemField field) const {
    const auto& item = items_[static_cast<std::size_t>(index)];
    const auto f = FieldIndex(field);
    if (const auto numbered = NumberedField(static_cast<std::size_t>(index), f); !numbered.empty()) return numbered;
    if (item.own && (item.own->mask >> f & 1u)) return item.own->Value(Rank(item.own->mask, f));
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
        if (projectLayout_) {
            ForEachField(Line(item), wanted, [&](std::size_t i, std::string_view value) { fields[i] = value; });
        } else {
            ItemFieldViews byPosition{};
            ForEachField(Line(item), splitCount_[wanted - 1],
                         [&](std::size_t i, std::string_view value) { byPosition[i] = value; });
            for (std::size_t f = 0; f < wanted; ++f)
                if (layout_[f] != kNotCarried) fields[f] = byPosition[static_cast<std::size_t>(layout_[f])];
        }
    }
    if (own != 0) {
        for (std::size_t f = 0, rank = 0; f < wanted; ++f)
            if (own >> f & 1u) fields[f] = item.own->Value(rank++);
    }
    if (!levels_.empty()) {
        for (const auto f : {FieldIndex(ItemField::Level), FieldIndex(ItemField::ParentIndex)})
            if (f < wanted)
                if (const auto numbered = NumberedField(static_cast<std::size_t>(index), f); !numbered.empty())
                    fields[f] = numbered;
    }
    return fields;
}

TItemData ItemStore::Record(int index) const {
    const auto fields = Fields(index);
    TItemData record;
    for (std::size_t f = 0; f < fields.size(); ++f) record.Field(f).assign(fields[f]);
    return record;
}

TItemArray ItemStore::Records() const {
    TItemArray records;
    records.reserve(items_.size());
    for (int i = 0; i < Count(); ++i) records.push_back(Record(i));
    return records;
}

bool ItemStore::SetField(int index, ItemField field, std::string_view value) {
    if (Field(index, field) == value) return false;
    const auto at = static_cast<std::size_t>(index);
    if (!levels_.empty()) {
        if (field == ItemField::Level) levels_[at] = kNoLevel;
        if (field == ItemField::ParentIndex) parents_[at] = kNoParent;
    }
    auto& item = items_[at];
    if (!item.own) item.own = std::make_unique<OwnFields>();
    item.own->Set(FieldIndex(field), value);
    return true;
}

ItemFieldViews ItemStore::LevelAndParent(int index, ItemField last) const {
    const auto i = static_cast<std::size_t>(index);
    const bool numbered = !levels_.empty() && (levels_[i] != kNoLevel || parents_[i] != kNoParent);
    if (!linesAsWritten_ || items_[i].own || numbered) return Fields(index, last);
    // A line as the writer writes it ends with Level, Reserved7, Reserved8 and
    // ParentIndex, each followed by the separator: found from its end, without
    // splitting the fields before them.
    const auto line = Line(items_[i]);
    ItemFieldViews fields{};
    auto end = line.size() - kFieldSeparator.size();  // of ParentIndex
    for (auto f = FieldIndex(ItemField::ParentIndex);; --f) {
        const auto separator = end == 0 ? std::string_view::npos : line.rfind(kFieldSeparator, end - 1);
        const auto begin = separator == std::string_view::npos ? 0 : separator + kFieldSeparator.size();
        fields[f] = line.substr(begin, end - begin);
        if (f == FieldIndex(ItemField::Level) || separator == std::string_view::npos) break;
        end = separator;
    }
    return fields;
}

bool ItemStore::SetLevelsAndParents(const std::vector<std::uint8_t>& depth, const std::vector<int>* parent) {
    bool changed = false;
    const auto ensureNumbers = [this] {
        if (!levels_.empty()) return;
        levels_.assign(items_.size(), kNoLevel);
        parents_.assign(items_.size(), kNoParent);
    };
    const auto last = parent ? ItemField::ParentIndex : ItemField::Level;
    int textOf = 0;  // the parent whose text was added last, at textAt
    std::uint32_t textAt = kNoParent;
    for (int index = 0; index < Count(); ++index) {
        const auto i = static_cast<std::size_t>(index);
        const auto fields = LevelAndParent(index, last);
        if (fields[FieldIndex(ItemField::Level)] != (depth[i] == 0 ? "0" : "1")) {
            ensureNumbers();
            levels_[i] = depth[i];
            changed = true;
        }
        if (!parent) continue;
        const DecimalText wanted((*parent)[i]);
        if (fields[FieldIndex(ItemField::ParentIndex)] == wanted.View()) continue;
        ensureNumbers();
        // Sub items follow their main item, so a parent's text is added once.
        if ((*parent)[i] != textOf || textAt == kNoParent) {
            textOf = (*parent)[i];
            textAt = static_cast<std::uint32_t>(parentTexts_.size());
            parentTexts_ += static_cast<char>(wanted.View().size());
            parentTexts_ += wanted.View();
        }
        parents_[i] = textAt;
        changed = true;
    }
    return changed;
}

void ItemStore::OwnFields::Set(std::size_t field, std::string_view value) {
    const std::string copy(value);  // value may lie in text, which changes below
    const auto rank = Rank(mask, field);
    const auto count = static_cast<std::ptrdiff_t>(std::popcount(static_cast<unsigned>(mask)));
    const auto at = ends.begin() + static_cast<std::ptrdiff_t>(rank);
    const std::uint32_t begin = rank == 0 ? 0 : ends[rank - 1];
    std::uint32_t oldLength = 0;
    if (mask >> field & 1u) {
        oldLength = ends[rank] - begin;
    } else {
        // A new value at its rank: the ends of the later ones move up one place.
        std::copy_backward(at, ends.begin() + count, ends.begin() + count + 1);
        ends[rank] = begin;
        mask = static_cast<std::uint16_t>(mask | (1u << field));
    }
    text.replace(begin, oldLength, copy);
    const auto grown = static_cast<std::uint32_t>(copy.size()) - oldLength;  // modulo 2^32, as the ends are
    for (auto end = at; end != ends.begin() + std::popcount(static_cast<unsigned>(mask)); ++end) *end += grown;
}

}  // namespace qm
