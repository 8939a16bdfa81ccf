#include "gui/TColorPanel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace qm {

TColorPanel::TColorPanel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TColorPanel::SetColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    if (rgb == color_) return;
    color_ = rgb;
    update();
    emit colorChanged(color_);
}

QSize TColorPanel::sizeHint() const {
    return {44, 22};
}

void TColorPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF swatch = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.setBrush(color_);
    painter.drawRoundedRect(swatch, 3, 3);
    // An inner light edge keeps dark and light swatches apart from the page.
    painter.setPen(QPen(QColor(255, 255, 255, 110), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(swatch.adjusted(1, 1, -1, -1), 2, 2);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
    }
}

void TColorPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
        return;
    }
    QFrame::mouseReleaseEvent(event);
}

void TColorPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QFrame::keyPressEvent(event);
}

}  // namespace qm
