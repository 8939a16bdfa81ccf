#include "gui/TSpinEdit.h"

#include <QRegularExpression>
#include <algorithm>
#include <limits>
#include <optional>

namespace qm {

namespace {

// The typed text as a whole number: an optional sign and digits, nothing else. Digits
// beyond what a number can hold still say on which side of the range it lies.
std::optional<long long> TypedWholeNumber(const QString& text) {
    static const QRegularExpression kWhole(QStringLiteral("^[+-]?[0-9]+$"));
    const QString trimmed = text.trimmed();
    if (!kWhole.match(trimmed).hasMatch()) return std::nullopt;
    bool ok = false;
    const long long number = trimmed.toLongLong(&ok);
    if (ok) return number;
    return trimmed.startsWith(QLatin1Char('-')) ? std::numeric_limits<long long>::min()
                                                : std::numeric_limits<long long>::max();
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State TSpinEdit::validate(QString& input, int& pos) const {
    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state != QValidator::Invalid) return state;
    return TypedWholeNumber(input) ? QValidator::Intermediate : QValidator::Invalid;
}

void TSpinEdit::fixup(QString& input) const {
    if (const auto number = TypedWholeNumber(input)) {
        input = textFromValue(static_cast<int>(std::clamp<long long>(*number, minimum(), maximum())));
        return;
    }
    QSpinBox::fixup(input);
}

void TSpinEdit::stepBy(int steps) {
    emit Stepped();
    QSpinBox::stepBy(steps);
}

void TSpinEdit::InterpretTypedText() {
    if (text() != textFromValue(value())) interpretText();
}

}  // namespace qm
