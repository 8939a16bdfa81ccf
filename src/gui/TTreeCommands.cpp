#include "gui/TTreeCommands.h"
#include "gui/CommandActions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTreeView>
#include <optional>

#include "gui/CommandGuard.h"
#include "gui/IUserDialogs.h"
#include "gui/IconFactory.h"
#include "gui/MenuClipboard.h"
#include "gui/TMenuDocument.h"
#include "gui/TMenuTreeModel.h"

namespace qm {

namespace {

// The undo step of a deletion names what it took: "Delete Boats (3 sub items)".
QString DeleteStepText(const QString& caption, int subItems) {
    QString text = caption.isEmpty() ? QStringLiteral("Delete Item") : QStringLiteral("Delete ") + caption;
    if (subItems == 1) text += QStringLiteral(" (1 sub item)");
    if (subItems > 1) text += QStringLiteral(" (%1 sub items)").arg(subItems);
    return text;
}

}  // namespace

TTreeCommands::TTreeCommands(TMenuDocument& document, QTreeView& tree, TMenuTreeModel& model,
                             IUserDialogs& dialogs, QWidget* window)
    : QObject(window), document_(document), tree_(tree), model_(model), dialogs_(dialogs), window_(window) {
    BuildActions();
    BuildPopupMenu();
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TTreeCommands::ClipboardChanged);
    ClipboardChanged();
}

void TTreeCommands::BuildActions() {
    const auto make = [this](const char* caption, const char* name, std::optional<TIconKind> icon,
                             const QKeySequence& keys, std::function<bool(int)> canAct,
                             void (TTreeCommands::*job)()) {
        QAction* action = MakeCommandAction(this, QString::fromLatin1(caption), name, icon, keys);
        // The tree's keys act where the tree has the focus: in a text field the same keys
        // are the field's (Ctrl+C copies its text, Del deletes a character).
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        tree_.addAction(action);
        connect(action, &QAction::triggered, this, job);
        commands_.push_back({action, std::move(canAct)});
        return action;
    };
    const auto rule = [this](bool (TMenuDocument::*can)(int) const) {
        return std::function<bool(int)>([this, can](int node) { return (document_.*can)(node); });
    };
    using D = TMenuDocument;
    using T = TTreeCommands;
    Insert2 = make("I&nsert", "Insert2", TIconKind::Insert, QKeySequence(Qt::Key_Insert), rule(&D::CanInsertNewItem),
                   &T::Insert1Click);
    InsertBelow2 = make("Insert &Below", "InsertBelow2", TIconKind::Insert, QKeySequence(Qt::SHIFT | Qt::Key_Insert),
                        rule(&D::CanInsertNewItemAfter), &T::InsertBelow1Click);
    Delete2 = make("&Delete", "Delete2", TIconKind::Delete, QKeySequence(Qt::Key_Delete), rule(&D::CanDeleteNode),
                   &T::Delete1Click);
    MoveUp2 = make("Move &Up", "MoveUp2", TIconKind::MoveUp, QKeySequence(Qt::CTRL | Qt::Key_Up),
                   rule(&D::CanMoveNodeUp), &T::MoveUp1Click);
    MoveDown2 = make("Move Do&wn", "MoveDown2", TIconKind::MoveDown, QKeySequence(Qt::CTRL | Qt::Key_Down),
                     rule(&D::CanMoveNodeDown), &T::MoveDown1Click);
    Indent2 = make("&Indent", "Indent2", TIconKind::Indent, QKeySequence(Qt::CTRL | Qt::Key_Right),
                   rule(&D::CanIndent), &T::Indent1Click);
    Outdent2 = make("&Outdent", "Outdent2", TIconKind::Outdent, QKeySequence(Qt::CTRL | Qt::Key_Left),
                    rule(&D::CanOutdent), &T::Outdent1Click);
    Rename2 = make("&Rename", "Rename2", {}, QKeySequence(Qt::Key_F2), rule(&D::IsItem), &T::Rename1Click);
    Cut1 = make("Cu&t", "Cut1", TIconKind::Cut, QKeySequence(Qt::CTRL | Qt::Key_X), rule(&D::CanDeleteNode),
                &T::Cut1Click);
    Copy1 = make("&Copy", "Copy1", TIconKind::Copy, QKeySequence(Qt::CTRL | Qt::Key_C), rule(&D::IsItem),
                 &T::Copy1Click);
    Paste1 = make("&Paste", "Paste1", TIconKind::Paste, QKeySequence(Qt::CTRL | Qt::Key_V),
                  [this](int node) { return CanPaste(node); }, &T::Paste1Click);
    Duplicate1 = make("Dup&licate", "Duplicate1", TIconKind::Duplicate, QKeySequence(Qt::CTRL | Qt::Key_D),
                      rule(&D::IsItem), &T::Duplicate1Click);

    // The toolbar shows these by their tooltips.
    Insert2->setToolTip(QStringLiteral("Insert a new item"));
    Delete2->setToolTip(QStringLiteral("Delete selected item"));
    MoveUp2->setToolTip(QStringLiteral("Move the selected item up"));
    MoveDown2->setToolTip(QStringLiteral("Move the selected item down"));
    for (QAction* a : {Insert2, Delete2, MoveUp2, MoveDown2}) a->setStatusTip(a->toolTip());
    Cut1->setToolTip(QStringLiteral("Cut the selected item to the clipboard"));
    Copy1->setToolTip(QStringLiteral("Copy the selected item to the clipboard"));
    Paste1->setToolTip(QStringLiteral("Paste items after the selected item"));
    Duplicate1->setToolTip(QStringLiteral("Duplicate the selected item"));
}

