#pragma once
// F6 and Shift+F6 take the focus round the window's panes (the menu tree, the property
// pages, the live preview while it is open), as a desktop's programs move between
// their panes. A pane takes the focus back where it last had it, or at its entry (the
// first field of the page shown).

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QWidget;

namespace qm {

class TPaneCycle final : public QObject {
    Q_OBJECT
public:
    explicit TPaneCycle(QObject* parent = nullptr);

    // area: the pane, which counts while it is visible; entry: the widget that takes
    // the focus when the pane never had it (or that one is gone), nullptr for none.
    void AddPane(QWidget* area, std::function<QWidget*()> entry);
    // The focus to the next visible pane after the one that holds it (step 1) or the
    // one before (step -1); from outside every pane, to the first (the last).
    void Move(int step);
    // The pane holding widget, or -1.
    int PaneOf(const QWidget* widget) const;

    // The first widget below area that Tab would reach, in the focus chain's order;
    // nullptr when none.
    static QWidget* FirstTabStop(QWidget* area);

private:
    struct TPane {
        QWidget* area;
        std::function<QWidget*()> entry;
        QPointer<QWidget> last;  // where the focus last was in the pane
    };
    static bool Takes(const QWidget* widget, const QWidget* area);

    std::vector<TPane> panes_;
};

}  // namespace qm
