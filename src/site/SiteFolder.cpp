#include "site/SiteFolder.h"

#include <algorithm>
#include <system_error>

#include "model/Error.h"
#include "model/SafeSave.h"
#include "model/TextFile.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSiteFolderKey = "SiteFolder=";

bool IsPageName(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return false;
    std::string extension = name.substr(dot + 1);
    for (auto& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension == "html" || extension == "htm";
}

void ListFolder(const fs::path& folder, const std::string& relative, const fs::path& skip,
                std::vector<SitePage>& pages) {
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
    if (ec) throw Error(DisplayPath(folder), 0, "cannot read the folder: " + ec.message());
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name[0] == '.' || entry.is_symlink(ec)) continue;
        if (entry.is_directory(ec)) {
            ListFolder(entry.path(), relative + name + "/", skip, pages);
        } else if (entry.is_regular_file(ec) && IsPageName(name) && !IsTemporaryFileName(name)) {
            if (!skip.empty() && entry.path() == skip) continue;
            pages.push_back({relative + name, entry.path()});
        }
    }
}

}  // namespace

std::vector<SitePage> ListSitePages(const fs::path& siteFolder, const fs::path& skip) {
    std::error_code ec;
    if (!fs::is_directory(siteFolder, ec)) throw Error(DisplayPath(siteFolder), 0, "the site folder does not exist");
    std::vector<SitePage> pages;
    ListFolder(siteFolder, {}, skip.empty() ? skip : skip.lexically_normal(), pages);
    return pages;
}

std::string PathToSiteRoot(std::string_view relativePage) {
    std::string up;
    for (const char c : relativePage)
        if (c == '/') up += "../";
    return up;
}

fs::path ProjectSettingsPath(const fs::path& project) {
    auto settings = project;
    return settings.replace_extension(".settings");
}

fs::path SiteFolderOf(const fs::path& project) {
    const auto home = fs::absolute(project).parent_path();
    const auto settings = ProjectSettingsPath(project);
    std::error_code ec;
    if (!fs::exists(settings, ec)) return home;
    const auto file = TextFile::Read(settings);
    LineCursor lines(file.Text());
    for (std::string_view line; lines.Next(line);) {
        if (line.substr(0, kSiteFolderKey.size()) != kSiteFolderKey) continue;
        const auto value = line.substr(kSiteFolderKey.size());
        if (value.empty()) return home;
        const fs::path site = fs::path(std::u8string(value.begin(), value.end()));
        return (home / site).lexically_normal();
    }
    return home;
}

void SetSiteFolder(const fs::path& project, const fs::path& site) {
    const auto home = fs::absolute(project).parent_path();
    const auto absoluteSite = fs::absolute(site).lexically_normal();
    auto relative = absoluteSite.lexically_relative(home);
    if (relative.empty()) relative = absoluteSite;
    const auto settings = ProjectSettingsPath(project);
    std::string text;
    std::error_code ec;
    if (fs::exists(settings, ec)) {
        const auto file = TextFile::Read(settings);
        LineCursor lines(file.Text());
        for (std::string_view line; lines.Next(line);)
            if (line.substr(0, kSiteFolderKey.size()) != kSiteFolderKey) (text += line) += "\r\n";
    }
    const auto value = relative.generic_u8string();
    text += std::string(kSiteFolderKey) + std::string(value.begin(), value.end()) + "\r\n";
    SaveFileSafely(settings, text);
}

}  // namespace qm
