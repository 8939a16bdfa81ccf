#include "gui/ControlValues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

#include "model/Error.h"
#include "model/LookValues.h"
#include "gui/TColorPanel.h"
#include "gui/TSpinEdit.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

// Exactly this class: a derived control matches no row of the transfer and is left
// alone.
template <class Control>
Control* Exactly(QObject* object) {
    return object && object->metaObject() == &Control::staticMetaObject ? static_cast<Control*>(object) : nullptr;
}
template <class Control>
const Control* Exactly(const QObject* object) {
    return object && object->metaObject() == &Control::staticMetaObject ? static_cast<const Control*>(object)
                                                                         : nullptr;
}

// The spin edit row: the program's own TSpinEdit or a plain QSpinBox.
QSpinBox* SpinEdit(QObject* object) {
    if (auto* spin = Exactly<TSpinEdit>(object)) return spin;
    return Exactly<QSpinBox>(object);
}
const QSpinBox* SpinEdit(const QObject* object) {
    if (const auto* spin = Exactly<TSpinEdit>(object)) return spin;
    return Exactly<QSpinBox>(object);
}

[[noreturn]] void ThrowNotAnInteger(const std::string& text) {
    throw Error("'" + text + "' is not a valid integer value");
}

long long WholeNumberOrThrow(const std::string& text) {
    const auto number = ParseWholeNumber(text);
    if (!number) ThrowNotAnInteger(text);
    return *number;
}

std::string Text(const QString& text) {
    return text.toStdString();
}

std::string Trimmed(const QString& text) {
    return TrimBlanks(text.toStdString());
}

void SetRadioChecked(QAbstractButton* button, bool checked) {
    // A checked radio button of a pair cannot be unchecked while it is exclusive; the
    // transfer sets exactly what the text says and leaves the other button to the caller.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(exclusive);
}

}  // namespace

void GetControlValue(const QObject* control, std::string& value, TValueMode mode) {
    if (const auto* combo = Exactly<QComboBox>(control)) {
        value = mode == vmComboText ? Trimmed(combo->currentText()) : std::to_string(combo->currentIndex());
    } else if (const auto* spin = SpinEdit(control)) {
        value = std::to_string(spin->value());
    } else if (const auto* edit = Exactly<QLineEdit>(control)) {
        value = Trimmed(edit->text());
    } else if (const auto* panel = Exactly<TColorPanel>(control)) {
        value = Text(ColorToHexString(panel->Color()));
    } else if (const auto* speed = Exactly<QToolButton>(control)) {
        if (mode == vmTransparency) {
            if (speed->isChecked()) value = "Transparent";
        } else {
            value = speed->isChecked() ? "1" : "0";
        }
    } else if (const auto* check = Exactly<QCheckBox>(control)) {
        value = check->isChecked() ? "1" : "0";
    } else if (const auto* radio = Exactly<QRadioButton>(control)) {
        value = radio->isChecked() ? "1" : "0";
    }
}

void SetControlValue(QObject* control, const std::string& value, TValueMode mode) {
    if (auto* combo = Exactly<QComboBox>(control)) {
        if (mode == vmComboText) {
            combo->setEditText(QString::fromStdString(TrimBlanks(value)));
        } else {
            const long long index = WholeNumberOrThrow(value);
            combo->setCurrentIndex(index >= 0 && index < combo->count() ? static_cast<int>(index) : -1);
        }
    } else if (auto* spin = SpinEdit(control)) {
        const long long number = WholeNumberOrThrow(value);
        spin->setValue(static_cast<int>(std::clamp<long long>(number, spin->minimum(), spin->maximum())));
    } else if (auto* edit = Exactly<QLineEdit>(control)) {
        edit->setText(QString::fromStdString(TrimBlanks(value)));
    } else if (auto* panel = Exactly<TColorPanel>(control)) {
        panel->SetColor(HexStringToColor(QString::fromStdString(value)));
    } else if (auto* speed = Exactly<QToolButton>(control)) {
        if (mode == vmTransparency)
            speed->setChecked(QString::fromStdString(value).toLower() == QLatin1String("transparent"));
        else
            speed->setChecked(value == "1");
    } else if (auto* check = Exactly<QCheckBox>(control)) {
        check->setChecked(value == "1");
    } else if (auto* radio = Exactly<QRadioButton>(control)) {
        SetRadioChecked(radio, value == "1");
    }
}

QString ColorToHexString(const QColor& color) {
    const QRgb rgb = color.toRgb().rgb();
    return QString::fromStdString(ColourToText(static_cast<std::uint32_t>(rgb & 0xFFFFFFu)));
}

QColor HexStringToColor(const QString& text) {
    const std::string bytes = text.toStdString();
    const auto rgb = ParseColourText(bytes);
    if (!rgb) ThrowNotAnInteger(bytes);
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | *rgb));
}

QString LocalPathToFileUrl(const QString& path) {
    QString link = path;
    link.replace(QLatin1Char('\\'), QLatin1Char('/'));
    link.replace(QLatin1Char(':'), QLatin1Char('|'));
    if (link.startsWith(QLatin1Char('/'))) link.remove(0, 1);
    return QStringLiteral("file:///") + link;
}

}  // namespace qm
