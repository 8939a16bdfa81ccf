#include "support/DocumentBuilder.h"

#include <cstdint>

#include "model/LookValues.h"

namespace qm::test {

const std::vector<ItemRow> kSampleMenu = {
    {0, "Home", "Home.html", "_blank"},     {0, "Products", "Products.html", "_blank"},
    {1, "Prices", "Prices.html", "_blank"}, {1, "Stock", "Stock.html", "_blank"},
    {0, "Contact", "Contact.html", "_blank"},
};

TItemData MakeItem(const ItemRow& row, Fields fields) {
    TItemData item = TkvxAppletAgent::NewItemData();
    item.Level = std::to_string(row.level);
    item.Text = row.text;
    item.Link = row.link;
    item.Target = row.target;
    if (fields == Fields::Every) {
        item.Reserved1 = "r1-" + row.text;
        item.Reserved4 = "r4-" + row.text;
        item.Reserved5 = "r5-" + row.text;
        item.Reserved7 = "r7-" + row.text;
        item.Reserved8 = "r8-" + row.text;
        item.ParentIndex = "p-" + row.text;
    }
    return item;
}

TItemArray MakeItems(const std::vector<ItemRow>& rows, Fields fields) {
    TItemArray items;
    items.reserve(rows.size());
    for (const auto& row : rows) items.push_back(MakeItem(row, fields));
    return items;
}

TAppletData MakeLook(Fields fields) {
    if (fields == Fields::Given) return DefaultAppletData();
    TAppletData look;
    // The reader refuses a look value the window could not show, so each value is of
    // its field's kind.
    for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i) {
        switch (LookFieldAt(i).kind) {
        case LookValueKind::Integer: look.Field(i) = std::to_string(100 + i); break;
        case LookValueKind::Colour: look.Field(i) = ColourToText(0xA0B000u + static_cast<std::uint32_t>(i)); break;
        case LookValueKind::Text:
        case LookValueKind::Flag: look.Field(i) = "v" + std::to_string(i) + "-" + std::string(TAppletData::FieldName(i));
        }
    }
    return look;
}

void MakeDocument(TkvxAppletAgent& agent, const std::vector<ItemRow>& rows, Fields fields) {
    agent.ReplaceDocument(MakeLook(fields), MakeItems(rows, fields));
}

}  // namespace qm::test
