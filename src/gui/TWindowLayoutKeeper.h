#pragma once
// The main window's place on the screen and the layout of its docks, kept from one
// start to the next, and the width of one dock whose contents want a width of their own
// (the live preview: its page at the width it shows).
//
// - The first start opens at the size asked for, as far as the screen's available area
//   holds it; a kept place that the screen no longer holds (another screen, another
//   scale factor) is fitted to it the same way.
// - The dock opens at the width its contents want, the window growing to the right (or
//   left) where the screen has room and the panels giving way where not. It keeps that
//   width, or the one the user drags it to: when the window grows, the dock takes the
//   room back first, up to that width.
// - Closing keeps the place and the layout (saveGeometry, saveState) while the window
//   is still shown, so a dock open at the end opens again.
// The settings only remember the layout: a store that cannot be read or written changes
// nothing else.

#include <QObject>
#include <QRect>
#include <QSize>
#include <functional>

class QDockWidget;
class QMainWindow;

namespace qm {

class TWindowLayoutKeeper final : public QObject {
    Q_OBJECT
public:
    // wantedWidth: the width the dock's contents want now.
    TWindowLayoutKeeper(QMainWindow& window, QDockWidget& dock, std::function<int()> wantedWidth);

    // Before the window is first shown: the kept place and layout, else firstSize,
    // either fitted to the screen.
    void Restore(QSize firstSize);
    // While the window closes, still shown.
    void Store();
    // The dock opened, or its contents want another width.
    void FitDock();
    // The width the dock keeps; 0 before it was first shown.
    int KeptDockWidth() const { return keptWidth_; }

    // A window's frame (outer) geometry fitted into the available area: at most its size,
    // its top left inside it (the menu bar never above the top edge).
    static QRect Fitted(QRect wanted, const QRect& available);
    // Forgets the kept place and layout: the next start fits the screen afresh.
    static void Forget();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool DockBeside() const;
    // The dock back at its kept width, as far as the window has room for it.
    void GiveDockItsWidth();
    void FitToScreen();

    QMainWindow& window_;
    QDockWidget& dock_;
    std::function<int()> wantedWidth_;
    int keptWidth_ = 0;
    bool dragEnded_ = false;  // a drag on the window's own area ended: the dock's next width is the user's
    QSize windowAtRelease_;
    bool restoring_ = false;
    bool layoutRestored_ = false;
};

}  // namespace qm
