#pragma once
// The document the window edits: the agent that holds the menu's values (the only
// place that holds them), its undo stack, whether it has unsaved changes and the file
// it belongs to. Every change, from the tree or from a panel, is a command pushed on
// the stack: the command writes the agent at once and the document tells the views.
// A view never keeps a copy; it shows the agent and writes through the edits below.
//
// What the views hear:
// - the tree model follows structural edits row by row through the agent's observer;
// - LookValueChanged and ItemValueChanged name one value (the panels show it);
// - Replaced: New, Open or Import put a whole new document in place;
// - Changed: once after every change of any kind, done, undone, redone or replaced. A
//   view that shows the whole menu (a preview) follows this one.
// Saving, publishing and previewing only read the document.
// - ShowRequested: where a command's change is to be seen.

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gui/DocumentCommands.h"
#include "model/TkvxAppletAgent.h"

namespace qm {

class TMenuDocument final : public QObject, private IEditedDocument {
    Q_OBJECT
public:
    explicit TMenuDocument(QObject* parent = nullptr);
    ~TMenuDocument() override;

    // Reading the document, and the file and publishing operations; edits go through
    // the operations below, or the views fall out of step.
    TkvxAppletAgent& Agent() override { return agent_; }
    const TkvxAppletAgent& Agent() const { return agent_; }
    QUndoStack& UndoStack() { return undoStack_; }

    // --- State -------------------------------------------------------------------------
    // Unsaved changes: the document differs from the saved file, which is the undo
    // stack's clean state and nothing else (looking at an item or a refused command
    // changes nothing). Undoing or redoing back to the saved state clears it.
    bool Modified() const { return !undoStack_.isClean(); }
    // The document differs from the file on disk without a step of its own: a restored
    // recovery copy, or a file that was deleted under it. No undo or redo reaches the
    // saved state again; only a save does.
    void MarkUnsaved();
    // The document as it is now is the saved one.
    void MarkSaved();
    // The path the document saves to, as the save dialog returned it; empty while
    // untitled.
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& fileName);
    // The project file that saving under FileName() writes (its stem and ".zorbel");
    // empty while untitled.
    QString ProjectFilePath() const { return ProjectFileOf(fileName_); }
    // The same for any name the save dialog may return.
    static QString ProjectFileOf(const QString& fileName);
    // True while a command is being done, undone or redone.
    bool Changing() const { return changing_ > 0; }
    // True while a whole document comes in (New, Open, Import, Start), until everyone
    // has heard Replaced and Changed: the views wait for Replaced rather than follow
    // the tree's changes one by one.
    bool Replacing() const { return replacing_; }

    // --- A whole document: New, Open, Import -------------------------------------------
    // The look as the panels show it (NormalizeAppletData), no steps to undo, saved.
    void Reset();
    // Read and checked completely first: on failure (qm::Error) nothing has changed.
    LoadReport Open(const std::filesystem::path& path, const TextFile::ByteObserver& seen = {});
    LoadReport Import(const std::filesystem::path& path);
    // A new document with the default look and these items (a menu made from a site).
    void Start(TItemArray items);

    // --- The files staged for the document in the per-user Preview folder -------------
    // Staged since the folder was last cleared, as the staging operations of
    // output/Publisher.h return them: bare names in copy order, duplicates kept. Only
    // these are ever deleted there.
    const std::vector<std::string>& PreviewCopiedFiles() const { return previewCopiedFiles_; }
    void StageFile(const std::filesystem::path& previewFolder, const std::filesystem::path& file);
    void StageLinkedFiles(const std::filesystem::path& previewFolder, const std::filesystem::path& sourceFolder);
    // The document's sounds from sourceFolder; a warning for each sound refused.
    std::vector<std::string> StageSounds(const std::filesystem::path& previewFolder,
                                         const std::filesystem::path& sourceFolder);
    // Deletes the staged files; the folder stays.
    void ClearPreviewFolder(const std::filesystem::path& previewFolder);

