#include "gui/TWindowLayoutKeeper.h"

#include <QDockWidget>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "env/Settings.h"

namespace qm {

namespace {

// Where the place and the layout are kept.
const QString kGroup = QStringLiteral("Window");
const QString kGeometry = QStringLiteral("Geometry");
const QString kState = QStringLiteral("State");

// The window manager's frame is not known before the window is shown: room for a
// title bar and borders.
constexpr QSize kAssumedFrame(16, 40);

QByteArray ReadKept(const QString& name) {
    try {
        return QByteArray::fromBase64(ReadKvxValue(kGroup, name).toString().toLatin1());
    } catch (const std::exception&) {
        return {};
    }
}

void WriteKept(const QString& name, const QByteArray& value) {
    try {
        WriteKvxValue(kGroup, name, QString::fromLatin1(value.toBase64()));
    } catch (const std::exception&) {
    }
}

}  // namespace

TWindowLayoutKeeper::TWindowLayoutKeeper(QMainWindow& window, QDockWidget& dock, std::function<int()> wantedWidth)
    : QObject(&window), window_(window), dock_(dock), wantedWidth_(std::move(wantedWidth)) {
    window_.installEventFilter(this);
    dock_.installEventFilter(this);
}

QRect TWindowLayoutKeeper::Fitted(QRect wanted, const QRect& available) {
    wanted.setSize(wanted.size().boundedTo(available.size()));
    wanted.moveLeft(std::clamp(wanted.left(), available.left(), available.right() - wanted.width() + 1));
    wanted.moveTop(std::clamp(wanted.top(), available.top(), available.bottom() - wanted.height() + 1));
    return wanted;
}

void TWindowLayoutKeeper::Forget() {
    for (const QString& name : {kGeometry, kState})
        if (!ReadKept(name).isEmpty()) WriteKept(name, {});
}

void TWindowLayoutKeeper::Restore(QSize firstSize) {
    restoring_ = true;
    // A kept place that the screen no longer holds is fitted to it by Qt itself.
    const QByteArray geometry = ReadKept(kGeometry);
    if (geometry.isEmpty() || !window_.restoreGeometry(geometry)) {
        // Centred on the screen, as far as it holds the size.
        window_.resize(firstSize);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect available = screen->availableGeometry();
            window_.move(available.center() - QPoint((firstSize.width() + kAssumedFrame.width()) / 2,
                                                     (firstSize.height() + kAssumedFrame.height()) / 2));
        }
        FitToScreen();
    }
    const QByteArray state = ReadKept(kState);
    layoutRestored_ = !state.isEmpty() && window_.restoreState(state);
    restoring_ = false;
}

void TWindowLayoutKeeper::FitToScreen() {
    if (window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    const QScreen* screen = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QSize frame = window_.isVisible() ? window_.frameGeometry().size() - window_.size() : kAssumedFrame;
    const QRect fitted = Fitted(QRect(window_.pos(), window_.size() + frame), screen->availableGeometry());
    window_.resize((fitted.size() - frame).expandedTo(window_.minimumSizeHint()));
    window_.move(fitted.topLeft());
}

void TWindowLayoutKeeper::Store() {
    WriteKept(kGeometry, window_.saveGeometry());
    WriteKept(kState, window_.saveState());
}

bool TWindowLayoutKeeper::DockBeside() const {
    if (!dock_.isVisible() || dock_.isFloating()) return false;
    const Qt::DockWidgetArea area = window_.dockWidgetArea(&dock_);
    return area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
}

void TWindowLayoutKeeper::FitDock() {
    dragEnded_ = false;
    if (restoring_ || !window_.isVisible()) return;
    // Once the window has laid the dock out: its width is known then.
    QTimer::singleShot(0, this, [this] {
        if (!DockBeside()) return;
        keptWidth_ = std::max(wantedWidth_(), dock_.minimumSizeHint().width());
        const int missing = keptWidth_ - dock_.width();
        const QScreen* screen = window_.screen();
        if (missing > 0 && screen && !(window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
            // The window grows by what the dock lacks, as far as the screen has room,
            // moving left where its right edge has none.
            const QSize frame = window_.frameGeometry().size() - window_.size();
            QRect outer(window_.pos(), window_.size() + frame);
            outer.setWidth(outer.width() + missing);
            const QRect fitted = Fitted(outer, screen->availableGeometry());
            window_.move(fitted.topLeft());
            window_.resize(fitted.size() - frame);
        }
        GiveDockItsWidth();
    });
}

void TWindowLayoutKeeper::GiveDockItsWidth() {
    if (!DockBeside() || keptWidth_ <= 0) return;
    const QWidget* central = window_.centralWidget();
    const int centralMinimum = central ? central->minimumSizeHint().expandedTo(central->minimumSize()).width() : 0;
    const int room = dock_.width() + (central ? central->width() : 0) - centralMinimum;
    const int target = std::min(keptWidth_, room);
    if (target > 0 && target != dock_.width()) window_.resizeDocks({&dock_}, {target}, Qt::Horizontal);
}

bool TWindowLayoutKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::Show:
            // A dock the kept layout showed keeps the width it was kept at; one opened by
            // a setting alone gets the width its contents want.
            QTimer::singleShot(0, this, [this] {
                if (!DockBeside() || keptWidth_ > 0) return;
                if (layoutRestored_)
                    keptWidth_ = dock_.width();
                else
                    FitDock();
            });
            break;
        case QEvent::Resize:
            dragEnded_ = false;
            if (!restoring_) QTimer::singleShot(0, this, [this] { GiveDockItsWidth(); });
            break;
        case QEvent::MouseButtonPress:
            dragEnded_ = false;
            break;
        case QEvent::MouseButtonRelease:
            // The window's own area between its parts is the docks' separators: a drag
            // of one ended. The window may lay its docks out anew a moment later; the
            // width the dock has then is the one it keeps.
            dragEnded_ = true;
            windowAtRelease_ = window_.size();
            if (DockBeside()) keptWidth_ = dock_.width();
            break;
        default:
            break;
        }
    } else if (watched == &dock_ && event->type() == QEvent::Resize && dragEnded_) {
        // The window lays its docks out before it hears of its own new size: a dock
        // resized with the window is no drag's.
        dragEnded_ = false;
        if (DockBeside() && window_.size() == windowAtRelease_) keptWidth_ = dock_.width();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qm
