#pragma once
// How the menu tree draws and edits its rows.
//
// A row is drawn as the style draws an item view's row (its background, selection and
// focus frame, the node image, the caption elided to the room there is), but the
// caption's text layout is kept for each row once made: shaping a caption's text costs
// more than all the rest of a row, and a style lays a caption out again for each of its
// measures and for the drawing, on every paint. A kept layout is made again when its
// row's caption, the font or the room changes; the layouts go with the rows when the
// model is reset.
//
// The in-place caption editor is a plain edit box, which the window checks as it checks
// every text field.

#include <QGlyphRun>
#include <QPixmap>
#include <QRawFont>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <functional>
#include <unordered_map>

class QLineEdit;

namespace qm {

class TMenuTreeDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    // created is called with each new in-place editor.
    TMenuTreeDelegate(std::function<void(QLineEdit*)> created, QObject* parent = nullptr);

    // Forgets every kept layout (the model was reset: its rows are others now).
    void ForgetLayouts();

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // A caption laid out on one line, drawn from its top left.
    struct Line {
        // Most captions need neither shaping nor reordering: their glyphs are placed by
        // the font's advances and kerning, as the text engine places them unshaped.
        QGlyphRun glyphs;
        // Any other caption, laid out by the text engine.
        QStaticText shaped;
        qreal width = 0;
        bool isShaped = false;
    };
    struct KeptLayout {
        QString text;
        Line whole;             // the caption as it is
        int elidedWidth = -1;   // the room the elided form was made for; -1: none
        Line elided;
    };
    Line LayOut(const QString& text) const;
    void Draw(QPainter& painter, const QPoint& topLeft, const Line& line) const;
    void DrawFocusFrame(QPainter& painter, const QStyleOptionViewItem& row, const QStyle& style) const;
    // The row's layout, made or made again as needed.
    KeptLayout& LayoutOf(const QModelIndex& index, const QString& text, const QFont& font) const;

    std::function<void(QLineEdit*)> created_;
    mutable std::unordered_map<quintptr, KeptLayout> layouts_;
    mutable QFont font_;
    mutable QRawFont rawFont_;    // font_'s own glyphs, without fallbacks
    mutable int lineHeight_ = 0;  // of font_
    // The focus frame as the style last drew it, and what it was drawn for: one row has
    // the focus at a time.
    struct FrameLook {
        QSize size;
        qreal scale = 0;
        int state = 0;
        qint64 palette = 0;
        QRgb background = 0;
        const QStyle* style = nullptr;
        bool operator==(const FrameLook&) const = default;
    };
    mutable FrameLook frameLook_;
    mutable QPixmap frame_;
};

}  // namespace qm
