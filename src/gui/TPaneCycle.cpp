#include "gui/TPaneCycle.h"

#include <QApplication>
#include <QWidget>

namespace qm {

TPaneCycle::TPaneCycle(QObject* parent) : QObject(parent) {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (const int pane = PaneOf(now); pane >= 0) panes_[static_cast<std::size_t>(pane)].last = now;
    });
}

void TPaneCycle::AddPane(QWidget* area, std::function<QWidget*()> entry) {
    panes_.push_back({area, std::move(entry), {}});
}

int TPaneCycle::PaneOf(const QWidget* widget) const {
    for (std::size_t i = 0; i < panes_.size(); ++i)
        if (widget && (widget == panes_[i].area || panes_[i].area->isAncestorOf(widget))) return static_cast<int>(i);
    return -1;
}

bool TPaneCycle::Takes(const QWidget* widget, const QWidget* area) {
    return widget && widget->isVisible() && widget->isEnabled() && widget->focusPolicy() != Qt::NoFocus &&
           (widget == area || area->isAncestorOf(widget));
}

QWidget* TPaneCycle::FirstTabStop(QWidget* area) {
    for (QWidget* w = area->nextInFocusChain(); w && w != area; w = w->nextInFocusChain())
        if (Takes(w, area) && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) return w;
    return nullptr;
}

void TPaneCycle::Move(int step) {
    const int count = static_cast<int>(panes_.size());
    if (count == 0) return;
    const int from = PaneOf(QApplication::focusWidget());
    int pane = from >= 0 ? from : (step > 0 ? -1 : count);
    for (int tried = 0; tried < count; ++tried) {
        pane = (pane + step + count) % count;
        TPane& candidate = panes_[static_cast<std::size_t>(pane)];
        if (!candidate.area->isVisible() || pane == from) continue;
        QWidget* target = Takes(candidate.last, candidate.area) ? candidate.last.data() : nullptr;
        if (!target && candidate.entry) target = candidate.entry();
        if (!target) target = FirstTabStop(candidate.area);
        if (!target) continue;
        target->setFocus(Qt::ShortcutFocusReason);
        return;
    }
}

}  // namespace qm
