#include "site/SiteHistory.h"

#include <chrono>
#include <cstdint>
#include <algorithm>
#include <system_error>

#include "model/Error.h"
#include "model/SafeSave.h"
#include "model/TextFile.h"
#include "model/WholeNumber.h"
#include "site/SiteFiles.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRunFile = "run.txt";
constexpr std::string_view kPagesFile = "pages.bin";
constexpr std::string_view kSiteKey = "Site\t";
constexpr std::string_view kPageKey = "Page\t";
constexpr std::string_view kRunPrefix = "run-";

// Enough to tell an edited page from the one the publish wrote (FNV-1a, 64 bits, with
// the size beside it).
std::string Fingerprint(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = std::to_string(bytes.size()) + ":";
    for (int shift = 60; shift >= 0; shift -= 4) text += kHex[(hash >> shift) & 0xF];
    return text;
}

std::string Utf8(const fs::path& path) {
    const auto text = path.generic_u8string();
    return {text.begin(), text.end()};
}

fs::path FromUtf8(std::string_view text) { return fs::path(std::u8string(text.begin(), text.end())); }

// A new run's folder name: the time in nanoseconds, zero-padded, so that names sort
// as runs follow each other.
fs::path NewRunFolder(const fs::path& historyFolder) {
    auto stamp = std::chrono::duration_cast<std::chrono::nanoseconds>(
                     std::chrono::system_clock::now().time_since_epoch())
                     .count();
    for (;; ++stamp) {
        std::string digits = std::to_string(stamp);
        digits.insert(0, 20 - std::min<std::size_t>(20, digits.size()), '0');
        const auto folder = historyFolder / (std::string(kRunPrefix) + digits);
        std::error_code ec;
        if (fs::create_directory(folder, ec)) return folder;
        if (ec) throw Error(DisplayPath(folder), 0, "cannot create the folder: " + ec.message());
    }
}

struct RunPage {
    std::string relative;
    std::string afterFingerprint;
    std::size_t offset;  // of its earlier bytes in the run's pages file
    std::size_t size;
};

struct Run {
    fs::path folder;
    fs::path site;
    std::vector<RunPage> pages;
};

Run ReadRun(const fs::path& folder) {
    Run run{folder, {}, {}};
    const auto file = TextFile::Read(folder / kRunFile);
    LineCursor lines(file.Text());
    for (std::string_view line; lines.Next(line);) {
        if (line.starts_with(kSiteKey)) {
            run.site = FromUtf8(line.substr(kSiteKey.size()));
        } else if (line.starts_with(kPageKey)) {
            // fingerprint, offset, size, then the name, which may hold anything but a line end
            std::string_view fields[4];
            auto rest = line.substr(kPageKey.size());
            for (int i = 0; i < 3; ++i) {
                const auto tab = rest.find('\t');
                if (tab == std::string_view::npos)
                    throw Error(DisplayPath(folder / kRunFile), lines.LineNumber(), "a page line with a field missing");
                fields[i] = rest.substr(0, tab);
                rest.remove_prefix(tab + 1);
            }
            fields[3] = rest;
            const auto offset = ParseWholeNumber(fields[1]), size = ParseWholeNumber(fields[2]);
            if (!offset || !size || *offset < 0 || *size < 0)
                throw Error(DisplayPath(folder / kRunFile), lines.LineNumber(), "a page line with a bad offset or size");
            run.pages.push_back({std::string(fields[3]), std::string(fields[0]), static_cast<std::size_t>(*offset),
                                 static_cast<std::size_t>(*size)});
        }
    }
    return run;
}

}  // namespace

std::vector<fs::path> SiteRuns(const fs::path& historyFolder) {
    std::vector<fs::path> runs;
    std::error_code ec;
    for (fs::directory_iterator it(historyFolder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename().string().starts_with(kRunPrefix) && fs::exists(it->path() / kRunFile, ec))
            runs.push_back(it->path());
    std::sort(runs.begin(), runs.end());
    return runs;
}

void KeepSiteRun(const fs::path& historyFolder, const fs::path& siteFolder, const std::vector<PageVersions>& pages) {
    std::error_code ec;
    fs::create_directories(historyFolder, ec);
    if (ec) throw Error(DisplayPath(historyFolder), 0, "cannot create the folder: " + ec.message());
    const auto folder = NewRunFolder(historyFolder);
    // The page lines start with their numbers, so any page name (tabs included) reads
    // back. The earlier versions go into one file: a run costs two files on the disk,
    // however many pages it wrote.
    std::string manifest = std::string(kSiteKey) + Utf8(fs::absolute(siteFolder).lexically_normal()) + "\n";
    std::size_t size = 0;
    for (const auto& page : pages) size += page.before.size();
    std::string before;
    before.reserve(size);
    for (const auto& page : pages) {
        manifest += std::string(kPageKey) + Fingerprint(page.after) + "\t" + std::to_string(before.size()) + "\t" +
                    std::to_string(page.before.size()) + "\t" + page.relative + "\n";
        before += page.before;
    }
    SafeSave save;
    save.Write(save.Add(folder / kPagesFile), before);
    // The run file last: a run is whole once it names its pages.
    save.Write(save.Add(folder / kRunFile), manifest);
    save.Commit();
    auto runs = SiteRuns(historyFolder);
    for (std::size_t i = 0; i + kRunsKept < runs.size(); ++i) fs::remove_all(runs[i], ec);
}

std::vector<UndoneSitePage> UndoLastSiteRun(const fs::path& historyFolder, const fs::path& siteFolder) {
    const auto site = fs::absolute(siteFolder).lexically_normal();
    const auto runs = SiteRuns(historyFolder);
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        const Run run = ReadRun(*it);
        if (run.site != site) continue;
        std::vector<UndoneSitePage> undone;
        const std::string earlier = ReadFileBytes(run.folder / kPagesFile);
        SafeSave save;
        for (const auto& page : run.pages) {
            const auto target = site / FromUtf8(page.relative);
            if (page.offset > earlier.size() || page.size > earlier.size() - page.offset)
                throw Error(DisplayPath(run.folder / kPagesFile), 0, "the file is shorter than its run says");
            const std::string_view before(earlier.data() + page.offset, page.size);
            const std::string now = ReadFileBytes(target);
            if (now == before) {
                undone.push_back({page.relative, UndoOutcome::AlreadyAsBefore});
            } else if (Fingerprint(now) != page.afterFingerprint) {
                undone.push_back({page.relative, UndoOutcome::ChangedSince});
            } else {
                save.Write(save.Add(target), before);
                undone.push_back({page.relative, UndoOutcome::PutBack});
            }
        }
        save.Commit();
        std::error_code ec;
        fs::remove_all(run.folder, ec);
        return undone;
    }
    throw Error(DisplayPath(site), 0, "no publish to this site to undo");
}

}  // namespace qm
