#include "model/TkvxAppletAgent.h"

#include <algorithm>
#include <string_view>

#include "model/DocumentFiles.h"
#include "model/SafeSave.h"
#include "model/TextFile.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

// Level text as a number; text that is no whole number counts as a main item here (the
// readers refuse such files before they reach the document).
long long ParseLevelOrZero(std::string_view text) {
    return ParseWholeNumber(text).value_or(0);
}

}  // namespace

std::vector<std::string> LoadReport::Warnings() const {
    std::vector<std::string> warnings;
    // Files of earlier Windows versions are not UTF-8; saying so, and where, explains
    // their bytes changing when they are saved again.
    if (const auto count = windows1252.count; count > 0) {
        std::string text = std::to_string(count) +
                           (count == 1 ? " byte that is not UTF-8 was" : " bytes that are not UTF-8 were") +
                           " read as Windows-1252, on ";
        if (windows1252.lines > 1) text += std::to_string(windows1252.lines) + " lines from ";
        warnings.push_back(text + "line " + std::to_string(windows1252.firstLine));
    }
    if (reattachedItems > 0)
        warnings.push_back(std::to_string(reattachedItems) +
                           (reattachedItems == 1 ? " item had a level that does not fit the tree and was re-attached"
                                                 : " items had levels that do not fit the tree and were re-attached"));
    return warnings;
}

std::vector<int> EffectiveDepths(const std::vector<long long>& levels) {
    std::vector<int> depths(levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i) depths[i] = EffectiveDepth(i, levels[i]);
    return depths;
}

TkvxAppletAgent::TkvxAppletAgent() {
    linkedFiles_.push_back({"zelvanbar.swf", "swf", false});
    linkedFiles_.push_back({"swfhelper.js", "js", false});
}

IProgressDisplay& TkvxAppletAgent::Progress() const {
    static NullProgressDisplay none;
    return progress_ ? *progress_ : none;
}

void TkvxAppletAgent::ResetToDefaults() {
    ReplaceDocument(DefaultAppletData(), {});
}

void TkvxAppletAgent::ReplaceDocument(TAppletData appletData, TItemArray items) {
    if (observer_) observer_->BeginResetTree();
    appletData_ = std::move(appletData);
    items_ = ItemStore();
    items_.Reserve(items.size());
    for (const auto& item : items) items_.Insert(items_.Count(), item);
    Invalidate();
    if (observer_) observer_->EndResetTree();
}

void TkvxAppletAgent::ReplaceDocument(ParsedDocument&& document) {
    if (observer_) observer_->BeginResetTree();
    appletData_ = std::move(document.appletData);
    items_ = std::move(document.items);
    // The reader has found every item's depth already.
    tree_.depth = std::move(document.depths);
    DeriveTree();
    savedForm_ = document.savedForm;
    levelsAndParentsFresh_ = document.levelsAndParentsFresh;
    if (observer_) observer_->EndResetTree();
}

void TkvxAppletAgent::SetAppletData(const TAppletData& data) {
    if (data == appletData_) return;
    appletData_ = data;
    Changed();
}

void TkvxAppletAgent::SetAppletField(std::size_t field, std::string_view value) {
    std::string& held = appletData_.Field(field);
    if (held == value) return;
    held.assign(value);
    Changed();
}

TItemArray TkvxAppletAgent::Items() const { return items_.Records(); }

TItemData TkvxAppletAgent::GetItemData(int index) const {
    if (index < 0 || index >= ItemCount()) return {};
    return items_.Record(index);
}

// Only the fields that differ are stored: a panel that writes back what it was shown
// changes nothing, and the item keeps its fields in the loaded text.
void TkvxAppletAgent::SetItemData(const TItemData& item, int index) {
    if (index < 0 || index >= ItemCount()) return;
    const auto current = items_.Fields(index);
    std::uint16_t differing = 0;
    for (std::size_t f = 0; f < TItemData::kFieldCount; ++f)
        if (current[f] != item.Field(f)) differing = static_cast<std::uint16_t>(differing | 1u << f);
    if (differing == 0) return;
    const bool levelChanged = differing >> FieldIndex(ItemField::Level) & 1u;
    const bool captionChanged = differing >> FieldIndex(ItemField::Text) & 1u;
    if (levelChanged && observer_) observer_->BeginResetTree();
    for (std::size_t f = 0; f < TItemData::kFieldCount; ++f)
        if (differing >> f & 1u) items_.SetField(index, static_cast<ItemField>(f), item.Field(f));
    Changed();
    if (levelChanged) {
        Invalidate();
        if (observer_) observer_->EndResetTree();
    } else if (captionChanged && observer_) {
        observer_->NodeCaptionChanged(index);
    }
}

void TkvxAppletAgent::SetItemField(int index, ItemField field, std::string_view value) {
    if (index < 0 || index >= ItemCount() || items_.Field(index, field) == value) return;
    if (field == ItemField::Level) {
        if (observer_) observer_->BeginResetTree();
        items_.SetField(index, field, value);
        Invalidate();
        if (observer_) observer_->EndResetTree();
        return;
    }
    items_.SetField(index, field, value);
    Changed();
    if (field == ItemField::Text && observer_) observer_->NodeCaptionChanged(index);
}

