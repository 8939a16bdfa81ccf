// The page made from any look and any captions, links and targets has the markup of
// the page made from plain words in their places: no stored text can add, remove or
// move an element or an attribute.
#include <unordered_map>

#include "FuzzInput.h"
#include "PageMarkup.h"
#include "output/PageWriter.h"

using namespace qm;

namespace {

constexpr const char* kLevels[] = {"0", "1", "2", "-1", "x", ""};
// A dozen items show every kind of row (main, sub, with and without sub items) next to
// every other; more only make each input slower.
constexpr std::size_t kMostItems = 12;
constexpr std::size_t kMostRemembered = 1 << 14;

std::string Describe(const std::vector<std::string>& markup, const std::vector<std::string>& expected) {
    std::size_t same = 0;
    while (same < markup.size() && same < expected.size() && markup[same] == expected[same]) ++same;
    return "markup differs at token " + std::to_string(same) + ": " +
           (same < markup.size() ? markup[same] : "(end)") + " instead of " +
           (same < expected.size() ? expected[same] : "(end)");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    TAppletData look;
    TAppletData plainLook;
    for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i) {
        look.Field(i) = input.Text();
        plainLook.Field(i) = "x";
    }
    TItemArray items;
    TItemArray plainItems;
    std::string levels;  // the choices, which alone make the plain page
    while (!input.Empty() && items.size() < kMostItems) {
        auto item = TkvxAppletAgent::NewItemData();
        const auto level = input.Choice(std::size(kLevels));
        levels += static_cast<char>('0' + level);
        item.Level = kLevels[level];
        auto plain = item;
        item.Text = input.Text();
        item.Link = input.Text();
        item.Target = input.Text();
        plain.Text = plain.Link = plain.Target = "x";
        items.push_back(std::move(item));
        plainItems.push_back(std::move(plain));
    }
    TkvxAppletAgent agent;
    agent.ReplaceDocument(look, items);
    const auto page = MakeHtmlText(agent);
    const auto markup = fuzz::PageMarkup(page);
    // The plain page's markup, made once for each sequence of levels.
    static std::unordered_map<std::string, std::vector<std::string>> remembered;
    if (remembered.size() > kMostRemembered) remembered.clear();
    auto [known, isNew] = remembered.try_emplace(levels);
    if (isNew) {
        TkvxAppletAgent plainAgent;
        plainAgent.ReplaceDocument(plainLook, plainItems);
        known->second = fuzz::PageMarkup(MakeHtmlText(plainAgent));
    }
    const auto& expected = known->second;
    fuzz::Check(markup == expected, Describe(markup, expected), page);
    return 0;
}
