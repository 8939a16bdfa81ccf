#include "gui/NodeKeys.h"

#include <algorithm>

namespace qm {

std::uint32_t NodeKeys::NewGeneration() {
    // Generation 0 is never given, so no key is kNoItemKey.
    if (++lastGeneration_ == 0) ++lastGeneration_;
    return lastGeneration_;
}

void NodeKeys::MarkStale(int first, int end) {
    if (staleFirst_ >= staleEnd_) {
        staleFirst_ = first;
        staleEnd_ = end;
    } else {
        staleFirst_ = std::min(staleFirst_, first);
        staleEnd_ = std::max(staleEnd_, end);
    }
    staleEnd_ = std::min(staleEnd_, Count());
}

void NodeKeys::Reset(int count) {
    const std::uint32_t generation = NewGeneration();
    const auto n = static_cast<std::size_t>(count);
    keys_.resize(n);
    slots_.resize(n);
    freeSlots_.clear();
    for (std::uint32_t i = 0; i < n; ++i) {
        slots_[i] = {static_cast<int>(i), generation};
        keys_[i] = (Key{generation} << 32) | i;
    }
    staleFirst_ = staleEnd_ = 0;
}

void NodeKeys::Insert(int position, int count) {
    const std::uint32_t generation = NewGeneration();
    std::vector<Key> fresh(static_cast<std::size_t>(count));
    for (auto& key : fresh) {
        std::uint32_t slot;
        if (!freeSlots_.empty()) {
            slot = freeSlots_.back();
            freeSlots_.pop_back();
        } else {
            slot = static_cast<std::uint32_t>(slots_.size());
            slots_.emplace_back();
        }
        slots_[slot].generation = generation;
        key = (Key{generation} << 32) | slot;
    }
    keys_.insert(keys_.begin() + position, fresh.begin(), fresh.end());
    MarkStale(position, Count());
}

void NodeKeys::Erase(int first, int end) {
    for (int i = first; i < end; ++i) {
        Slot& slot = slots_[SlotOf(KeyOf(i))];
        slot = {-1, 0};  // no key has generation 0
        freeSlots_.push_back(SlotOf(KeyOf(i)));
    }
    keys_.erase(keys_.begin() + first, keys_.begin() + end);
    MarkStale(first, Count());
}

void NodeKeys::Rotate(int first, int middle, int last) {
    std::rotate(keys_.begin() + first, keys_.begin() + middle, keys_.begin() + last);
    MarkStale(first, last);
}

void NodeKeys::Refresh() const {
    for (int i = staleFirst_; i < staleEnd_; ++i) slots_[SlotOf(KeyOf(i))].item = i;
    staleFirst_ = staleEnd_ = 0;
}

}  // namespace qm
