#include "gui/IconFactory.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace qm {

namespace {

const QColor kInk(52, 64, 84);
const QColor kPaper(252, 252, 250);
const QColor kBlue(46, 117, 204);
const QColor kGreen(46, 160, 90);
const QColor kRed(214, 64, 58);
const QColor kAmber(236, 170, 56);

// A shape filled with colour and outlined a shade darker, with round corners.
void FillOutlined(QPainter& p, const QPainterPath& shape, const QColor& colour, qreal outline) {
    p.setPen(QPen(colour.darker(130), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(shape);
}

void Page(QPainter& p, const QColor& fill = kPaper) {
    QPainterPath page;
    page.moveTo(7, 3);
    page.lineTo(20, 3);
    page.lineTo(26, 9);
    page.lineTo(26, 29);
    page.lineTo(7, 29);
    page.closeSubpath();
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(page);
    p.setBrush(Qt::NoBrush);
    QPainterPath fold;
    fold.moveTo(20, 3);
    fold.lineTo(20, 9);
    fold.lineTo(26, 9);
    p.drawPath(fold);
}

void Arrow(QPainter& p, bool up, const QColor& colour) {
    QPainterPath arrow;
    if (up) {
        arrow.moveTo(16, 4);
        arrow.lineTo(27, 16);
        arrow.lineTo(20, 16);
        arrow.lineTo(20, 28);
        arrow.lineTo(12, 28);
        arrow.lineTo(12, 16);
        arrow.lineTo(5, 16);
    } else {
        arrow.moveTo(16, 28);
        arrow.lineTo(27, 16);
        arrow.lineTo(20, 16);
        arrow.lineTo(20, 4);
        arrow.lineTo(12, 4);
        arrow.lineTo(12, 16);
        arrow.lineTo(5, 16);
    }
    arrow.closeSubpath();
    FillOutlined(p, arrow, colour, 1.4);
}

void Badge(QPainter& p, const QColor& colour, bool plus) {
    p.setPen(QPen(colour.darker(125), 1.2));
    p.setBrush(colour);
    p.drawEllipse(QRectF(16, 16, 14, 14));
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19.5, 23), QPointF(26.5, 23));
    if (plus) p.drawLine(QPointF(23, 19.5), QPointF(23, 26.5));
}

// A curved arrow turning back (undo) or forward (redo).
void TurnArrow(QPainter& p, bool back) {
    p.save();
    if (!back) {
        p.translate(32, 0);
        p.scale(-1, 1);
    }
    QPainterPath bow;
    bow.moveTo(9, 12);
    bow.cubicTo(22, 7, 30, 14, 26, 22);
    bow.cubicTo(24, 26, 19, 27, 15, 27);
    p.setPen(QPen(kBlue.darker(115), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bow);
    QPainterPath head;
    head.moveTo(3, 12);
    head.lineTo(12, 5);
    head.lineTo(12, 19);
    head.closeSubpath();
    FillOutlined(p, head, kBlue, 1.2);
    p.restore();
}

// Lines of a list with an arrow into them (indent) or out of them (outdent).
void IndentArrow(QPainter& p, bool in) {
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    for (int y : {6, 26}) p.drawLine(QPointF(4, y), QPointF(28, y));
    for (int y : {13, 19}) p.drawLine(QPointF(16, y), QPointF(28, y));
    QPainterPath arrow;
    if (in) {
        arrow.moveTo(12, 16);
        arrow.lineTo(5, 10);
        arrow.lineTo(5, 22);
    } else {
        arrow.moveTo(4, 16);
        arrow.lineTo(11, 10);
        arrow.lineTo(11, 22);
    }
    arrow.closeSubpath();
    FillOutlined(p, arrow, kBlue, 1.2);
}

void Book(QPainter& p) {
    p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(6, 3, 21, 26), 2.5, 2.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 24, 18, 5));
    QFont font;
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(6, 2, 21, 22), Qt::AlignCenter, QStringLiteral("?"));
}

