#include "gui/TMenuDocument.h"

#include <memory>
#include <unordered_set>

#include <QDir>
#include <QFileInfo>

#include "gui/DocumentCommands.h"
#include "gui/FlagScope.h"
#include "model/LookValues.h"
#include "model/WholeNumber.h"
#include "output/Publisher.h"

namespace qm {

namespace {

constexpr std::string_view kNewItemCaption = "New item";

}  // namespace

TMenuDocument::TMenuDocument(QObject* parent) : QObject(parent) {
    // Unsaved changes are the stack's: back at the saved state, by undo or redo, nothing
    // is left to save.
    connect(&undoStack_, &QUndoStack::cleanChanged, this, [this](bool clean) { emit ModifiedChanged(!clean); });
    Reset();
}

TMenuDocument::~TMenuDocument() {
    // The steps refer to the document: they go first.
    undoStack_.clear();
}

// --- State ---------------------------------------------------------------------------------

void TMenuDocument::MarkUnsaved() {
    undoStack_.resetClean();
}

void TMenuDocument::MarkSaved() {
    undoStack_.setClean();
}

void TMenuDocument::SetFileName(const QString& fileName) {
    fileName_ = fileName;
    emit FileNameChanged(fileName_);
}

// --- Whole documents --------------------------------------------------------------------------

void TMenuDocument::AfterReplace() {
    // The look as the panels show it and the next save writes it: numbers in their
    // ranges, colours as six digits, text trimmed.
    agent_.SetAppletData(NormalizeAppletData(agent_.AppletData()));
    undoStack_.clear();
    MarkSaved();
    emit Replaced();
    emit Changed();
}

LoadReport TMenuDocument::Replace(const std::function<LoadReport()>& load) {
    // A refused file throws before anything is replaced, and the flag is given back.
    TFlagScope replacing(replacing_);
    LoadReport report = load();
    AfterReplace();
    return report;
}

void TMenuDocument::Reset() {
    Replace([&] {
        agent_.ResetToDefaults();
        return LoadReport{};
    });
}

LoadReport TMenuDocument::Open(const std::filesystem::path& path, const TextFile::ByteObserver& seen) {
    return Replace([&] { return agent_.LoadProject(path, seen); });
}

LoadReport TMenuDocument::Import(const std::filesystem::path& path) {
    return Replace([&] { return agent_.ImportMenuStructure(path); });
}

void TMenuDocument::Start(TItemArray items) {
    Replace([&] {
        agent_.ReplaceDocument(DefaultAppletData(), std::move(items));
        return LoadReport{};
    });
}

QString TMenuDocument::ProjectFileOf(const QString& fileName) {
    if (fileName.isEmpty()) return {};
    const QFileInfo info(fileName);
    return info.absoluteDir().filePath(QString::fromStdString(ProjectStem(info.fileName().toStdString())) +
                                       QStringLiteral(".zorbel"));
}

// --- Staged files ----------------------------------------------------------------------------

void TMenuDocument::StageFile(const std::filesystem::path& previewFolder, const std::filesystem::path& file) {
    if (auto name = CopyToPreviewFolder(previewFolder, file); !name.empty()) previewCopiedFiles_.push_back(std::move(name));
}

void TMenuDocument::StageLinkedFiles(const std::filesystem::path& previewFolder,
                                     const std::filesystem::path& sourceFolder) {
    for (auto& name : CopyLinkedFilesToPreview(agent_, previewFolder, sourceFolder))
        previewCopiedFiles_.push_back(std::move(name));
}

std::vector<std::string> TMenuDocument::StageSounds(const std::filesystem::path& previewFolder,
                                                    const std::filesystem::path& sourceFolder) {
    auto sounds = CopyResourceFilesToPreview(agent_, previewFolder, sourceFolder);
    for (auto& name : sounds.staged) previewCopiedFiles_.push_back(std::move(name));
    return std::move(sounds.warnings);
}

void TMenuDocument::ClearPreviewFolder(const std::filesystem::path& previewFolder) {
    qm::ClearPreviewFolder(previewFolder, previewCopiedFiles_);
}

// --- Values ----------------------------------------------------------------------------------

void TMenuDocument::Push(QUndoCommand* command) {
    undoStack_.push(command);
}

void TMenuDocument::StepEnds(int node, int lookField, bool show) {
    // The views still see a step in progress while they go to where it happened.
    if (show) emit ShowRequested(node, lookField);
    --changing_;
    emit Changed();
}

bool TMenuDocument::SetLookValue(std::size_t field, const std::string& value, int session) {
    const std::string& now = agent_.AppletData().Field(field);
    if (now == value) return false;
    Push(new TChangeValue(*this, {kRootNode, field}, value, session));
    return true;
}

bool TMenuDocument::SetLookValues(const std::vector<std::pair<std::size_t, std::string>>& values,
                                  const QString& text) {
    auto step = std::make_unique<QUndoCommand>(text);
    for (const auto& [field, value] : values) {
        const std::string& now = agent_.AppletData().Field(field);
        if (now != value) new TChangeValue(*this, {kRootNode, field}, value, 0, step.get());
    }
    if (step->childCount() == 0) return false;
    Push(step.release());
    return true;
}

bool TMenuDocument::SetItemValue(int item, std::size_t field, const std::string& value, int session) {
    if (item < 0 || item >= agent_.ItemCount()) return false;
    if (agent_.GetItemField(item, static_cast<ItemField>(field)) == value) return false;
    Push(new TChangeValue(*this, {item, field}, value, session));
    return true;
}

// --- Structure -------------------------------------------------------------------------------

std::string TMenuDocument::NewItemCaption() const {
    // The numbers already taken after "New item ".
    std::unordered_set<long long> taken;
    bool plainTaken = false;
    for (const auto& item : agent_.Items()) {
        const std::string_view text = item.Text;
        if (!text.starts_with(kNewItemCaption)) continue;
        if (text.size() == kNewItemCaption.size()) {
            plainTaken = true;
        } else if (text[kNewItemCaption.size()] == ' ') {
            const auto digits = text.substr(kNewItemCaption.size() + 1);
            if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos &&
                digits.size() < 12)
                taken.insert(std::stoll(std::string(digits)));
        }
    }
    if (!plainTaken) return std::string(kNewItemCaption);
    long long number = 2;
    while (taken.count(number)) ++number;
    return std::string(kNewItemCaption) + " " + std::to_string(number);
}

