#pragma once
// The menu's tree view. Where the two-level rule refuses a drop, no landing line is
// drawn: a plain view keeps drawing the last place that was allowed while the pointer
// shows the forbidden cursor.
//
// Its selection stays in view while the focus is elsewhere, in a muted colour: whether
// the tree has the focus tells whether Insert, Del and F2 will act on the selection.

#include <QTreeView>

namespace qm {

class TMenuTreeView final : public QTreeView {
public:
    explicit TMenuTreeView(QWidget* parent);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    // The move keys (Ctrl with an arrow) reach the view only when their command cannot
    // act on the selected item: the view would move the current row instead, and the
    // next press would move another item. They change nothing then.
    void keyPressEvent(QKeyEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;

private:
    // With the focus the tree takes the window's colours; without it the selection is
    // drawn in the highlight mixed half into the background, its text in the text
    // colour.
    void ShowFocus(bool focused);

    bool settingPalette_ = false;
};

}  // namespace qm