    // --- Edits: each is one undo step, or nothing when it would change nothing ----------
    // A typing session: changes of the same value within one session merge into one
    // step. 0 never merges.
    bool SetLookValue(std::size_t field, const std::string& value, int session = 0);
    // Several look values as one step named text.
    bool SetLookValues(const std::vector<std::pair<std::size_t, std::string>>& values, const QString& text);
    // Text (a rename), Link or Target of an item.
    bool SetItemValue(int item, std::size_t field, const std::string& value, int session = 0);
    // Each edit below acts exactly where its Can... rule holds; the window enables the
    // edit's command by the same rule.
    //
    // A new item as the last child of a node at level 0 or 1, captioned "New item",
    // "New item 2", ...; returns it, or kNoNode below a sub item.
    bool CanInsertNewItem(int parentNode) const;
    int InsertNewItem(int parentNode);
    // A new item right after an item, at its level, captioned as above; kNoNode for
    // the root.
    bool CanInsertNewItemAfter(int node) const { return IsItem(node); }
    int InsertNewItemAfter(int node);
    // A node with its subtree. False for the root.
    bool CanDeleteNode(int node) const { return IsItem(node); }
    bool DeleteNode(int node, const QString& text);
    // Past the sibling before or after it.
    bool CanMoveNodeUp(int node) const;
    bool CanMoveNodeDown(int node) const;
    bool MoveNodeUp(int node);
    bool MoveNodeDown(int node);
    // Indent: a main item without sub items becomes the last sub item of the main item
    // before it. Outdent: a sub item becomes a main item after its parent.
    bool CanIndent(int node) const;
    bool CanOutdent(int node) const;
    bool Indent(int node);
    bool Outdent(int node);
    // A node with its subtree to stand before row `row` of newParent (rows as the tree
    // is now); the two-level rule holds. Returns the node's new id, or kNoNode.
    bool CanMoveNode(int node, int newParent, int row) const;
    int MoveNode(int node, int newParent, int row, const QString& text);
    // Items (a menu structure, first a main item) as rows from row.. of newParent: under
    // a main item they must all be without sub items and become its sub items. Returns
    // the first new node, or kNoNode.
    bool CanInsertItems(int parentNode, const TItemArray& items) const;
    int InsertItems(int parentNode, int row, TItemArray items, const QString& text);
    // Items placed after a node as its next siblings (after the last main item for the
    // root); a menu structure with sub items placed after a sub item goes after its
    // parent, since nothing goes below a sub item. Returns the first new node.
    int InsertItemsAfter(int node, TItemArray items, const QString& text);

    // A node of the menu other than the root: what copying, duplicating and renaming
    // act on.
    bool IsItem(int node) const { return node >= 0 && agent_.IsValidNode(node); }
    // A node's items with its subtree's, as the clipboard and Duplicate take them.
    TItemArray SubtreeItems(int node) const;
    // "New item", or "New item N" with the smallest N from 2 that no item has.
    std::string NewItemCaption() const;

signals:
    void LookValueChanged(std::size_t field);
    void ItemValueChanged(int item, std::size_t field);
    void Replaced();
    void Changed();
    void ModifiedChanged(bool modified);
    void FileNameChanged(const QString& fileName);
    // After a command: the node it concerns, and the look field for a look value (-1
    // otherwise). A structural command asks always; a value command when it is undone
    // or redone, since while typing the user looks at it already.
    void ShowRequested(int node, int lookField);

private:
    // IEditedDocument: what the steps announce.
    void StepBegins() override { ++changing_; }
    void StepEnds(int node, int lookField, bool show) override;
    void AnnounceLookValue(std::size_t field) override { emit LookValueChanged(field); }
    void AnnounceItemValue(int item, std::size_t field) override { emit ItemValueChanged(item, field); }

    void Push(QUndoCommand* command);
    // A new record to go under parentNode.
    TItemData NewItem(int parentNode) const;
    void AfterReplace();
    // Loads a whole document with load, then announces it.
    LoadReport Replace(const std::function<LoadReport()>& load);

    TkvxAppletAgent agent_;
    QUndoStack undoStack_;
    int changing_ = 0;
    bool replacing_ = false;
    QString fileName_;
    std::vector<std::string> previewCopiedFiles_;
};

}  // namespace qm
