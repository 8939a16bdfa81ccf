#pragma once
// The program's icons, drawn rather than shipped: toolbar and menu commands, the two
// tree node images, the small chooser and help buttons, and the window icon. Each is
// drawn on a 32-pixel grid and rendered at the sizes Qt asks for, so it stays sharp.

#include <QIcon>

namespace qm {

enum class TIconKind {
    New,
    Open,
    Save,
    Insert,
    Delete,
    MoveUp,
    MoveDown,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    Duplicate,
    Indent,
    Outdent,
    Preview,
    Help,
    TreeItem,   // image 0 of the tree
    TreeRoot,   // image 1 of the tree
    Browse,     // the "..." chooser buttons
    HelpBook,   // the small context help buttons
    Application,
};

// The icon of a kind; every call gives the same icon, drawn once at each size and state.
QIcon MakeIcon(TIconKind kind);

}  // namespace qm
