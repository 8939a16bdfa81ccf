#pragma once
// The commands of quillamere-cli that work on the web site beside a project: site
// (publish into its pages, or undo that), check --links, from-site and import-nav.
// Each returns the process exit code as the other commands do.

#include <ostream>
#include <string>
#include <vector>

namespace qm {

int PublishToSiteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                         const std::string& programFolder);
int CheckLinksCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int FromSiteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int ImportNavigationCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The folder where the previous versions of the pages of the last publishes to a site
// are kept: "Site history" in the per-user data folder the window uses
// (<XDG data home>/Tarnwell/Quillamere/1.0/).
std::string SiteHistoryFolder();

}  // namespace qm
