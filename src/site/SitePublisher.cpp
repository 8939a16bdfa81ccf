#include "site/SitePublisher.h"

#include <algorithm>

#include "model/Error.h"
#include "model/FileSystem.h"
#include "model/SafeSave.h"
#include "output/PageWriter.h"
#include "site/MenuPlace.h"
#include "site/SiteFiles.h"
#include "site/SiteHistory.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

// The same menu at the same depth is the same snippet: made once for each depth.
class SnippetsByDepth {
public:
    explicit SnippetsByDepth(const TkvxAppletAgent& agent) : agent_(agent) {}
    const std::string& For(const std::string& toSiteRoot) {
        const std::size_t depth = toSiteRoot.size() / 3;
        if (snippets_.size() <= depth) snippets_.resize(depth + 1);
        auto& snippet = snippets_[depth];
        if (snippet.empty()) snippet = MakeMenuSnippet(agent_, toSiteRoot);
        return snippet;
    }

private:
    const TkvxAppletAgent& agent_;
    std::vector<std::string> snippets_;
};

PagePlan PlanPage(const SitePage& page, SnippetsByDepth& snippets) {
    PagePlan plan{page, PageOutcome::Unchanged, {}, {}, {}};
    try {
        std::string bytes = ReadFileBytes(page.path);
        const auto place = FindMenuPlace(bytes, page.relative);
        if (place.kind == MenuPlaceKind::None) {
            plan.outcome = PageOutcome::WithoutMenuPlace;
            return plan;
        }
        std::string after = PageWithMenu(bytes, place, snippets.For(PathToSiteRoot(page.relative)));
        if (after == bytes) return plan;
        plan.outcome = PageOutcome::Written;
        plan.before = std::move(bytes);
        plan.after = std::move(after);
    } catch (const Error& error) {
        plan.outcome = PageOutcome::Refused;
        plan.refusal = error.File() == DisplayPath(page.path) ? page.relative + ": " + error.Reason() : error.what();
    }
    return plan;
}

std::string ReadOpenFile(const FileDescriptor& file) {
    std::string bytes;
    char buffer[1 << 16];
    std::error_code error;
    for (std::ptrdiff_t got; (got = os::Read(file, buffer, sizeof buffer, error)) != 0;) {
        if (got < 0) throw Error("a companion file cannot be read: " + error.message());
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

std::string FileBytesOrNothing(const fs::path& path) {
    try {
        return ReadFileBytes(path);
    } catch (const Error&) {
        return {};
    }
}

void Section(std::string& out, const std::string& title, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    out += title + " (" + std::to_string(lines.size()) + "):\n";
    for (const auto& line : lines) out += "  " + line + "\n";
}

}  // namespace

std::vector<const PagePlan*> SitePlan::PagesThatChange() const {
    std::vector<const PagePlan*> changing;
    for (const auto& page : pages)
        if (page.outcome == PageOutcome::Written) changing.push_back(&page);
    return changing;
}

int SitePlan::Count(PageOutcome outcome) const {
    return static_cast<int>(
        std::count_if(pages.begin(), pages.end(), [outcome](const PagePlan& page) { return page.outcome == outcome; }));
}

SitePlan PlanSitePublish(TkvxAppletAgent& agent, const SiteSources& sources) {
    SitePlan plan;
    plan.siteFolder = sources.siteFolder;
    SnippetsByDepth snippets(agent);
    for (const auto& page : ListSitePages(sources.siteFolder, sources.projectPage))
        plan.pages.push_back(PlanPage(page, snippets));

    std::vector<std::string> pageNames;
    for (const auto& page : plan.pages)
        if (page.page.relative.find('/') == std::string::npos) pageNames.push_back(page.page.relative);
    auto companions = OpenCompanions(agent, sources.companions, pageNames, LongestNameIn(sources.siteFolder));
    plan.warnings = std::move(companions.warnings);
    for (auto& companion : companions.files) {
        auto bytes = ReadOpenFile(companion.source);
        if (bytes != FileBytesOrNothing(sources.siteFolder / companion.name))
            plan.companions.push_back({companion.name, std::move(bytes)});
    }
    return plan;
}

void CommitSitePlan(SitePlan& plan, const fs::path& historyFolder) {
    std::vector<PageVersions> versions;
    SafeSave save;
    std::vector<std::pair<SafeSave::FileId, const std::string*>> contents;
    for (auto& page : plan.pages) {
        if (page.outcome != PageOutcome::Written) continue;
        // The user may have edited the page while the list was shown.
        if (FileBytesOrNothing(page.page.path) != page.before) {
            page.outcome = PageOutcome::Refused;
            page.refusal = page.page.relative + ": the page changed after the list of pages was made";
            continue;
        }
        contents.emplace_back(save.Add(page.page.path), &page.after);
        versions.push_back({page.page.relative, page.before, page.after});
    }
    for (const auto& companion : plan.companions)
        contents.emplace_back(save.Add(plan.siteFolder / companion.name), &companion.bytes);
    if (!historyFolder.empty() && !versions.empty()) KeepSiteRun(historyFolder, plan.siteFolder, versions);
    for (const auto& [file, bytes] : contents) save.Write(file, *bytes);
    save.Commit();
    plan.committed = true;
}

std::string SiteReportText(const SitePlan& plan) {
    std::vector<std::string> written, unchanged, without, refused, companions;
    for (const auto& page : plan.pages) {
        switch (page.outcome) {
            case PageOutcome::Written: written.push_back(PrintableName(page.page.relative)); break;
            case PageOutcome::Unchanged: unchanged.push_back(PrintableName(page.page.relative)); break;
            case PageOutcome::WithoutMenuPlace: without.push_back(PrintableName(page.page.relative)); break;
            case PageOutcome::Refused: refused.push_back(PrintableName(page.refusal)); break;
        }
    }
    for (const auto& companion : plan.companions) companions.push_back(PrintableName(companion.name));
    std::string out = "Site " + PrintableName(DisplayPath(plan.siteFolder)) + (plan.committed ? "" : " (nothing written yet)") + "\n";
    Section(out, plan.committed ? "Pages written" : "Pages to write", written);
    Section(out, "Pages unchanged", unchanged);
    Section(out, "Pages without a place for the menu", without);
    Section(out, "Pages refused", refused);
    Section(out, plan.committed ? "Companion files written" : "Companion files to write", companions);
    for (const auto& warning : plan.warnings) out += "warning: " + warning + "\n";
    return out;
}

}  // namespace qm
