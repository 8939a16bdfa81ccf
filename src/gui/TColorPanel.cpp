#include "gui/TColorPanel.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "gui/ControlValues.h"

namespace qm {

namespace {

// The basic names by hue, each up to its upper bound in degrees.
struct THueName {
    int below;
    const char* name;
};
constexpr THueName kHues[] = {{15, "red"},   {40, "orange"},  {65, "yellow"}, {160, "green"}, {195, "cyan"},
                              {255, "blue"}, {320, "purple"}, {345, "pink"},  {361, "red"}};

}  // namespace

TColorPanel::TColorPanel(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    UpdateName();
}

void TColorPanel::SetColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    if (rgb == color_) return;
    color_ = rgb;
    UpdateName();
    update();
    emit colorChanged(color_);
}

void TColorPanel::SetRole(const QString& role) {
    role_ = role;
    UpdateName();
}

void TColorPanel::UpdateName() {
    const QString colour = ColourName(color_);
    setAccessibleName(role_.isEmpty() ? colour : role_ + QStringLiteral(", ") + colour);
}

QString TColorPanel::ColourName(const QColor& color) {
    const QColor hsl = color.toHsl();
    const double lightness = hsl.lightnessF();
    const double saturation = hsl.hslSaturationF();
    QString name;
    if (saturation < 0.12 || lightness < 0.08 || lightness > 0.96) {
        if (lightness < 0.1)
            name = QStringLiteral("black");
        else if (lightness > 0.94)
            name = QStringLiteral("white");
        else if (lightness < 0.35)
            name = QStringLiteral("dark grey");
        else if (lightness > 0.75)
            name = QStringLiteral("light grey");
        else
            name = QStringLiteral("grey");
    } else {
        const int hue = std::max(hsl.hslHue(), 0);
        const char* basic = "red";
        for (const auto& range : kHues)
            if (hue < range.below) {
                basic = range.name;
                break;
            }
        name = QString::fromLatin1(basic);
        // A dark orange is what people call brown, a light red pink.
        if (name == QLatin1String("orange") && lightness < 0.35)
            name = QStringLiteral("brown");
        else if (name == QLatin1String("red") && lightness > 0.75)
            name = QStringLiteral("pink");
        else if (lightness < 0.33)
            name = QStringLiteral("dark ") + name;
        else if (lightness > 0.75)
            name = QStringLiteral("light ") + name;
    }
    return name + QStringLiteral(" (#") + ColorToHexString(color) + QLatin1Char(')');
}

QSize TColorPanel::sizeHint() const {
    return {44, 22};
}

void TColorPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF swatch = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.setBrush(color_);
    painter.drawRoundedRect(swatch, 3, 3);
    // An inner light edge keeps dark and light swatches apart from the page.
    painter.setPen(QPen(QColor(255, 255, 255, 110), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(swatch.adjusted(1, 1, -1, -1), 2, 2);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
    }
}

// Space clicks as on any button; Enter and Return too, as on a push button.
void TColorPanel::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace qm
