#pragma once
// The spin edit of the property pages: a QSpinBox that lets the user type any whole
// number and pulls it to the nearest bound of its range when the typing is done (the
// box loses the focus, Enter is pressed, or the window reads it before a save). A
// plain QSpinBox refuses the keystroke that leaves its range, so 500 typed where the
// range ends at 100 would stay 50.
//
// It tells apart a value stepped (the wheel, the arrows, the Up and Down keys) from one
// typed: undo takes steps in a pause as one, typing until the focus moves.

#include <QSpinBox>

namespace qm {

class TSpinEdit final : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    // A whole number outside the range is Intermediate (typing may go on), not Invalid.
    QValidator::State validate(QString& input, int& pos) const override;
    // A whole number outside the range becomes the nearest bound.
    void fixup(QString& input) const override;
    void stepBy(int steps) override;
    // Text still being typed becomes the value (pulled into the range), as leaving the
    // box would make it. A box that shows its value is left alone: interpreting it
    // anyway repaints it.
    void InterpretTypedText();

signals:
    // Sent before the value changes by a step.
    void Stepped();
};

}  // namespace qm
