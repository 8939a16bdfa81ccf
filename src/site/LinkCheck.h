#pragma once
// Checking the menu's links against the site on disk: every relative link (and every
// link from the site's root, "/about.html") must lead to a file in the site folder,
// and a fragment ("about.html#team") to an element with that id or name. Absolute
// links are checked for their form only: nothing goes to the network.

#include <filesystem>
#include <string>
#include <vector>

#include "model/TkvxAppletAgent.h"

namespace qm {

struct BrokenLink {
    int item;             // the item's index
    std::string message;  // "'Boats' links to boats.html, which is not in the site folder"
};

// The broken links of the document's items, in item order. Links are read from the
// site's root, as the pages of the site are given them. Throws qm::Error naming the
// site folder when it does not exist.
std::vector<BrokenLink> CheckLinks(const TkvxAppletAgent& agent, const std::filesystem::path& siteFolder);

}  // namespace qm
