#include "gui/TStatusBar.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace qm {

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(true);
    stctxtHint = new QLabel(this);
    stctxtHint->setObjectName(QStringLiteral("stctxtHint"));
    // The text's room shrinks with a small window; its width is no floor of the window's.
    stctxtHint->setMinimumWidth(80);
    prgrsbrMainFormBottom = new QProgressBar(this);
    prgrsbrMainFormBottom->setObjectName(QStringLiteral("prgrsbrMainFormBottom"));
    prgrsbrMainFormBottom->setTextVisible(false);
    prgrsbrMainFormBottom->setFixedWidth(200);
    prgrsbrMainFormBottom->setMaximumHeight(14);
    prgrsbrMainFormBottom->setRange(0, 100);
    prgrsbrMainFormBottom->setValue(0);
    addWidget(stctxtHint, 1);
    addPermanentWidget(prgrsbrMainFormBottom);
    // Shown only while an operation runs (ShowProgressWhenDue).
    prgrsbrMainFormBottom->hide();
}

TStatusBar::~TStatusBar() {
    if (busy_) QApplication::restoreOverrideCursor();
}

QString TStatusBar::Note() const {
    return stctxtHint->text();
}

void TStatusBar::ShowNote(const QString& note) {
    statusText_ = note;
    stctxtHint->setText(note);
}

void TStatusBar::SetShown(bool shown) {
    shown_ = shown;
    stctxtHint->setVisible(shown);
    prgrsbrMainFormBottom->setVisible(shown && progressShown_);
    setVisible(shown);
}

void TStatusBar::SetStatusText(std::string_view text) {
    statusText_ = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    // During an operation the text shows with the operation (ShowProgressWhenDue).
    if (busy_ && !progressShown_) return;
    if (stctxtHint->text() != statusText_) stctxtHint->setText(statusText_);
    if (busy_) ShowProgressWhenDue();
}

// A long operation keeps the event loop away, so its text and bar are painted at once,
// but at most every few dozen milliseconds: painting each of thousands of steps would
// cost more than the operation itself. An operation is shown only once it has run that
// long: the text and the bar of one that ends sooner would never be painted, and
// putting them up and down again would only lay out and paint the status bar twice
// (a third of opening a file into the window).
void TStatusBar::ShowProgressWhenDue() {
    constexpr qint64 kPaintInterval = 40;  // milliseconds
    const qint64 now = progressNow_();
    if (!progressPaintedAt_ || now - *progressPaintedAt_ < kPaintInterval) return;
    progressPaintedAt_ = now;
    if (!progressShown_) {
        progressShown_ = true;
        stctxtHint->setText(statusText_);
        prgrsbrMainFormBottom->setVisible(shown_);
    }
    for (QWidget* part : {static_cast<QWidget*>(stctxtHint), static_cast<QWidget*>(prgrsbrMainFormBottom)})
        if (part->isVisible()) part->repaint();
}

void TStatusBar::SetProgressMaximum(int maximum) {
    prgrsbrMainFormBottom->setMaximum(std::max(maximum, 1));
}

void TStatusBar::AdvanceProgress(int step) {
    SetProgressPosition(prgrsbrMainFormBottom->value() + step);
}

void TStatusBar::SetProgressPosition(int position) {
    // The bar paints itself at once on every visible change; the paint is left to
    // ShowProgressWhenDue instead.
    prgrsbrMainFormBottom->setUpdatesEnabled(false);
    prgrsbrMainFormBottom->setValue(std::clamp(position, 0, prgrsbrMainFormBottom->maximum()));
    prgrsbrMainFormBottom->setUpdatesEnabled(true);
    if (busy_) ShowProgressWhenDue();
}

void TStatusBar::SetBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
        progressPaintedAt_ = progressNow_();  // each operation starts its own count
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    progressPaintedAt_.reset();
    if (progressShown_) {
        progressShown_ = false;
        prgrsbrMainFormBottom->hide();
    }
    // The text the operation left (its scope clears it), where it differs from the shown.
    if (stctxtHint->text() != statusText_) stctxtHint->setText(statusText_);
    QApplication::restoreOverrideCursor();
}

}  // namespace qm
