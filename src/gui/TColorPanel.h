#pragma once
// A colour panel: a framed swatch showing one colour. Clicking it (or pressing Space
// or Enter while it has the focus) emits clicked(); the window then offers the colour
// dialog.

#include <QColor>
#include <QFrame>

namespace qm {

class TColorPanel final : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QColor color READ Color WRITE SetColor NOTIFY colorChanged)
public:
    explicit TColorPanel(QWidget* parent = nullptr);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    QSize sizeHint() const override;

signals:
    void clicked();
    void colorChanged(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor color_ = Qt::black;
};

}  // namespace qm
