#include "gui/DocumentCommands.h"

#include "model/LookValues.h"
#include "model/TkvxAppletAgent.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

// "main item height" -> "Main Item Height": the names of the look fields as a step's
// name ("Undo Change Main Item Height").
QString TitleCase(std::string_view name) {
    QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (qsizetype i = 0; i < text.size(); ++i)
        if (i == 0 || text[i - 1] == QLatin1Char(' ')) text[i] = text[i].toUpper();
    return text;
}

QString ItemValueStepName(std::size_t field) {
    switch (field) {
    case 0: return QStringLiteral("Rename Item");
    case 2: return QStringLiteral("Change Link");
    case 3: return QStringLiteral("Change Target");
    default: return QStringLiteral("Change Item");
    }
}

// The node that takes the place of removed rows: the row now there, else the one
// before, else the parent.
int NodeInPlaceOf(const TkvxAppletAgent& agent, int parentNode, int row) {
    if (row < agent.ChildCount(parentNode)) return agent.ChildNode(parentNode, row);
    if (row > 0) return agent.ChildNode(parentNode, row - 1);
    return parentNode;
}

}  // namespace

// --- TDocumentCommand ---------------------------------------------------------------------

TDocumentCommand::TDocumentCommand(IEditedDocument& document, const QString& text, bool showWhenPushed,
                                   QUndoCommand* parent)
    : QUndoCommand(text, parent), document_(document), showWhenPushed_(showWhenPushed) {}

void TDocumentCommand::redo() {
    Run(true);
}

void TDocumentCommand::undo() {
    Run(false);
}

void TDocumentCommand::Run(bool forward) {
    const bool show = pushed_ || showWhenPushed_;
    pushed_ = true;
    document_.StepBegins();
    int node = kNoNode;
    try {
        node = Apply(forward);
    } catch (...) {
        document_.StepEnds(kNoNode, -1, false);
        throw;
    }
    document_.StepEnds(node, LookField(), show);
}

// --- Values --------------------------------------------------------------------------------

TChangeLookValue::TChangeLookValue(IEditedDocument& document, std::size_t field, std::string before, std::string after,
                                   int session, QUndoCommand* parent)
    : TDocumentCommand(document, QStringLiteral("Change ") + TitleCase(LookFieldAt(field).name), false, parent),
      field_(field),
      before_(std::move(before)),
      after_(std::move(after)),
      session_(session) {}

bool TChangeLookValue::mergeWith(const QUndoCommand* other) {
    const auto* later = static_cast<const TChangeLookValue*>(other);
    if (session_ == 0 || later->session_ != session_ || later->field_ != field_) return false;
    after_ = later->after_;
    setObsolete(after_ == before_);
    return true;
}

int TChangeLookValue::Apply(bool forward) {
    TAppletData look = Agent().GetAppletData();
    look.Field(field_) = forward ? after_ : before_;
    Agent().SetAppletData(look);
    Document().AnnounceLookValue(field_);
    return kRootNode;
}

TChangeItemValue::TChangeItemValue(IEditedDocument& document, int item, std::size_t field, std::string before,
                                   std::string after, int session)
    : TDocumentCommand(document, ItemValueStepName(field), false),
      item_(item),
      field_(field),
      before_(std::move(before)),
      after_(std::move(after)),
      session_(session) {}

bool TChangeItemValue::mergeWith(const QUndoCommand* other) {
    const auto* later = static_cast<const TChangeItemValue*>(other);
    if (session_ == 0 || later->session_ != session_ || later->item_ != item_ || later->field_ != field_)
        return false;
    after_ = later->after_;
    setObsolete(after_ == before_);
    return true;
}

int TChangeItemValue::Apply(bool forward) {
    TItemData item = Agent().GetItemData(item_);
    item.Field(field_) = forward ? after_ : before_;
    Agent().SetItemData(item, item_);  // a new Text renames the node in the tree
    Document().AnnounceItemValue(item_, field_);
    return item_;
}

// --- Structure -----------------------------------------------------------------------------

TAddRemoveItems* TAddRemoveItems::Insertion(IEditedDocument& document, int parentNode, int row, TItemArray items,
                                            const QString& text) {
    int rows = static_cast<int>(items.size());
    if (parentNode == kRootNode) {
        rows = 0;
        for (const auto& item : items) rows += ParseWholeNumber(item.Level).value_or(0) < 1 ? 1 : 0;
    }
    return new TAddRemoveItems(document, true, parentNode, row, rows, std::move(items), text);
}

TAddRemoveItems* TAddRemoveItems::Removal(IEditedDocument& document, int parentNode, int firstRow, int lastRow,
                                          const QString& text) {
    return new TAddRemoveItems(document, false, parentNode, firstRow, lastRow - firstRow + 1, {}, text);
}

TAddRemoveItems::TAddRemoveItems(IEditedDocument& document, bool inserts, int parentNode, int row, int rows,
                                 TItemArray items, const QString& text)
    : TDocumentCommand(document, text, true),
      inserts_(inserts),
      parent_(parentNode),
      row_(row),
      rows_(rows),
      items_(std::move(items)) {}

int TAddRemoveItems::Apply(bool forward) {
    if (forward == inserts_) {
        const int first = Agent().InsertNodes(parent_, row_, std::move(items_));
        items_.clear();
        return first;
    }
    items_ = Agent().RemoveNodes(parent_, row_, row_ + rows_ - 1);
    return NodeInPlaceOf(Agent(), parent_, row_);
}

TMoveNodeBySibling::TMoveNodeBySibling(IEditedDocument& document, int node, bool up)
    : TDocumentCommand(document, up ? QStringLiteral("Move Up") : QStringLiteral("Move Down"), true),
      node_(node),
      up_(up) {}

int TMoveNodeBySibling::Apply(bool forward) {
    auto& agent = Agent();
    const int node = forward ? node_ : moved_;
    // Undone, a move up is a move down of the node where it went, and the other way.
    if (forward == up_) {
        const int previous = agent.PreviousSibling(node);
        agent.MoveNodeUp(node);
        if (forward) moved_ = previous;
        return previous;
    }
    const int next = agent.NextSibling(node);
    const int landing = node + agent.SubtreeSize(next);
    agent.MoveNodeDown(node);
    if (forward) moved_ = landing;
    return landing;
}

TMoveNodeTo::TMoveNodeTo(IEditedDocument& document, int node, int before, int level, const QString& text)
    : TDocumentCommand(document, text, true), node_(node), before_(before), level_(level) {}

int TMoveNodeTo::Apply(bool forward) {
    auto& agent = Agent();
    if (!forward) {
        agent.MoveNode(moved_, back_, oldLevel_, oldLevelText_);
        return node_;
    }
    oldLevel_ = agent.NodeLevel(node_) - 1;
    oldLevelText_ = agent.GetItemData(node_).Level;
    const int size = agent.SubtreeSize(node_);
    moved_ = agent.MoveNode(node_, before_, level_);
    // Back to where it stood: before what followed it, which has moved up by the
    // subtree's size when the node went up.
    back_ = moved_ < node_ ? node_ + size : node_;
    return moved_;
}

}  // namespace qm
