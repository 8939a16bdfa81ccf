#pragma once
// A web site on disk: its folder, the pages in it, and the project setting that names
// it. A project's site folder is kept in the project's settings file beside it
// ("menu.zorbel" has "menu.settings"), never in the project file, whose format stays
// as it is.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct SitePage {
    std::string relative;          // from the site folder, "/" between folders: "products/boats.html"
    std::filesystem::path path;    // the file itself
};

// Every page of the site: the regular files named *.html or *.htm (in any letter
// case) in siteFolder and its sub folders, in name order (folders walked as they come
// in that order). Hidden files and folders (a name starting with ".") are left out,
// and a symbolic link is never followed, so nothing outside the site folder is ever
// listed. skip: a page left out (the project's own page). Throws qm::Error naming the
// folder when it is missing or cannot be read.
std::vector<SitePage> ListSitePages(const std::filesystem::path& siteFolder, const std::filesystem::path& skip = {});

// What leads from a page (its path from the site folder) back to the site's root:
// "../" for each folder it lies in, "" for a page at the root.
std::string PathToSiteRoot(std::string_view relativePage);

// "menu.zorbel" -> "menu.settings", beside it.
std::filesystem::path ProjectSettingsPath(const std::filesystem::path& project);

// The project's site folder: the one its settings name (a relative path there is read
// from the project's folder), else the project's folder. Throws qm::Error naming the
// settings file when it cannot be read.
std::filesystem::path SiteFolderOf(const std::filesystem::path& project);

// Keeps site as the project's site folder: relative to the project's folder, so that a
// project moved with its site keeps finding it. The settings file's other lines stay.
// Throws qm::Error naming the settings file when it cannot be written.
void SetSiteFolder(const std::filesystem::path& project, const std::filesystem::path& site);

}  // namespace qm
