#pragma once
// Names for screen readers. A control's accessible name is what a screen reader says
// when the control takes the focus; Qt takes it from the label whose buddy the control
// is, which reads wrongly where two labels say the same ("Height" in two groups), and
// not at all for the part of an editable combo box that takes the focus.

#include <QString>

class QWidget;

namespace qm {

// The property naming a group's short context for its controls' names ("Main items").
inline constexpr char kAccessibleContext[] = "accessibleContext";

// A caption without its mnemonic mark: "Ext. &Width" is "Ext. Width", "R&&D" is "R&D".
QString WithoutMnemonic(const QString& caption);

// Every control below root that a label names (the label's buddy) gets the label's
// text as its accessible name; where the same text labels more than one control below
// root, each name begins with its group's context: "Main items: height". An editable
// combo box's line gets its box's name. A control with a name of its own keeps it.
void NameControlsByTheirLabels(QWidget* root);

}  // namespace qm