TItemData TkvxAppletAgent::NewItemData() {
    TItemData item;
    item.Text = "Item";
    item.Target = "_self";
    return item;
}

// The plain list edits change the derived tree in ways a view cannot follow row by
// row, so a view over the document is told to start afresh.
void TkvxAppletAgent::InsertItem(int index, const TItemData& item) {
    if (index < 0 || index > ItemCount()) return;
    if (observer_) observer_->BeginResetTree();
    items_.Insert(index, item);
    Invalidate();
    if (observer_) observer_->EndResetTree();
}

void TkvxAppletAgent::DeleteItem(int index) {
    if (index < 0 || index >= ItemCount()) return;
    if (observer_) observer_->BeginResetTree();
    items_.Erase(index, index + 1);
    Invalidate();
    if (observer_) observer_->EndResetTree();
}

void TkvxAppletAgent::SwapItemWithPrevious(int index) {
    if (index <= 0 || index >= ItemCount()) return;
    if (observer_) observer_->BeginResetTree();
    items_.Swap(index, index - 1);
    Invalidate();
    if (observer_) observer_->EndResetTree();
}

const TkvxAppletAgent::TreeIndex& TkvxAppletAgent::RebuildTree() const {
    const auto n = static_cast<std::size_t>(ItemCount());
    tree_.depth.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        tree_.depth[i] = EffectiveDepth(i, ParseLevelOrZero(items_.Field(static_cast<int>(i), ItemField::Level)));
    DeriveTree();
    return tree_;
}

void TkvxAppletAgent::DeriveTree() const {
    const auto n = tree_.depth.size();
    tree_.parent.resize(n);
    tree_.row.resize(n);
    tree_.mainItems.clear();
    int currentMain = kRootNode;
    int subRow = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (tree_.depth[i] == 0) {
            currentMain = static_cast<int>(i);
            subRow = 0;
            tree_.parent[i] = kRootNode;
            tree_.row[i] = static_cast<int>(tree_.mainItems.size());
            tree_.mainItems.push_back(currentMain);
        } else {
            tree_.parent[i] = currentMain;
            tree_.row[i] = subRow++;
        }
    }
    tree_.valid = true;
}

std::vector<int> TkvxAppletAgent::ChildNodes(int node) const {
    if (node == kRootNode) return Tree().mainItems;
    std::vector<int> children;
    const int count = ChildCount(node);
    for (int row = 0; row < count; ++row) children.push_back(node + 1 + row);
    return children;
}

int TkvxAppletAgent::PreviousSibling(int node) const {
    if (!IsValidNode(node) || node == kRootNode) return kNoNode;
    const int row = RowOfNode(node);
    return row == 0 ? kNoNode : ChildNode(ParentNode(node), row - 1);
}

int TkvxAppletAgent::NextSibling(int node) const {
    if (!IsValidNode(node) || node == kRootNode) return kNoNode;
    return ChildNode(ParentNode(node), RowOfNode(node) + 1);
}

int TkvxAppletAgent::NextNodeInPreOrder(int node) const {
    if (!IsValidNode(node)) return kNoNode;
    const int next = node + 1;
    return next < ItemCount() ? next : kNoNode;
}

int TkvxAppletAgent::InsertNewChild(int parentNode) {
    const int parentLevel = NodeLevel(parentNode);
    if (parentLevel != 0 && parentLevel != 1) return kNoNode;
    const int row = ChildCount(parentNode);
    const int at = parentNode == kRootNode ? ItemCount() : parentNode + SubtreeSize(parentNode);
    TItemData item = NewItemData();
    item.Level = std::to_string(parentLevel);  // the new node's depth - 1

    if (observer_) observer_->BeginInsertNodes(parentNode, row, row);
    items_.Insert(at, item);
    Invalidate();
    if (observer_) observer_->EndInsertNodes();
    return at;
}

bool TkvxAppletAgent::DeleteNode(int node) {
    if (node == kRootNode || !IsValidNode(node)) return false;
    const int parent = ParentNode(node);
    const int row = RowOfNode(node);
    const int size = SubtreeSize(node);
    if (observer_) observer_->BeginRemoveNodes(parent, row, row);
    items_.Erase(node, node + size);
    Invalidate();
    if (observer_) observer_->EndRemoveNodes();
    return true;
}

