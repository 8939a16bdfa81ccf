#pragma once
// A colour panel: a swatch showing one colour, a button to the keyboard and to screen
// readers. Clicking it, or pressing Space, Enter or Return while it has the focus,
// emits clicked(); the window then offers the colour dialog. Its accessible name says
// which colour it stands for and the colour it shows: "Main text colour, white
// (#FFFFFF)".

#include <QAbstractButton>
#include <QColor>

namespace qm {

class TColorPanel final : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QColor color READ Color WRITE SetColor NOTIFY colorChanged)
public:
    explicit TColorPanel(QWidget* parent = nullptr);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    // What the panel stands for ("Main text colour"), the first part of its name.
    void SetRole(const QString& role);

    // A colour as a person would say it, with its digits: "dark blue (#1A2B80)".
    static QString ColourName(const QColor& color);

    QSize sizeHint() const override;

signals:
    void colorChanged(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateName();

    QColor color_ = Qt::black;
    QString role_;
};

}  // namespace qm
