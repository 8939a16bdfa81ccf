#include "site/LinkCheck.h"

#include <algorithm>
#include <map>
#include <set>
#include <system_error>

#include "model/Error.h"
#include "model/TextFile.h"
#include "output/PageWriter.h"
#include "site/HtmlDocument.h"
#include "site/SiteFiles.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

std::string_view TrimmedLink(std::string_view link) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; };
    while (!link.empty() && blank(link.front())) link.remove_prefix(1);
    while (!link.empty() && blank(link.back())) link.remove_suffix(1);
    return link;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Whether an absolute link has what its scheme needs (a host, an address).
bool IsCompleteAddress(std::string_view link) {
    const auto colon = link.find(':');
    std::string scheme(link.substr(0, colon));
    for (auto& c : scheme)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const auto rest = link.substr(colon + 1);
    if (scheme == "http" || scheme == "https" || scheme == "ftp") {
        if (!rest.starts_with("//")) return false;
        const auto host = rest.substr(2, rest.find_first_of("/?#", 2) - 2);
        return !host.empty() && host.find(' ') == std::string_view::npos;
    }
    if (scheme == "mailto") return rest.find('@') != std::string_view::npos;
    return !rest.empty();
}

// The ids and names a page's elements carry, read once for each page.
class PlacesInPages {
public:
    const std::set<std::string>& Of(const fs::path& page) {
        const auto found = places_.find(page);
        if (found != places_.end()) return found->second;
        auto& places = places_[page];
        try {
            const auto bytes = ReadFileBytes(page);
            const auto text = TextFile::FromBytes(bytes);
            const HtmlDocument html(text.Text(), DisplayPath(page));
            VisitNodes(html.Root(), [&places](const GumboNode& node) {
                for (const char* attribute : {"id", "name"})
                    if (const auto value = AttributeOf(node, attribute)) places.emplace(*value);
                return true;
            });
        } catch (const Error&) {
            // A page that cannot be read has no places; its link is reported as such.
        }
        return places;
    }

private:
    std::map<fs::path, std::set<std::string>> places_;
};

bool IsPagePath(const fs::path& path) {
    auto extension = path.extension().string();
    for (auto& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension == ".html" || extension == ".htm";
}

// The file a link inside the site leads to: the file itself, or a folder's index page.
fs::path LinkedFile(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        for (const char* index : {"index.html", "index.htm"})
            if (fs::is_regular_file(path / index, ec)) return path / index;
        return {};
    }
    return fs::is_regular_file(path, ec) ? path : fs::path();
}

}  // namespace

std::vector<BrokenLink> CheckLinks(const TkvxAppletAgent& agent, const fs::path& siteFolder) {
    std::error_code ec;
    if (!fs::is_directory(siteFolder, ec)) throw Error(DisplayPath(siteFolder), 0, "the site folder does not exist");
    const auto site = fs::absolute(siteFolder).lexically_normal();
    std::vector<BrokenLink> broken;
    PlacesInPages places;
    for (int i = 0; i < agent.ItemCount(); ++i) {
        const std::string_view stored = agent.GetItemField(i, ItemField::Link);
        const auto link = TrimmedLink(stored);
        if (link.empty() || link.front() == '#' || link.front() == '?') continue;
        const auto report = [&](const std::string& why) {
            broken.push_back({i, "'" + std::string(agent.ItemText(i)) + "' links to " + std::string(link) + why});
        };
        if (!IsRelativeLink(link) && link.front() != '/' && link.front() != '\\') {
            if (!IsCompleteAddress(link)) report(", which is not a complete address");
            continue;
        }
        if (link.starts_with("//")) continue;  // another host, only the scheme left out
        const auto hash = link.find('#');
        const auto pathPart = link.substr(0, std::min(hash, link.find('?')));
        const std::string fragment = hash == std::string_view::npos ? std::string() : PercentDecoded(link.substr(hash + 1));
        const std::string decoded = PercentDecoded(pathPart);
        const auto relative = fs::path(std::u8string(decoded.begin(), decoded.end())).relative_path().lexically_normal();
        if (!relative.empty() && *relative.begin() == "..") {
            report(", which is outside the site folder");
            continue;
        }
        const auto file = LinkedFile(site / relative);
        if (file.empty()) {
            report(", which is not in the site folder");
            continue;
        }
        if (fragment.empty() || fragment == "top" || !IsPagePath(file)) continue;
        if (!places.Of(file).count(fragment)) {
            const auto page = std::string(pathPart.empty() ? "the page" : std::string(pathPart));
            report(", but " + page + " has no element with the id or name '" + fragment + "'");
        }
    }
    return broken;
}

}  // namespace qm