void Draw(QPainter& p, TIconKind kind) {
    switch (kind) {
    case TIconKind::New:
        Page(p);
        p.setPen(QPen(kAmber.darker(115), 1.2));
        p.setBrush(kAmber);
        p.drawEllipse(QRectF(18, 17, 11, 11));
        break;
    case TIconKind::Open: {
        p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(kAmber.darker(110));
        QPainterPath back;
        back.moveTo(3, 8);
        back.lineTo(12, 8);
        back.lineTo(15, 11);
        back.lineTo(27, 11);
        back.lineTo(27, 27);
        back.lineTo(3, 27);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(kAmber);
        QPainterPath front;
        front.moveTo(3, 27);
        front.lineTo(8, 15);
        front.lineTo(30, 15);
        front.lineTo(27, 27);
        front.closeSubpath();
        p.drawPath(front);
        break;
    }
    case TIconKind::Save:
        p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2.5, 2.5);
        p.setBrush(kPaper);
        p.drawRect(QRectF(9, 4, 14, 9));
        p.setBrush(QColor(220, 228, 240));
        p.drawRect(QRectF(8, 18, 16, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawRect(QRectF(18, 6, 3, 5));
        break;
    case TIconKind::Insert:
        Page(p);
        Badge(p, kGreen, true);
        break;
    case TIconKind::Delete:
        Page(p, QColor(245, 245, 245));
        p.setPen(QPen(kRed, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 17), QPointF(28, 28));
        p.drawLine(QPointF(28, 17), QPointF(17, 28));
        break;
    case TIconKind::MoveUp:
        Arrow(p, true, kBlue);
        break;
    case TIconKind::MoveDown:
        Arrow(p, false, kBlue);
        break;
    case TIconKind::Undo:
        TurnArrow(p, true);
        break;
    case TIconKind::Redo:
        TurnArrow(p, false);
        break;
    case TIconKind::Cut:
        // Scissors: two handles and two crossing blades.
        p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 4), QPointF(20, 20));
        p.drawLine(QPointF(22, 4), QPointF(12, 20));
        p.setPen(QPen(kRed.darker(115), 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(5, 19, 9, 9));
        p.drawEllipse(QRectF(18, 19, 9, 9));
        break;
    case TIconKind::Copy:
        p.translate(-3, -1);
        Page(p, QColor(235, 238, 244));
        p.translate(7, 4);
        p.scale(0.85, 0.85);
        Page(p);
        break;
    case TIconKind::Paste:
        p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(kAmber.darker(105));
        p.drawRoundedRect(QRectF(5, 5, 19, 24), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(10, 3, 9, 5));
        p.translate(9, 9);
        p.scale(0.7, 0.7);
        Page(p);
        break;
    case TIconKind::Duplicate:
        Page(p, QColor(235, 238, 244));
        Badge(p, kBlue, true);
        break;
    case TIconKind::Indent:
        IndentArrow(p, true);
        break;
    case TIconKind::Outdent:
        IndentArrow(p, false);
        break;
    case TIconKind::Preview: {
        // A browser window with the menu bar inside it.
        p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(3, 5, 26, 22), 2.5, 2.5);
        p.setBrush(kBlue);
        p.drawRect(QRectF(3, 5, 26, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(19, 19, 19));
        p.drawRect(QRectF(6, 13, 20, 4));
        p.setBrush(QColor(146, 221, 250));
        p.drawRect(QRectF(12, 13, 6, 4));
        p.setBrush(QColor(158, 158, 158));
        p.drawRect(QRectF(12, 17, 6, 7));
        break;
    }
    case TIconKind::Help:
    case TIconKind::HelpBook:
        Book(p);
        break;
    case TIconKind::TreeItem:
        p.setPen(QPen(kBlue.darker(130), 1.4));
        p.setBrush(QColor(206, 225, 248));
        p.drawRoundedRect(QRectF(4, 9, 24, 14), 3, 3);
        p.setPen(QPen(kBlue.darker(130), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 16), QPointF(23, 16));
        break;
    case TIconKind::TreeRoot:
    case TIconKind::Application: {
        // The menu bar: a dark bar of items, one lit, with its submenu below.
        p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(28, 32, 40));
        p.drawRoundedRect(QRectF(2, 5, 28, 9), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(146, 221, 250));
        p.drawRect(QRectF(12, 7, 8, 5));
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(11, 14, 12, 14));
        p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 19), QPointF(20, 19));
        p.drawLine(QPointF(14, 24), QPointF(20, 24));
        break;
    }
    case TIconKind::Browse:
        // The dots stand on the button face like text: in its text colour, so that a dark
        // theme's dark face does not swallow them.
        p.setPen(Qt::NoPen);
        p.setBrush(QGuiApplication::palette().color(QPalette::ButtonText));
        for (int i = 0; i < 3; ++i) p.drawEllipse(QRectF(5 + i * 9, 19, 5, 5));
        break;
    }
}

// Drawn at whatever size and state is asked for, so icons stay sharp on every screen
// and disabled commands look disabled; each size and state is drawn once into a pixmap
// and painted from it after that (a tree paints its node image on every row). The
// browse dots take the palette's text colour, so a new palette draws them anew.
class TDrawnIconEngine final : public QIconEngine {
public:
    explicit TDrawnIconEngine(TIconKind kind) : kind_(kind) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(QSize(qRound(rect.width() * ratio), qRound(rect.height() * ratio)), mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), drawn);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (kind_ == TIconKind::Browse) {
            const qint64 palette = QGuiApplication::palette().cacheKey();
            if (palette != paletteKey_) {
                drawn_.clear();
                paletteKey_ = palette;
            }
        }
        const DrawnKey key{size.width(), size.height(), mode};
        for (const auto& [at, pixmap] : drawn_)
            if (at == key) return pixmap;
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        if (!size.isEmpty()) {
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.scale(size.width() / 32.0, size.height() / 32.0);
            if (mode == QIcon::Disabled) painter.setOpacity(0.35);
            Draw(painter, kind_);
        }
        drawn_.emplace_back(key, pixmap);
        return pixmap;
    }

    QIconEngine* clone() const override { return new TDrawnIconEngine(kind_); }

private:
    struct DrawnKey {
        int width;
        int height;
        QIcon::Mode mode;
        bool operator==(const DrawnKey&) const = default;
    };
    TIconKind kind_;
    // An icon is asked for at a few sizes and states only.
    std::vector<std::pair<DrawnKey, QPixmap>> drawn_;
    qint64 paletteKey_ = 0;
};

}  // namespace

namespace {

constexpr std::size_t kIconKinds = static_cast<std::size_t>(TIconKind::Application) + 1;

// One icon of each kind, shared by every button and action that shows it: each size
// and state is drawn once for all of them. Let go with the application (a pixmap
// outlives no application), made again for the next.
std::array<std::optional<QIcon>, kIconKinds>& SharedIcons() {
    static std::array<std::optional<QIcon>, kIconKinds> icons;
    return icons;
}

}  // namespace

QIcon MakeIcon(TIconKind kind) {
    auto& icons = SharedIcons();
    std::optional<QIcon>& icon = icons[static_cast<std::size_t>(kind)];
    if (!icon) {
        if (std::none_of(icons.begin(), icons.end(), [](const auto& made) { return made.has_value(); }))
            qAddPostRoutine([] { SharedIcons().fill(std::nullopt); });
        icon = QIcon(new TDrawnIconEngine(kind));
    }
    return *icon;
}

}  // namespace qm