TItemData TMenuDocument::NewItem(int parentNode) const {
    TItemData item = TkvxAppletAgent::NewItemData();
    item.Text = NewItemCaption();
    item.Level = std::to_string(agent_.NodeLevel(parentNode));
    return item;
}

bool TMenuDocument::CanInsertNewItem(int parentNode) const {
    const int level = agent_.NodeLevel(parentNode);
    return level == 0 || level == 1;
}

int TMenuDocument::InsertNewItem(int parentNode) {
    if (!CanInsertNewItem(parentNode)) return kNoNode;
    return InsertItems(parentNode, agent_.ChildCount(parentNode), {NewItem(parentNode)}, QStringLiteral("Insert Item"));
}

int TMenuDocument::InsertNewItemAfter(int node) {
    if (!CanInsertNewItemAfter(node)) return kNoNode;
    const int parent = agent_.ParentNode(node);
    return InsertItems(parent, agent_.RowOfNode(node) + 1, {NewItem(parent)}, QStringLiteral("Insert Item Below"));
}

bool TMenuDocument::DeleteNode(int node, const QString& text) {
    if (!CanDeleteNode(node)) return false;
    const int row = agent_.RowOfNode(node);
    Push(TAddRemoveItems::Removal(*this, agent_.ParentNode(node), row, row, text));
    return true;
}

bool TMenuDocument::CanMoveNodeUp(int node) const {
    return IsItem(node) && agent_.PreviousSibling(node) != kNoNode;
}

bool TMenuDocument::CanMoveNodeDown(int node) const {
    return IsItem(node) && agent_.NextSibling(node) != kNoNode;
}

bool TMenuDocument::MoveNodeUp(int node) {
    if (!CanMoveNodeUp(node)) return false;
    Push(new TMoveNodeBySibling(*this, node, true));
    return true;
}

