// Undo and Redo, and where a command's change is seen. The commands that edit the tree
// are TTreeCommands'.

#include <QUndoStack>

#include "gui/TMainForm.h"
#include "gui/TPropertyPages.h"

namespace qm {

void TMainForm::ShowChange(int node, int lookField) {
    if (node != SelectedNode()) SelectNode(node);
    if (lookField < 0) return;
    QWidget* page = pgcntrl1->PageOf(pgcntrl1->LookControl(static_cast<std::size_t>(lookField)));
    if (page && pgcntrl1->currentWidget() != page) pgcntrl1->setCurrentWidget(page);
}

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

}  // namespace qm
