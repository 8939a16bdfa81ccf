#pragma once
// The document's undo steps. Each writes the agent at once, when it is done and when
// it is undone, and tells the views through the document. A step keeps only what it
// changes: a value step the one value that is not in the document, a move where the
// node went, an insert or a delete the items that are not in the document at the time:
// a step on a 100,000-item menu costs no copy of the menu.
//
// Item and node ids in a step are those of the document as it stands when the step is
// done or undone: the stack replays steps in order, so they always fit.

#include <QUndoCommand>
#include <string>

#include "model/MenuRecords.h"
#include "model/TkvxAppletAgent.h"

namespace qm {

// The document as its steps see it (TMenuDocument): the agent they write, and where
// they announce what they changed.
class IEditedDocument {
public:
    virtual ~IEditedDocument() = default;
    virtual TkvxAppletAgent& Agent() = 0;
    // Around every step done or undone: the views' own reactions in between (a selection
    // that follows a removed row) are no edits of the user's.
    virtual void StepBegins() = 0;
    // node: where the step's change is seen; lookField: the look value it changed, or -1.
    // show: whether to show it (see TDocumentCommand).
    virtual void StepEnds(int node, int lookField, bool show) = 0;
    virtual void AnnounceLookValue(std::size_t field) = 0;
    virtual void AnnounceItemValue(int item, std::size_t field) = 0;
};

// The merge ids, in one place: only steps with the same id may merge.
enum TMergeId : int { kValueMergeId = 1 };

// What every step shares: it runs inside the document's changing state, announces the
// change, and says where it is seen (ShowRequested).
class TDocumentCommand : public QUndoCommand {
public:
    void redo() final;
    void undo() final;

protected:
    // showWhenPushed: a structural step shows its node at once; a value step only when
    // it is undone or redone.
    TDocumentCommand(IEditedDocument& document, const QString& text, bool showWhenPushed,
                     QUndoCommand* parent = nullptr);
    // forward: done (redo) rather than undone. Returns the node to show.
    virtual int Apply(bool forward) = 0;
    // The look field to show with the node, -1 for none.
    virtual int LookField() const { return -1; }

    IEditedDocument& Document() { return document_; }
    TkvxAppletAgent& Agent() { return document_.Agent(); }

private:
    void Run(bool forward);

    IEditedDocument& document_;
    bool showWhenPushed_;
    bool pushed_ = false;
};

// Where a value stands: field `field` of the look (item kRootNode) or of item `item`.
struct TValuePlace {
    int item = kRootNode;
    std::size_t field = 0;
    bool IsLook() const { return item == kRootNode; }
    bool operator==(const TValuePlace&) const = default;
};

// One value, of the look or of an item record (Text, Link, Target). The step holds the
// one value that is not in the document: the new one before it is done, the old one
// after; doing and undoing are both one exchange of it with the document's. Typing
// merges: a later step at the same place in the same typing session (0 never merges)
// is taken in, and the step goes away when the value is back where it started.
class TChangeValue final : public TDocumentCommand {
public:
    TChangeValue(IEditedDocument& document, TValuePlace place, std::string value, int session,
                 QUndoCommand* parent = nullptr);
    int id() const override { return kValueMergeId; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    int Apply(bool forward) override;
    int LookField() const override { return place_.IsLook() ? static_cast<int>(place_.field) : -1; }
    // The value the document holds at the step's place now.
    std::string_view Current();

    TValuePlace place_;
    std::string value_;
    int session_;
};

// Rows of a parent with their subtrees, inserted (Insert, Paste, Duplicate, a drop
// from elsewhere) or removed (Delete, Cut). The items are held only while they are out
// of the document.
class TAddRemoveItems final : public TDocumentCommand {
public:
    // Inserts items as rows row.. of parentNode.
    static TAddRemoveItems* Insertion(IEditedDocument& document, int parentNode, int row, TItemArray items,
                                      const QString& text);
    // Removes rows firstRow..lastRow of parentNode.
    static TAddRemoveItems* Removal(IEditedDocument& document, int parentNode, int firstRow, int lastRow,
                                    const QString& text);

private:
    TAddRemoveItems(IEditedDocument& document, bool inserts, int parentNode, int row, int rows, TItemArray items,
                    const QString& text);
    int Apply(bool forward) override;

    bool inserts_;
    int parent_;
    int row_;
    int rows_;
    TItemArray items_;  // out of the document: before an insert, after a removal
};

// Move Up and Move Down: a node with its subtree past its neighbouring sibling's. The
// undo is the opposite move.
class TMoveNodeBySibling final : public TDocumentCommand {
public:
    TMoveNodeBySibling(IEditedDocument& document, int node, bool up);

private:
    int Apply(bool forward) override;

    int node_;     // before the move
    int moved_ = kNoMove;  // after it
    bool up_;
    static constexpr int kNoMove = -3;
};

// A node with its subtree to another place, perhaps another level (a drop, Indent,
// Outdent). The undo is the move back, with the level text it had.
class TMoveNodeTo final : public TDocumentCommand {
public:
    TMoveNodeTo(IEditedDocument& document, int node, int before, int level, const QString& text);
    // Where the node stands after the move.
    int MovedTo() const { return moved_; }

private:
    int Apply(bool forward) override;

    int node_, before_, level_;
    // Filled when done: where it went and how to go back.
    int moved_ = 0, back_ = 0, oldLevel_ = 0;
    std::string oldLevelText_;
};

}  // namespace qm