bool TMenuDocument::MoveNodeDown(int node) {
    if (!CanMoveNodeDown(node)) return false;
    Push(new TMoveNodeBySibling(*this, node, false));
    return true;
}

bool TMenuDocument::CanIndent(int node) const {
    return agent_.NodeLevel(node) == 1 && agent_.CanMoveNode(node, node, 1);
}

bool TMenuDocument::CanOutdent(int node) const {
    return agent_.NodeLevel(node) == 2;
}

bool TMenuDocument::Indent(int node) {
    if (!CanIndent(node)) return false;
    // In place: the main item before it is its parent now.
    Push(new TMoveNodeTo(*this, node, node, 1, QStringLiteral("Indent")));
    return true;
}

bool TMenuDocument::Outdent(int node) {
    if (!CanOutdent(node)) return false;
    const int parent = agent_.ParentNode(node);
    Push(new TMoveNodeTo(*this, node, parent + agent_.SubtreeSize(parent), 0, QStringLiteral("Outdent")));
    return true;
}

bool TMenuDocument::CanMoveNode(int node, int newParent, int row) const {
    // Not into its own subtree.
    if (newParent == node || (newParent >= 0 && agent_.ParentNode(newParent) == node)) return false;
    const int before = agent_.PositionOfRow(newParent, row);
    return before >= 0 && agent_.CanMoveNode(node, before, newParent == kRootNode ? 0 : 1);
}

int TMenuDocument::MoveNode(int node, int newParent, int row, const QString& text) {
    if (!CanMoveNode(node, newParent, row)) return kNoNode;
    const int level = newParent == kRootNode ? 0 : 1;
    auto* step = new TMoveNodeTo(*this, node, agent_.PositionOfRow(newParent, row), level, text);
    Push(step);
    return step->MovedTo();
}

namespace {

bool ReadsAsSubItem(const std::string& level) {
    return ParseWholeNumber(level).value_or(0) >= 1;
}

// Levels seen from the first item: it is "0", and each other item "1" when it belongs
// to a main item before it in the list.
TItemArray RelativeLevels(TItemArray items) {
    for (std::size_t i = 0; i < items.size(); ++i) items[i].Level = i > 0 && ReadsAsSubItem(items[i].Level) ? "1" : "0";
    return items;
}

bool HasSubItems(const TItemArray& items) {
    for (std::size_t i = 1; i < items.size(); ++i)
        if (ReadsAsSubItem(items[i].Level)) return true;
    return false;
}

}  // namespace

bool TMenuDocument::CanInsertItems(int parentNode, const TItemArray& items) const {
    if (items.empty()) return false;
    const int level = agent_.NodeLevel(parentNode);
    return level == 0 || (level == 1 && !HasSubItems(items));
}

int TMenuDocument::InsertItems(int parentNode, int row, TItemArray items, const QString& text) {
    if (!CanInsertItems(parentNode, items) || agent_.PositionOfRow(parentNode, row) < 0) return kNoNode;
    items = RelativeLevels(std::move(items));
    if (parentNode != kRootNode)
        for (auto& item : items) item.Level = "1";
    const int first = agent_.PositionOfRow(parentNode, row);
    Push(TAddRemoveItems::Insertion(*this, parentNode, row, std::move(items), text));
    return first;
}

int TMenuDocument::InsertItemsAfter(int node, TItemArray items, const QString& text) {
    if (node == kRootNode) return InsertItems(kRootNode, agent_.ChildCount(kRootNode), std::move(items), text);
    if (!agent_.IsValidNode(node)) return kNoNode;
    int parent = agent_.ParentNode(node);
    int row = agent_.RowOfNode(node) + 1;
    if (parent != kRootNode && HasSubItems(items)) {
        row = agent_.RowOfNode(parent) + 1;
        parent = kRootNode;
    }
    return InsertItems(parent, row, std::move(items), text);
}

TItemArray TMenuDocument::SubtreeItems(int node) const {
    TItemArray items;
    if (node < 0 || !agent_.IsValidNode(node)) return items;
    const int size = agent_.SubtreeSize(node);
    items.reserve(static_cast<std::size_t>(size));
    for (int i = node; i < node + size; ++i) items.push_back(agent_.GetItemData(i));
    return items;
}

}  // namespace qm
