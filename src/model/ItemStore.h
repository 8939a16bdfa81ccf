#pragma once
// How the items of the menu document are held.
//
// A document read from a file keeps the file's text as its storage: each item is the
// range of its line in that text, and a field is found in the line when it is asked
// for. Reading a file copies no field. A field is copied out only when it is edited,
// and then lives on its own beside the line; an item made in memory has all its fields
// on their own. A loaded million-item project thus costs its text and sixteen bytes an
// item (the tree's index adds nine), and freeing it is freeing a few blocks.

#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/MenuRecords.h"
#include "model/TextFile.h"

namespace qm {

// Where each field of a record stands among the separated fields of a file's item
// line, or kNotCarried when the file does not carry it.
using FieldLayout = std::array<std::int8_t, TItemData::kFieldCount>;
inline constexpr std::int8_t kNotCarried = -1;
// A project file's item line holds the ten fields in record order.
inline constexpr FieldLayout kProjectLayout = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
// A menu structure line holds Level, Text, Link, Target and Reserved5.
inline constexpr FieldLayout kMenuStructureLayout = {1, kNotCarried, 2, 3, kNotCarried, 4, 0,
                                                     kNotCarried, kNotCarried, kNotCarried};

// The ten fields of an item, by ItemField position, as views into the store.
using ItemFieldViews = std::array<std::string_view, TItemData::kFieldCount>;

class ItemStore {
public:
    ItemStore() = default;
    // A store whose items are lines of text, laid out as layout says (AppendLine).
    ItemStore(TextBuffer text, const FieldLayout& layout);

    int Count() const { return static_cast<int>(items_.size()); }
    void Reserve(std::size_t count) { items_.reserve(count); }

    // Appends an item that is line, a line of the text the store was made with.
    void AppendLine(std::string_view line);
    // Inserts an item made in memory (0 <= index <= Count()).
    void Insert(int index, const TItemData& item);
    // Inserts items made in memory before index, in one move of the items after it.
    void Insert(int index, const TItemArray& items);
    // Items [first, last) go; a, b change places; [first, last) with middle first.
    void Erase(int first, int last);
    void Swap(int a, int b);
    void Rotate(int first, int middle, int last);

    // Fields of item index (0 <= index < Count()). The views are valid until the item
    // or the store changes.
    std::string_view Field(int index, ItemField field) const;
    // All fields, or those up to last (the rest are left empty): a line is split only as
    // far as asked.
    ItemFieldViews Fields(int index, ItemField last = ItemField::ParentIndex) const;
    TItemData Record(int index) const;
    // Every item as a record: a copy of the whole store, for checks and tests.
    TItemArray Records() const;
    // Sets a field. Returns false, changing nothing, when it already holds value.
    bool SetField(int index, ItemField field, std::string_view value);
    // Level := depth[i] ("0" or "1") for every item and, when parent is given,
    // ParentIndex := parent[i]'s decimal text. Both are kept as numbers beside the items
    // (a byte and an offset into one text of the parents' numbers), not as fields of
    // their own, so refreshing ten million items of a file that lacks them costs a few
    // bytes an item; they move with their items and read as fields. Returns whether any
    // item's fields changed.
    bool SetLevelsAndParents(const std::vector<std::uint8_t>& depth, const std::vector<int>* parent);

    // True when the reader found every item line in the form the project writer gives
    // it (the ten fields in record order, each followed by the separator, nothing
    // after); then an item without fields of its own is written as its line.
    bool LinesAsWritten() const { return linesAsWritten_; }
    void SetLinesAsWritten(bool asWritten) { linesAsWritten_ = asWritten && projectLayout_; }
    // Whether all the item's fields are still in its line, and that line.
    bool IsUnchanged(int index) const {
        const auto i = static_cast<std::size_t>(index);
        return !items_[i].own && (levels_.empty() || (levels_[i] == kNoLevel && parents_[i] == kNoParent));
    }
    std::string_view LineOf(int index) const { return Line(items_[static_cast<std::size_t>(index)]); }
    // The text the lines are ranges of.
    std::string_view Text() const { return text_.View(); }

    // The fields of an item that live on their own, in one block: bit f of mask says that
    // field f does; text holds those fields one after another in field order, and ends
    // where each of them ends, by rank among them.
    struct OwnFields {
        std::uint16_t mask = 0;
        std::array<std::uint32_t, TItemData::kFieldCount> ends{};
        std::string text;
        std::string_view Value(std::size_t rank) const {
            const std::uint32_t begin = rank == 0 ? 0 : ends[rank - 1];
            return std::string_view(text).substr(begin, ends[rank] - begin);
        }
        void Set(std::size_t field, std::string_view value);
    };
private:
    struct Item {
        std::uint32_t offset = 0;  // of the line in text_
        std::uint32_t length = 0;
        std::unique_ptr<OwnFields> own;
    };
    // Offsets of 32 bits hold any text a file within the limit decodes to (at most
    // three bytes for each byte read).
    static_assert(kMaximumFileSize * 3 < (std::uint64_t{1} << 32));

    std::string_view Line(const Item& item) const { return {text_.Data() + item.offset, item.length}; }
    static std::size_t Rank(std::uint16_t mask, std::size_t field) {
        return static_cast<std::size_t>(std::popcount(static_cast<unsigned>(mask & ((1u << field) - 1))));
    }

    // Fields as Fields gives them, of which only Level and ParentIndex are sure to be
    // filled (quicker for a line as the writer writes it).
    ItemFieldViews LevelAndParent(int index, ItemField last) const;
    // The Level or ParentIndex an item holds as a number, if any (both lists are empty
    // until SetLevelsAndParents first needs them).
    std::string_view NumberedField(std::size_t index, std::size_t field) const;
    // Does to the numbers what an edit does to the items.
    template <class Edit>
    void EditNumbers(Edit&& edit) {
        if (levels_.empty()) return;
        edit(levels_, kNoLevel);
        edit(parents_, kNoParent);
    }

    static constexpr std::uint8_t kNoLevel = 0xFF;
    static constexpr std::uint32_t kNoParent = 0xFFFFFFFF;

    TextBuffer text_;
    FieldLayout layout_ = kProjectLayout;
    bool projectLayout_ = true;  // layout_ is kProjectLayout (asked for every item)
    // How many separated fields of a line hold the fields up to each one.
    std::array<std::uint8_t, TItemData::kFieldCount> splitCount_ = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::vector<Item> items_;
    bool linesAsWritten_ = false;
    // By item: a Level set as a number (0 or 1), and a ParentIndex set as a number, as
    // the offset of its text in parentTexts_ (each text there follows a byte with its
    // length); kNoLevel and kNoParent where the item holds the field itself.
    std::vector<std::uint8_t> levels_;
    std::vector<std::uint32_t> parents_;
    std::string parentTexts_;
};

}  // namespace qm
