#include "cli/SiteCommands.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "cli/CommandLineTool.h"
#include "model/Error.h"
#include "model/LookValues.h"
#include "model/TextFile.h"
#include "model/TkvxAppletAgent.h"
#include "output/Publisher.h"
#include "site/LinkCheck.h"
#include "site/SiteFolder.h"
#include "site/SiteHistory.h"
#include "site/SiteImport.h"
#include "site/SitePublisher.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

// A project with its options: the one argument that is no option, and the options
// the command allows (a value option takes the next argument).
struct ProjectArguments {
    std::string project;
    std::string site;
    bool dryRun = false;
    bool undo = false;
    bool links = false;
    bool valid = true;
};

ProjectArguments ReadProjectArguments(const std::vector<std::string>& args, const std::vector<std::string>& allowed) {
    ProjectArguments read;
    const auto allows = [&allowed](const std::string& option) {
        return std::find(allowed.begin(), allowed.end(), option) != allowed.end();
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto& arg = args[i];
        if (arg == "--site" && allows(arg) && i + 1 < args.size() && read.site.empty()) {
            read.site = args[++i];
        } else if (arg == "--dry-run" && allows(arg)) {
            read.dryRun = true;
        } else if (arg == "--undo" && allows(arg)) {
            read.undo = true;
        } else if (arg == "--links" && allows(arg)) {
            read.links = true;
        } else if (read.project.empty() && !arg.starts_with("--")) {
            read.project = arg;
        } else {
            read.valid = false;
        }
    }
    read.valid = read.valid && !read.project.empty() && !(read.dryRun && read.undo);
    return read;
}

int Usage(std::ostream& err, const std::string& command, const std::string& expects) {
    err << "quillamere-cli " << command << ": expects " << expects << "\n";
    return kUsage;
}

fs::path SiteOf(const ProjectArguments& args) {
    return args.site.empty() ? SiteFolderOf(args.project) : fs::path(args.site);
}

const char* UndoWord(UndoOutcome outcome) {
    switch (outcome) {
        case UndoOutcome::PutBack: return "put back";
        case UndoOutcome::AlreadyAsBefore: return "already as before";
        case UndoOutcome::ChangedSince: return "changed since the publish, left as it is";
    }
    return "";
}

void WriteProject(const TItemArray& items, const std::string& path, std::ostream& out) {
    TkvxAppletAgent agent;
    agent.ReplaceDocument(DefaultAppletData(), items);
    agent.SaveProject(path);
    out << PrintableName(path) << ": " << items.size() << (items.size() == 1 ? " item\n" : " items\n");
}

}  // namespace

std::string SiteHistoryFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    fs::path base = dataHome && *dataHome ? fs::path(dataHome) : fs::path(home ? home : ".") / ".local" / "share";
    return (base / "Tarnwell" / "Quillamere" / "1.0" / kSiteHistoryFolderName).string();
}

int PublishToSiteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                         const std::string& programFolder) {
    const auto read = ReadProjectArguments(args, {"--site", "--dry-run", "--undo"});
    if (!read.valid) return Usage(err, "site", "PROJECT.zorbel [--site DIR] [--dry-run | --undo]");
    const auto site = SiteOf(read);
    if (read.undo) {
        int status = kDone;
        for (const auto& page : UndoLastSiteRun(SiteHistoryFolder(), site)) {
            out << PrintableName(page.relative) << ": " << UndoWord(page.outcome) << "\n";
            if (page.outcome == UndoOutcome::ChangedSince) status = kRefused;
        }
        return status;
    }
    auto agent = std::make_unique<TkvxAppletAgent>();
    LoadForPublishing(*agent, read.project, err);
    const auto project = fs::absolute(read.project);
    const SiteSources sources{site, project.parent_path() / (ProjectStem(project.filename().string()) + ".html"),
                              {programFolder, project.parent_path(), true}};
    auto plan = PlanSitePublish(*agent, sources);
    if (!read.dryRun) CommitSitePlan(plan, SiteHistoryFolder());
    out << SiteReportText(plan);
    return plan.Count(PageOutcome::Refused) > 0 ? kRefused : kDone;
}

int CheckLinksCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto read = ReadProjectArguments(args, {"--site", "--links"});
    if (!read.valid || !read.links) return Usage(err, "check", "PROJECT.zorbel --links [--site DIR]");
    TkvxAppletAgent agent;
    LoadForPublishing(agent, read.project, err);
    const auto site = SiteOf(read);
    const auto broken = CheckLinks(agent, site);
    for (const auto& link : broken) out << link.message << "\n";
    out << PrintableName(read.project) << ": " << agent.ItemCount() << (agent.ItemCount() == 1 ? " link" : " links")
        << " checked against " << PrintableName(DisplayPath(site)) << ", " << broken.size() << " broken\n";
    return broken.empty() ? kDone : kRefused;
}

int FromSiteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return Usage(err, "from-site", "DIR OUT.zorbel");
    WriteProject(ItemsFromSite(args[0]), args[1], out);
    return kDone;
}

int ImportNavigationCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return Usage(err, "import-nav", "PAGE.html OUT.zorbel");
    WriteProject(ItemsFromNavigation(args[0]), args[1], out);
    return kDone;
}

}  // namespace qm
