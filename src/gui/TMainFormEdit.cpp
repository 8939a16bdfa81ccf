// The Edit and Item commands on the tree: Undo and Redo, the clipboard, Duplicate,
// Insert, Delete, the moves, Indent, Outdent and Rename, and their enabled state. Each
// is one undo step of the document; the handlers only choose the node and ask.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QToolButton>
#include <QTreeView>

#include "gui/MenuClipboard.h"
#include "gui/TMainForm.h"
#include "gui/TMenuTreeModel.h"
#include "gui/TPanelBinding.h"
#include "gui/TPropertyPages.h"

namespace qm {

namespace {

// "Are you sure you want to delete "Boats" and its 2 sub items?"
QString DeleteQuestion(const QString& caption, int subItems) {
    QString question = QStringLiteral("Are you sure you want to delete \"") + caption + QLatin1Char('"');
    if (subItems == 1) question += QStringLiteral(" and its sub item");
    if (subItems > 1) question += QStringLiteral(" and its %1 sub items").arg(subItems);
    return question + QLatin1Char('?');
}

}  // namespace

// --- Where a change is seen, and what may be done next ---------------------------------------

void TMainForm::ShowChange(int node, int lookField) {
    if (node != SelectedNode()) SelectNode(node);
    if (lookField < 0) return;
    QWidget* page = pgcntrl1->PageOf(pgcntrl1->LookControl(static_cast<std::size_t>(lookField)));
    if (page && pgcntrl1->currentWidget() != page) pgcntrl1->setCurrentWidget(page);
}

void TMainForm::UpdateSelectionCommandsEnabled(int node) {
    const int level = node == kNoNode ? -1 : Agent().NodeLevel(node);
    const bool canInsert = level == 0 || level == 1;
    const bool isItem = node >= 0;
    const bool canMoveUp = isItem && Agent().PreviousSibling(node) != kNoNode;
    const bool canMoveDown = isItem && Agent().NextSibling(node) != kNoNode;
    for (QAction* a : {Insert1, Insert2}) a->setEnabled(canInsert);
    for (QAction* a : {InsertBelow1, InsertBelow2}) a->setEnabled(isItem);
    tlbtnInsert->setEnabled(canInsert);
    for (QAction* a : {Delete1, Delete2}) a->setEnabled(isItem);
    tlbtnDelete->setEnabled(isItem);
    for (QAction* a : {MoveUp1, MoveUp2}) a->setEnabled(canMoveUp);
    tlbtnMoveUp->setEnabled(canMoveUp);
    for (QAction* a : {MoveDown1, MoveDown2}) a->setEnabled(canMoveDown);
    tlbtnMoveDown->setEnabled(canMoveDown);
}

void TMainForm::UpdateEditCommands() {
    const int node = SelectedNode();
    const bool isItem = node >= 0;
    for (QAction* a : {Cut1, Copy1, Duplicate1, Rename2}) a->setEnabled(isItem);
    Paste1->setEnabled(node != kNoNode && clipboardHoldsItems_);
    for (QAction* a : {Indent1, Indent2}) a->setEnabled(document_->CanIndent(node));
    for (QAction* a : {Outdent1, Outdent2}) a->setEnabled(document_->CanOutdent(node));
}

void TMainForm::ClipboardChanged() {
    // Asked once per change: asking the system's clipboard at every keystroke can wait
    // on another program.
    const QMimeData* offered = QApplication::clipboard()->mimeData();
    clipboardHoldsItems_ = offered && HoldsItems(*offered);
    UpdateEditCommands();
}

// --- Undo and Redo ------------------------------------------------------------------------------

void TMainForm::Undo1Click() {
    Guard([&] {
        // A number still being typed is part of the step being undone.
        StorePanels();
        document_->UndoStack().undo();
    });
}

void TMainForm::Redo1Click() {
    Guard([&] { document_->UndoStack().redo(); });
}

// --- The clipboard ------------------------------------------------------------------------------

bool TMainForm::CopySelection() {
    const int node = SelectedNode();
    if (node < 0) return false;
    auto* data = new QMimeData;
    PutItems(*data, document_->SubtreeItems(node));
    QApplication::clipboard()->setMimeData(data);
    return true;
}

void TMainForm::Cut1Click() {
    Guard([&] {
        if (CopySelection()) document_->DeleteNode(SelectedNode(), QStringLiteral("Cut"));
    });
}

void TMainForm::Copy1Click() {
    Guard([&] { CopySelection(); });
}

void TMainForm::Paste1Click() {
    Guard([&] {
        const QMimeData* offered = QApplication::clipboard()->mimeData();
        const int node = SelectedNode();
        if (!offered || node == kNoNode) return;
        QStringList removed;
        TItemArray items = ItemsOf(*offered, QString::fromStdString(Agent().Separator()), &removed);
        if (items.empty()) return;
        document_->InsertItemsAfter(node, std::move(items), QStringLiteral("Paste"));
        ShowRemovedText(removed);
    });
}

void TMainForm::ShowRemovedText(const QStringList& messages) {
    for (const QString& message : messages)
        dialogs_->MessageDlg(this, message, TMsgDlgType::Warning, QMessageBox::Yes);
}

void TMainForm::Duplicate1Click() {
    Guard([&] {
        const int node = SelectedNode();
        if (node >= 0) document_->InsertItemsAfter(node, document_->SubtreeItems(node), QStringLiteral("Duplicate"));
    });
}

// --- Items --------------------------------------------------------------------------------------

void TMainForm::Insert1Click() {
    Guard([&] {
        const int parent = SelectedNode();
        if (parent == kNoNode) return;
        EditNewItem(document_->InsertNewItem(parent));  // none below a sub item
    });
}

void TMainForm::InsertBelow1Click() {
    Guard([&] { EditNewItem(document_->InsertNewItemAfter(SelectedNode())); });
}

void TMainForm::EditNewItem(int node) {
    if (node == kNoNode) return;
    if (SelectedNode() != node) SelectNode(node);
    UpdateItemCommands();
    ArrangeTabs(true);
    const QModelIndex index = treeModel_->IndexOfNode(node);
    trvwDesignPanel->scrollTo(index);
    trvwDesignPanel->edit(index);
}

void TMainForm::Delete1Click() {
    Guard([&] {
        const int node = SelectedNode();
        if (node == kNoNode) return;
        if (node == kRootNode) {
            dialogs_->MessageDlg(this, QStringLiteral("Root item cannot be deleted."), TMsgDlgType::Error,
                                 QMessageBox::Ok);
            return;
        }
        const QString question =
            DeleteQuestion(QString::fromStdString(Agent().GetItemData(node).Text), Agent().CountDescendants(node));
        if (dialogs_->MessageDlg(this, question, TMsgDlgType::Warning, QMessageBox::Yes | QMessageBox::No) !=
            QMessageBox::Yes)
            return;
        document_->DeleteNode(node, QStringLiteral("Delete Item"));
        UpdateItemCommands();
    });
}

void TMainForm::MoveUp1Click() {
    Guard([&] {
        document_->MoveNodeUp(SelectedNode());
        UpdateItemCommands();
    });
}

void TMainForm::MoveDown1Click() {
    Guard([&] {
        document_->MoveNodeDown(SelectedNode());
        UpdateItemCommands();
    });
}

void TMainForm::Indent1Click() {
    Guard([&] {
        document_->Indent(SelectedNode());
        UpdateItemCommands();
    });
}

void TMainForm::Outdent1Click() {
    Guard([&] {
        document_->Outdent(SelectedNode());
        UpdateItemCommands();
    });
}

void TMainForm::Rename1Click() {
    const int node = SelectedNode();
    if (node >= 0) trvwDesignPanel->edit(treeModel_->IndexOfNode(node));
}

}  // namespace qm
