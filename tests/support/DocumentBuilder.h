#pragma once
// The one way tests make a menu document: a table of items in, a document out.
//
//   MakeDocument(agent, {{0, "Home", "index.html"}, {0, "Products"}, {1, "Prices"}});
//
// A window test puts the same table into its window as one edit (WindowTest::MakeDocument).

#include <string>
#include <vector>

#include "model/MenuRecords.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {

// One item of the table, in the document's order: level 0 is a main item, 1 a sub item
// of the main item before it (other levels are written as given, for the readers'
// tolerance).
struct ItemRow {
    int level = 0;
    std::string text;
    std::string link = {};
    std::string target = "_self";
};

enum class Fields {
    // The default look; each item as a new item is, with the row's values.
    Given,
    // A look that differs from the defaults in every field, each value of its field's
    // kind, and items whose other fields (the reserved ones and ParentIndex) carry
    // their caption: a field that gets lost or swapped shows.
    Every,
};

// The item records of a table.
TItemData MakeItem(const ItemRow& row, Fields fields = Fields::Given);
TItemArray MakeItems(const std::vector<ItemRow>& rows, Fields fields = Fields::Given);
// The look of a document made with these fields.
TAppletData MakeLook(Fields fields);

// Replaces the agent's document with the table's, in one step.
void MakeDocument(TkvxAppletAgent& agent, const std::vector<ItemRow>& rows, Fields fields = Fields::Given);

// A small menu with sub items, each link and target its own:
// Home; Products(Prices, Stock); Contact.
extern const std::vector<ItemRow> kSampleMenu;

}  // namespace qm::test
