#include "gui/TMenuTreeDelegate.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QtMath>

namespace qm {

namespace {

// More rows than any screen shows, and few enough to cost nothing: scrolling through a
// very large menu starts the kept layouts afresh when there are this many.
constexpr std::size_t kMostKeptLayouts = 4096;

// Characters that the text engine draws unshaped and in reading order with this font:
// Latin letters, digits and signs up to the combining marks, no controls and no soft
// hyphen (which is invisible).
bool NeedsNoShaping(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0xAD || u >= 0x300) return false;
    }
    return true;
}

}  // namespace

TMenuTreeDelegate::TMenuTreeDelegate(std::function<void(QLineEdit*)> created, QObject* parent)
    : QStyledItemDelegate(parent), created_(std::move(created)) {}

void TMenuTreeDelegate::ForgetLayouts() {
    layouts_.clear();
}

TMenuTreeDelegate::Line TMenuTreeDelegate::LayOut(const QString& text) const {
    Line line;
    if (NeedsNoShaping(text) && rawFont_.isValid()) {
        const QList<quint32> glyphs = rawFont_.glyphIndexesForString(text);
        // A character the font lacks is drawn from another font: the text engine knows
        // which.
        if (!glyphs.contains(0)) {
            const QList<QPointF> advances = rawFont_.advancesForGlyphIndexes(glyphs);
            QList<QPointF> positions;
            positions.reserve(glyphs.size());
            QPointF at(0, rawFont_.ascent());
            for (const QPointF& advance : advances) {
                positions.append(at);
                at += advance;
            }
            line.glyphs.setRawFont(rawFont_);
            line.glyphs.setGlyphIndexes(glyphs);
            line.glyphs.setPositions(positions);
            line.width = at.x();
            return line;
        }
    }
    line.isShaped = true;
    line.shaped.setText(text);
    line.shaped.setTextFormat(Qt::PlainText);  // a caption is never markup
    line.shaped.prepare(QTransform(), font_);
    line.width = line.shaped.size().width();
    return line;
}

void TMenuTreeDelegate::Draw(QPainter& painter, const QPoint& topLeft, const Line& line) const {
    if (line.isShaped) {
        painter.setFont(font_);  // the layout's, or the painter lays the text out again
        painter.drawStaticText(topLeft, line.shaped);
    } else if (!line.glyphs.glyphIndexes().isEmpty()) {
        painter.drawGlyphRun(topLeft, line.glyphs);
    }
}

TMenuTreeDelegate::KeptLayout& TMenuTreeDelegate::LayoutOf(const QModelIndex& index, const QString& text,
                                                           const QFont& font) const {
    if (font != font_ || lineHeight_ == 0) {
        layouts_.clear();
        font_ = font;
        rawFont_ = QRawFont::fromFont(font_);
        const QFontMetrics metrics(font_);
        lineHeight_ = metrics.ascent() + metrics.descent();
    }
    if (layouts_.size() >= kMostKeptLayouts) layouts_.clear();
    const auto [at, made] = layouts_.try_emplace(index.internalId());
    KeptLayout& kept = at->second;
    if (made || kept.text != text) {
        kept.text = text;
        kept.whole = LayOut(text);
        kept.elidedWidth = -1;
    }
    return kept;
}