// The pop-up's entries for the Item commands carry names of their own; each follows its
// command's action and triggers it. Its keys act while the pop-up is open.
void TTreeCommands::BuildPopupMenu() {
    PopupMenu1 = new QMenu(window_);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto entry = [this](QAction* command, const char* name) {
        auto* shown = new QAction(command->icon(), command->text(), PopupMenu1);
        shown->setObjectName(QString::fromLatin1(name));
        shown->setShortcut(command->shortcut());
        shown->setShortcutContext(Qt::WidgetShortcut);
        shown->setEnabled(command->isEnabled());
        connect(command, &QAction::enabledChanged, shown, &QAction::setEnabled);
        connect(shown, &QAction::triggered, command, &QAction::trigger);
        PopupMenu1->addAction(shown);
    };
    entry(Insert2, "Insert1");
    entry(InsertBelow2, "InsertBelow1");
    entry(Delete2, "Delete1");
    entry(MoveUp2, "MoveUp1");
    entry(MoveDown2, "MoveDown1");
    PopupMenu1->addSeparator();
    entry(Indent2, "Indent1");
    entry(Outdent2, "Outdent1");
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({Cut1, Copy1, Paste1, Duplicate1});
}

int TTreeCommands::SelectedNode() const {
    return model_.NodeOfIndex(tree_.currentIndex());
}

void TTreeCommands::SelectNode(int node) {
    const QModelIndex index = model_.IndexOfNode(node);
    if (!index.isValid()) return;
    tree_.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    tree_.scrollTo(index);
}

void TTreeCommands::UpdateEnabled() {
    const int node = SelectedNode();
    for (const Command& command : commands_) command.action->setEnabled(command.canAct(node));
}

bool TTreeCommands::CanPaste(int node) const {
    return node != kNoNode && clipboardHoldsItems_;
}

void TTreeCommands::ClipboardChanged() {
    // Asked once per change: asking the system's clipboard at every keystroke can wait
    // on another program.
    const QMimeData* offered = QApplication::clipboard()->mimeData();
    clipboardHoldsItems_ = offered && HoldsItems(*offered);
    Paste1->setEnabled(CanPaste(SelectedNode()));
}

template <class Job>
void TTreeCommands::Guard(Job&& job) {
    RunGuarded(dialogs_, window_, std::forward<Job>(job));
}

