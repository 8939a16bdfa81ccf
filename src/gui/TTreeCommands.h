#pragma once
// The commands that edit the menu tree: Insert, Insert Below, Delete, Move Up and Move
// Down, Indent, Outdent and Rename, and the clipboard's Cut, Copy, Paste and Duplicate.
//
// Each command is one action, which the window adds to its menus and toolbar; the tree's
// pop-up menu shows the same command through an entry of its own name that follows the
// action. An action is enabled by the rule of the document that the edit itself checks
// before it acts (TMenuDocument's Can... functions), so an enabled command acts and a
// disabled one would change nothing. Each command is one undo step of the document.

#include <QObject>
#include <QStringList>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QTreeView;
class QWidget;

namespace qm {

class IUserDialogs;
class TMenuDocument;
class TMenuTreeModel;

class TTreeCommands final : public QObject {
    Q_OBJECT
public:
    // window: the parent of the pop-up menu and of the messages.
    TTreeCommands(TMenuDocument& document, QTreeView& tree, TMenuTreeModel& model, IUserDialogs& dialogs,
                  QWidget* window);

    // The selected node of the tree, or kNoNode when none is selected.
    int SelectedNode() const;
    // Selects a node (which runs the selection change) and shows it.
    void SelectNode(int node);

    // The commands' actions, named as the Item and Edit menus name them; the tree's keys
    // act through them while the tree has the focus.
    QAction *Insert2, *InsertBelow2, *Delete2, *MoveUp2, *MoveDown2, *Indent2, *Outdent2, *Rename2;
    QAction *Cut1, *Copy1, *Paste1, *Duplicate1;
    QMenu* PopupMenu1;

    // A command's action with the rule that enables it for a selected node.
    struct Command {
        QAction* action;
        std::function<bool(int node)> canAct;
    };
    const std::vector<Command>& Commands() const { return commands_; }
    // Every action enabled as its rule says for the selected node.
    void UpdateEnabled();

public slots:
    void Insert1Click();
    void InsertBelow1Click();
    void Delete1Click();
    void MoveUp1Click();
    void MoveDown1Click();
    void Indent1Click();
    void Outdent1Click();
    void Rename1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Duplicate1Click();

signals:
    // After an edit the pages follow the selection; force shows the first page of its
    // group even when the group was shown already (a new item).
    void PagesToArrange(bool force);

private:
    void BuildActions();
    void BuildPopupMenu();
    void ClipboardChanged();
    bool CanPaste(int node) const;
    // The selected node's items on the clipboard.
    bool CopySelection();
    // A refused paste says what the text check removed.
    void ShowRemovedText(const QStringList& messages);
    // A new item selected, with its caption open: typing names it at once.
    void EditNewItem(int node);
    // After a structural edit: the commands and the pages follow.
    void Edited();
    // One of the document's edits on the selected node, then Edited.
    void EditSelected(bool (TMenuDocument::*edit)(int));
    template <class Job>
    void Guard(Job&& job);

    TMenuDocument& document_;
    QTreeView& tree_;
    TMenuTreeModel& model_;
    IUserDialogs& dialogs_;
    QWidget* window_;
    std::vector<Command> commands_;
    bool clipboardHoldsItems_ = false;
};

}  // namespace qm
