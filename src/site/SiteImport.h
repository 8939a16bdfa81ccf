#pragma once
// Menus made from what a site already has, for the user to edit from there: the
// site's pages as items, or the navigation of one of its pages.

#include <filesystem>

#include "model/MenuRecords.h"

namespace qm {

// The site's pages (site/SiteFolder.h) as items, in name order: the root's index page
// first, the other pages at the root as main items, and each folder as a main item
// (its index page, else its name without a link) with the folder's other pages, those
// of its sub folders included, as its sub items. Captions are each page's <title>,
// else its first <h1>, else its file name; links lead from the site's root. Throws
// qm::Error naming the folder when it cannot be read.
TItemArray ItemsFromSite(const std::filesystem::path& siteFolder);

// The page's first <nav> element (else its largest list of links) as items: each item
// of its outer list that has a link, or sub items, becomes a main item, and the items
// of the lists inside it, at any depth, its sub items. A <nav> without a list gives
// its links as main items. Captions are the links' text; links and targets are kept.
// Throws qm::Error naming the page when it cannot be read or has no links.
TItemArray ItemsFromNavigation(const std::filesystem::path& page);

}  // namespace qm