// As the style draws an item view's row with its image, caption and focus frame (Qt's
// common style, CE_ItemViewItem), with the caption's layout kept.
void TMenuTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    // The row being edited in place is drawn by the style, beneath its editor.
    if (option.state & QStyle::State_Editing) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    opt.index = index;
    opt.text = index.data(Qt::DisplayRole).toString();
    opt.icon = qvariant_cast<QIcon>(index.data(Qt::DecorationRole));
    opt.features |= QStyleOptionViewItem::HasDisplay;
    if (!opt.icon.isNull()) opt.features |= QStyleOptionViewItem::HasDecoration;
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();

    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    // The image in a column of its own at the start of the row, the caption after it.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &opt, widget) + 1;
    const int imageColumn = opt.icon.isNull() ? 0 : opt.decorationSize.width() + 2 * margin;
    const QRect row = opt.rect;
    const QRect imageCell(row.left(), row.top(), imageColumn, row.height());
    const QRect textCell(row.left() + imageColumn, row.top(), row.width() - imageColumn, row.height());
    const bool enabled = opt.state & QStyle::State_Enabled;
    if (!opt.icon.isNull()) {
        const QIcon::Mode mode = !enabled ? QIcon::Disabled
                                 : (opt.state & QStyle::State_Selected) ? QIcon::Selected
                                                                        : QIcon::Normal;
        const QIcon::State state = (opt.state & QStyle::State_Open) ? QIcon::On : QIcon::Off;
        const QRect image = QStyle::alignedRect(opt.direction, opt.decorationAlignment, opt.decorationSize,
                                                QStyle::visualRect(opt.direction, row, imageCell));
        opt.icon.paint(painter, image, opt.decorationAlignment, mode, state);
    }
    if (opt.text.isEmpty()) return;

    // The caption, elided where the room is too narrow for it.
    const QRect room = QStyle::visualRect(opt.direction, row, textCell.adjusted(margin, 0, -margin, 0));
    KeptLayout& kept = LayoutOf(index, opt.text, opt.font);
    const Line* shown = &kept.whole;
    if (kept.whole.width > room.width() && opt.textElideMode != Qt::ElideNone) {
        if (kept.elidedWidth != room.width()) {
            kept.elided = LayOut(QFontMetrics(font_).elidedText(opt.text, opt.textElideMode, room.width()));
            kept.elidedWidth = room.width();
        }
        shown = &kept.elided;
    }
    const QRect at = QStyle::alignedRect(opt.direction, QStyle::visualAlignment(opt.direction, opt.displayAlignment),
                                         QSize(qCeil(shown->width), lineHeight_), room);
    QPalette::ColorGroup group = enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(opt.state & QStyle::State_Active)) group = QPalette::Inactive;
    painter->save();
    painter->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                   : QPalette::Text));
    Draw(*painter, at.topLeft(), *shown);
    painter->restore();
    DrawFocusFrame(*painter, opt, *style);
}

// The frame the style puts around the row with the keyboard focus, where it puts it.
void TMenuTreeDelegate::DrawFocusFrame(QPainter& painter, const QStyleOptionViewItem& row, const QStyle& style) const {
    if (!(row.state & QStyle::State_HasFocus)) return;
    QStyleOptionFocusRect frame;
    frame.QStyleOption::operator=(row);
    frame.rect = style.subElementRect(QStyle::SE_ItemViewItemFocusRect, &row, row.widget);
    frame.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    const QPalette::ColorGroup group = (row.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    frame.backgroundColor =
        row.palette.color(group, (row.state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Window);
    // Drawn once for each size, state and palette, and copied after that: a style's frame
    // is an antialiased rounded outline, which costs more than all the rows' captions.
    const qreal scale = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const FrameLook look{frame.rect.size(), scale, int(frame.state), frame.palette.cacheKey(),
                         frame.backgroundColor.rgba(), &style};
    if (look != frameLook_ || frame_.isNull()) {
        frame_ = QPixmap(frame.rect.size() * scale);
        frame_.setDevicePixelRatio(scale);
        frame_.fill(Qt::transparent);
        QStyleOptionFocusRect alone = frame;
        alone.rect.moveTopLeft(QPoint(0, 0));
        QPainter onto(&frame_);
        style.drawPrimitive(QStyle::PE_FrameFocusRect, &alone, &onto, row.widget);
        frameLook_ = look;
    }
    painter.drawPixmap(frame.rect.topLeft(), frame_);
}

QWidget* TMenuTreeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("edtCaptionInPlace"));
    editor->setFrame(false);
    created_(editor);
    return editor;
}

}  // namespace qm
