// A page of the site, any bytes, read by the HTML5 parser: the menu's place is found or
// the page is refused with a message, never more; writing the menu keeps every byte
// outside the place; and publishing again into the page written finds the markers
// around the menu and changes nothing.
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "model/Error.h"
#include "site/MenuPlace.h"

using namespace qm;

namespace {

constexpr std::string_view kSnippet = "<!-- Quillamere 1.0 -->\r\n<div id=\"qmenu\">\r\n<a href=\"x.html\">x</a>\r\n</div>\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    MenuPlace place;
    try {
        place = FindMenuPlace(page, "page.html");
    } catch (const Error&) {
        return 0;  // refused, with a message
    }
    if (place.kind == MenuPlaceKind::None) return 0;
    fuzz::Check(place.begin <= place.end && place.end <= page.size(), "the place lies outside the page");
    const auto written = PageWithMenu(page, place, kSnippet);
    fuzz::Check(written.starts_with(page.substr(0, place.begin)) && written.ends_with(page.substr(place.end)),
                "a byte outside the place changed", written);
    try {
        const auto again = FindMenuPlace(written, "page.html");
        fuzz::Check(again.kind == MenuPlaceKind::Markers, "the page written has no markers", written);
        fuzz::Check(PageWithMenu(written, again, kSnippet) == written, "publishing again changes the page", written);
    } catch (const Error& error) {
        fuzz::Check(false, "the page written is refused", error.what());
    }
    return 0;
}
