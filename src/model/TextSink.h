#pragma once
// Receives a text part by part, in order: a writer hands a large text on as it is made
// instead of holding it whole.

#include <functional>
#include <string_view>

namespace qm {

using TextSink = std::function<void(std::string_view part)>;

// How much a writer makes before handing it on: a part of this size stays in the
// processor's cache while it is made and written.
inline constexpr std::size_t kTextPartSize = 256 << 10;

}  // namespace qm
