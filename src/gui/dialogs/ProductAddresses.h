#pragma once
// The product's own web addresses: the about box's link labels and the Help menu's
// "Homepage" and "Contact Us" open them. The published page names the same two.

namespace qm {

inline constexpr const char* kHomePageAddress = "https://quillamere.app/";
inline constexpr const char* kSupportAddress = "https://quillamere.app/support/";

}  // namespace qm
