#pragma once
// Publishing into a site: the current menu written into every page of the site that
// has a place for it (site/MenuPlace.h), each page seeing the movie, the script and
// the menu's relative links from its own folder, and the companion files (movie,
// script, sounds) once at the site's root. Done in two steps, so that the window can
// show which pages will change before anything is written: a plan that reads the site
// and writes nothing, then its commit.

#include <filesystem>
#include <string>
#include <vector>

#include "model/TkvxAppletAgent.h"
#include "output/Publisher.h"
#include "site/SiteFolder.h"

namespace qm {

enum class PageOutcome { Written, Unchanged, WithoutMenuPlace, Refused };

struct PagePlan {
    SitePage page;
    PageOutcome outcome = PageOutcome::Unchanged;
    std::string refusal;  // Refused: the page's name (and line) with the reason
    std::string before;   // Written: the bytes on disk and the new ones
    std::string after;
};

struct CompanionPlan {
    std::string name;  // at the site's root
    std::string bytes;
};

struct SitePlan {
    std::filesystem::path siteFolder;
    std::vector<PagePlan> pages;            // every page of the site, in name order
    std::vector<CompanionPlan> companions;  // those that differ from what the site holds
    std::vector<std::string> warnings;      // the sounds refused, one sentence each
    bool committed = false;

    std::vector<const PagePlan*> PagesThatChange() const;
    int Count(PageOutcome outcome) const;
};

struct SiteSources {
    std::filesystem::path siteFolder;
    std::filesystem::path projectPage;  // the project's own page, never part of the site
    PublishFolders companions;          // where the movie and script, and the sounds, lie
};

// Reads every page of the site and works out what it becomes; writes nothing. A page
// that cannot take the menu is refused with the reason, and the others go on. Throws
// qm::Error when the site folder cannot be read.
SitePlan PlanSitePublish(TkvxAppletAgent& agent, const SiteSources& sources);

// Writes the plan's changed pages and companions as one set through the safe-save
// helper: after a failure or a crash every file is old or new. The pages' previous
// versions are kept in historyFolder first (none when it is empty). A page that
// changed on disk since the plan was made is refused, not written. Throws qm::Error
// naming the file when a file cannot be written (nothing is then replaced).
void CommitSitePlan(SitePlan& plan, const std::filesystem::path& historyFolder);

// The report of a plan: what was written (or, before the commit, would be), what stays
// unchanged, which pages have no place for the menu, which were refused and why.
std::string SiteReportText(const SitePlan& plan);

}  // namespace qm
