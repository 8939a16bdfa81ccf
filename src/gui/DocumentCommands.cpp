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

namespace {

QString ValueStepName(const TValuePlace& place) {
    if (place.IsLook()) return QStringLiteral("Change ") + TitleCase(LookFieldAt(place.field).name);
    return ItemValueStepName(place.field);
}

}  // namespace

TChangeValue::TChangeValue(IEditedDocument& document, TValuePlace place, std::string value, int session,
                           QUndoCommand* parent)
    : TDocumentCommand(document, ValueStepName(place), false, parent),
      place_(place),
      value_(std::move(value)),
      session_(session) {}

std::string_view TChangeValue::Current() {
    if (place_.IsLook()) return Agent().AppletData().Field(place_.field);
    return Agent().GetItemField(place_.item, static_cast<ItemField>(place_.field));
}

bool TChangeValue::mergeWith(const QUndoCommand* other) {
    const auto* later = static_cast<const TChangeValue*>(other);
    if (session_ == 0 || later->session_ != session_ || later->place_ != place_) return false;
    // The later step is done already: this one keeps the value from before both.
    setObsolete(Current() == value_);
    return true;
}

int TChangeValue::Apply(bool /*forward*/) {
    std::string held(Current());
    if (place_.IsLook()) {
        Agent().SetAppletField(place_.field, value_);
        Document().AnnounceLookValue(place_.field);
    } else {
        Agent().SetItemField(place_.item, static_cast<ItemField>(place_.field), value_);  // a new Text renames the node
        Document().AnnounceItemValue(place_.item, place_.field);
    }
    value_ = std::move(held);
    return place_.IsLook() ? kRootNode : place_.item;
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