// [first, last) holds two neighbouring sibling subtrees, [first, middle) and
// [middle, last); they change places. The derived tree is brought up to date over the
// same range only, so a move costs the size of the two subtrees, not of the document.
void TkvxAppletAgent::RotateRange(int first, int middle, int last) {
    items_.Rotate(first, middle, last);
    Changed();
    auto& tree = tree_;
    if (!tree.valid) return;
    // Siblings share depth and parent, so what stood at first before still tells both;
    // the first of them had the lower row.
    const int siblingDepth = tree.depth[first];
    const int siblingParent = tree.parent[first];
    int row = tree.row[first];
    std::rotate(tree.depth.begin() + first, tree.depth.begin() + middle, tree.depth.begin() + last);
    int currentMain = siblingParent;
    int subRow = 0;
    for (int i = first; i < last; ++i) {
        if (tree.depth[i] == 0) {
            tree.parent[i] = kRootNode;
            tree.row[i] = row;
            tree.mainItems[row++] = i;
            currentMain = i;
            subRow = 0;
            // A main item whose level text reads as a sub item stands only first in the
            // list; away from there it must say what it is, or the next full rebuild
            // would hang it under its new neighbour.
            if (ParseLevelOrZero(items_.Field(i, ItemField::Level)) >= 1) items_.SetField(i, ItemField::Level, "0");
        } else if (siblingDepth == 1) {
            tree.parent[i] = siblingParent;
            tree.row[i] = row++;
        } else {
            tree.parent[i] = currentMain;
            tree.row[i] = subRow++;
        }
    }
}

bool TkvxAppletAgent::MoveNodeUp(int node) {
    const int previous = PreviousSibling(node);
    if (previous == kNoNode) return false;
    const int parent = ParentNode(node);
    const int row = RowOfNode(node);
    const int end = node + SubtreeSize(node);
    if (observer_) observer_->BeginMoveNodes(parent, row, row, row - 1);
    RotateRange(previous, node, end);
    if (observer_) observer_->EndMoveNodes();
    return true;
}

bool TkvxAppletAgent::MoveNodeDown(int node) {
    const int next = NextSibling(node);
    if (next == kNoNode) return false;
    const int parent = ParentNode(node);
    const int row = RowOfNode(node);
    const int end = next + SubtreeSize(next);
    if (observer_) observer_->BeginMoveNodes(parent, row, row, row + 2);
    RotateRange(node, next, end);
    if (observer_) observer_->EndMoveNodes();
    return true;
}

void TkvxAppletAgent::SetItemCaption(int item, const std::string& text) {
    SetItemField(item, ItemField::Text, text);
}

// --- Files ---------------------------------------------------------------------------

LoadReport TkvxAppletAgent::LoadProject(const std::filesystem::path& path, const TextFile::ByteObserver& seen) {
    auto file = TextFile::Read(path, seen);
    ProgressScope scope(Progress(), "Loading Data ... ...");
    auto document = ParseProjectFile(std::move(file), DisplayPath(path));
    auto report = document.report;
    ReplaceDocument(std::move(document));
    return report;
}

std::string_view TkvxAppletAgent::SavedForm(IProgressDisplay& progress) const {
    progress.SetProgressMaximum(ItemCount() * 10 + 15);
    progress.AdvanceProgress(ItemCount() * 10 + 15);
    return savedForm_;
}

std::string_view TkvxAppletAgent::ProjectText(std::string& scratch, IProgressDisplay& progress) const {
    // Nothing changed since the project was read in this program's own form.
    if (!savedForm_.empty()) return SavedForm(progress);
    scratch = WriteProjectText(appletData_, items_, progress);
    return scratch;
}

void TkvxAppletAgent::WriteProject(const TextSink& sink) const {
    if (!savedForm_.empty()) {
        sink(SavedForm(Progress()));
        return;
    }
    WriteProjectText(appletData_, items_, Progress(), sink);
}

void TkvxAppletAgent::WritePublishedProject(const TextSink& sink) const {
    const PublishedItemFields published{Depths(), Parents(), levelsAndParentsFresh_, PathReplacementOf(appletData_)};
    if (!savedForm_.empty() && levelsAndParentsFresh_) {
        bool converts = false;
        for (int i = 0; i < ItemCount() && !converts; ++i)
            converts = published.replacement.Converts(GetItemField(i, ItemField::Link));
        if (!converts) {
            sink(SavedForm(Progress()));
            return;
        }
    }
    WriteProjectText(appletData_, items_, Progress(), sink, &published);
}

void TkvxAppletAgent::SaveProject(const std::filesystem::path& path) const {
    ProgressScope scope(Progress(), "Saving Data ... ...");
    SafeSave save;
    const auto file = save.Add(path, LinkAtTarget::FollowOwnLink);
    save.Begin(file);
    WriteProject([&](std::string_view part) { save.Append(file, part); });
    save.End(file);
    save.Commit();
}

LoadReport TkvxAppletAgent::ImportMenuStructure(const std::filesystem::path& path) {
    auto file = TextFile::Read(path);
    ProgressScope scope(Progress(), "Loading Data ... ...");
    auto document = ParseMenuStructureFile(std::move(file), DisplayPath(path));
    auto report = document.report;
    ReplaceDocument(std::move(document));
    return report;
}

void TkvxAppletAgent::ExportMenuStructure(const std::filesystem::path& path) const {
    ProgressScope scope(Progress(), "Saving Data ... ...");
    SaveFileSafely(path, WriteMenuStructureText(items_, Progress(), &Depths()));
}

}  // namespace qm
