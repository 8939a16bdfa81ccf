#pragma once
// Builds documents for tests: items given as (level, caption, link, target).

#include <string>
#include <vector>

#include "model/TkvxAppletAgent.h"

namespace qm::test {

struct ItemSpec {
    int level;
    std::string text;
    std::string link;
    std::string target = "_self";
};

inline void AddItems(TkvxAppletAgent& agent, const std::vector<ItemSpec>& items) {
    for (const auto& wanted : items) {
        auto item = TkvxAppletAgent::NewItemData();
        item.Level = std::to_string(wanted.level);
        item.Text = wanted.text;
        item.Link = wanted.link;
        item.Target = wanted.target;
        agent.InsertItem(agent.ItemCount(), item);
    }
}

inline void MakeMenu(TkvxAppletAgent& agent, const std::vector<ItemSpec>& items) {
    agent.ResetToDefaults();
    AddItems(agent, items);
}

}  // namespace qm::test
