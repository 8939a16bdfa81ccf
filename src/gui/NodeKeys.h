#pragma once
// The keys that the tree model's indexes carry, one per item, travelling with their
// items through inserts, removals and moves, and the way back from a key to its item.
//
// The way back is a dense table, not a hash: a key is a slot of the table (its low 32
// bits) with the slot's generation (its high 32 bits). The table says where each
// slot's item stands; a slot freed by a removal is given out again under a new
// generation, so a key of a removed item never finds the item that took its slot.
// After an edit only the positions it shifted are written again, and only when a key
// is next looked up: a run of edits costs one pass over what they shifted, a lookup
// one table read.

#include <cstdint>
#include <vector>

namespace qm {

class NodeKeys {
public:
    using Key = std::uint64_t;
    // Never the key of an item (the tree's root carries it).
    static constexpr Key kNoItemKey = 0;

    // count items, each with a new key; every key given out before is forgotten.
    void Reset(int count);
    // count new items stand at position.. now (the items from position on moved up).
    void Insert(int position, int count);
    // Items [first, end) are gone; their keys are forgotten.
    void Erase(int first, int end);
    // Items [first, last) were rotated so that middle is first now.
    void Rotate(int first, int middle, int last);

    int Count() const { return static_cast<int>(keys_.size()); }
    Key KeyOf(int item) const { return keys_[static_cast<std::size_t>(item)]; }
    // The item that carries key, or -1 for a key that is forgotten or was never given.
    int ItemOf(Key key) const {
        const std::uint32_t slot = SlotOf(key);
        if (slot >= slots_.size() || slots_[slot].generation != GenerationOf(key) || GenerationOf(key) == 0) return -1;
        if (staleFirst_ < staleEnd_) Refresh();
        return slots_[slot].item;
    }

private:
    struct Slot {
        int item = -1;
        std::uint32_t generation = 0;
    };
    static std::uint32_t SlotOf(Key key) { return static_cast<std::uint32_t>(key); }
    static std::uint32_t GenerationOf(Key key) { return static_cast<std::uint32_t>(key >> 32); }
    std::uint32_t NewGeneration();
    void MarkStale(int first, int end);
    void Refresh() const;

    std::vector<Key> keys_;  // keys_[i] is the key of item i
    mutable std::vector<Slot> slots_;
    std::vector<std::uint32_t> freeSlots_;
    std::uint32_t lastGeneration_ = 0;
    // Positions whose slots may name another position: [staleFirst_, staleEnd_).
    mutable int staleFirst_ = 0;
    mutable int staleEnd_ = 0;
};

}  // namespace qm
