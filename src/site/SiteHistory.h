#pragma once
// The previous versions of the pages a publish to a site wrote, kept in the per-user
// data folder for the last kRunsKept publishes (of any site), so that the last one can
// be undone. Each publish is a folder of its own: "run.txt" names the site and each
// page with the size and a hash of what the publish wrote, "pages.bin" holds what the
// pages were before, one after the other.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

inline constexpr int kRunsKept = 10;
// The history's folder in the per-user data folder.
inline constexpr std::string_view kSiteHistoryFolderName = "Site history";

struct PageVersions {
    std::string relative;   // the page's path from the site folder, "/" between folders
    std::string before;     // its bytes before the publish
    std::string after;      // what the publish wrote
};

// Keeps a publish's pages as its newest run in historyFolder (made when missing) and
// removes the oldest runs beyond kRunsKept. Throws qm::Error naming the file that
// cannot be written: a publish that cannot be undone does not start.
void KeepSiteRun(const std::filesystem::path& historyFolder, const std::filesystem::path& siteFolder,
                 const std::vector<PageVersions>& pages);

enum class UndoOutcome { PutBack, AlreadyAsBefore, ChangedSince };
struct UndoneSitePage {
    std::string relative;
    UndoOutcome outcome;
};

// Puts back the pages of the newest run of siteFolder, as one set through the
// safe-save helper, and forgets the run. A page whose bytes are neither what the
// publish wrote nor what was there before was changed since and is left as it is.
// Throws qm::Error: "no publish to this site to undo" (naming the site folder) when
// there is none, or naming a file that cannot be read or written.
std::vector<UndoneSitePage> UndoLastSiteRun(const std::filesystem::path& historyFolder,
                                            const std::filesystem::path& siteFolder);

// The folder's runs, oldest first.
std::vector<std::filesystem::path> SiteRuns(const std::filesystem::path& historyFolder);

}  // namespace qm
