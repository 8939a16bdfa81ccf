#include "gui/TMenuTreeView.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QFocusEvent>
#include <QKeyEvent>

#include "gui/FlagScope.h"

namespace qm {

TMenuTreeView::TMenuTreeView(QWidget* parent) : QTreeView(parent) {
    ShowFocus(false);
}

void TMenuTreeView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    ShowFocus(true);
}

void TMenuTreeView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    // A pop-up menu over the tree leaves the selection as it is.
    ShowFocus(event->reason() == Qt::PopupFocusReason);
}

void TMenuTreeView::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    // The theme changed: the muted colour follows it.
    if (event->type() == QEvent::PaletteChange && !settingPalette_ && !hasFocus()) ShowFocus(false);
}

void TMenuTreeView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() == Qt::ControlModifier &&
        (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right)) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void TMenuTreeView::dragMoveEvent(QDragMoveEvent* event) {
    setDropIndicatorShown(true);
    QTreeView::dragMoveEvent(event);
    if (event->isAccepted()) return;
    setDropIndicatorShown(false);
    viewport()->update();
}

void TMenuTreeView::ShowFocus(bool focused) {
    TFlagScope setting(settingPalette_);
    if (focused) {
        setPalette(QPalette());
        return;
    }
    QPalette muted = parentWidget() ? parentWidget()->palette() : QApplication::palette();
    const QColor highlight = muted.color(QPalette::Active, QPalette::Highlight);
    const QColor base = muted.color(QPalette::Active, QPalette::Base);
    const QColor mixed = QColor::fromRgbF(0.45f * highlight.redF() + 0.55f * base.redF(),
                                          0.45f * highlight.greenF() + 0.55f * base.greenF(),
                                          0.45f * highlight.blueF() + 0.55f * base.blueF());
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        muted.setColor(group, QPalette::Highlight, mixed);
        muted.setColor(group, QPalette::HighlightedText, muted.color(QPalette::Active, QPalette::Text));
    }
    setPalette(muted);
}

}  // namespace qm