void TTreeCommands::Edited() {
    UpdateEnabled();
    emit PagesToArrange(false);
}

// --- Items --------------------------------------------------------------------------------------

void TTreeCommands::Insert1Click() {
    Guard([&] { EditNewItem(document_.InsertNewItem(SelectedNode())); });
}

void TTreeCommands::InsertBelow1Click() {
    Guard([&] { EditNewItem(document_.InsertNewItemAfter(SelectedNode())); });
}

void TTreeCommands::EditNewItem(int node) {
    if (node == kNoNode) return;
    if (SelectedNode() != node) SelectNode(node);
    UpdateEnabled();
    emit PagesToArrange(true);
    const QModelIndex index = model_.IndexOfNode(node);
    tree_.scrollTo(index);
    tree_.edit(index);
}

void TTreeCommands::Delete1Click() {
    Guard([&] {
        const int node = SelectedNode();
        if (node == kNoNode) return;
        if (node == kRootNode) {
            dialogs_.MessageDlg(window_, QStringLiteral("Root item cannot be deleted."), TMsgDlgType::Error,
                                QMessageBox::Ok);
            return;
        }
        // No question: Undo brings the items back, and the step says what it took.
        const TkvxAppletAgent& agent = document_.Agent();
        document_.DeleteNode(node, DeleteStepText(QString::fromStdString(agent.GetItemData(node).Text),
                                                  agent.CountDescendants(node)));
        Edited();
    });
}

void TTreeCommands::EditSelected(bool (TMenuDocument::*edit)(int)) {
    Guard([&] {
        (document_.*edit)(SelectedNode());
        Edited();
    });
}

void TTreeCommands::MoveUp1Click() {
    EditSelected(&TMenuDocument::MoveNodeUp);
}

void TTreeCommands::MoveDown1Click() {
    EditSelected(&TMenuDocument::MoveNodeDown);
}

void TTreeCommands::Indent1Click() {
    EditSelected(&TMenuDocument::Indent);
}

void TTreeCommands::Outdent1Click() {
    EditSelected(&TMenuDocument::Outdent);
}

void TTreeCommands::Rename1Click() {
    const int node = SelectedNode();
    if (document_.IsItem(node)) tree_.edit(model_.IndexOfNode(node));
}

// --- The clipboard ------------------------------------------------------------------------------

bool TTreeCommands::CopySelection() {
    const int node = SelectedNode();
    if (!document_.IsItem(node)) return false;
    auto* data = new QMimeData;
    PutItems(*data, document_.SubtreeItems(node));
    QApplication::clipboard()->setMimeData(data);
    return true;
}

void TTreeCommands::Cut1Click() {
    Guard([&] {
        if (CopySelection()) document_.DeleteNode(SelectedNode(), QStringLiteral("Cut"));
    });
}

void TTreeCommands::Copy1Click() {
    Guard([&] { CopySelection(); });
}

void TTreeCommands::Paste1Click() {
    Guard([&] {
        const QMimeData* offered = QApplication::clipboard()->mimeData();
        const int node = SelectedNode();
        if (!offered || node == kNoNode) return;
        QStringList removed;
        TItemArray items =
            ItemsOf(*offered, QString::fromStdString(document_.Agent().Separator()), &removed);
        if (items.empty()) return;
        document_.InsertItemsAfter(node, std::move(items), QStringLiteral("Paste"));
        ShowRemovedText(removed);
    });
}

void TTreeCommands::ShowRemovedText(const QStringList& messages) {
    for (const QString& message : messages)
        dialogs_.MessageDlg(window_, message, TMsgDlgType::Warning, QMessageBox::Yes);
}

void TTreeCommands::Duplicate1Click() {
    Guard([&] {
        const int node = SelectedNode();
        if (document_.IsItem(node))
            document_.InsertItemsAfter(node, document_.SubtreeItems(node), QStringLiteral("Duplicate"));
    });
}

}  // namespace qm
