#pragma once
// How a value travels between a property control and the text field of a record, and
// the colour and link text conversions the panels use. The conversions of look values
// themselves (ranges, colour digits, trimming) are the core's LookValues; this is only
// their meeting with the widgets.

#include <QColor>
#include <QString>
#include <string>

class QObject;

namespace qm {

// vmComboText moves an editable combo box's text rather than its selected index;
// vmTransparency reads a pressed speed button as "Transparent".
enum TValueMode { vmDefault = 0, vmComboText = 1, vmTransparency = 2 };

// Control -> text. The control's class must be exactly one of QComboBox, QSpinBox or
// TSpinEdit (the spin edit), QLineEdit, TColorPanel, QToolButton (a speed button), QCheckBox or QRadioButton;
// for any other class, and for a speed button in vmTransparency mode that is not
// pressed, value keeps what it held.
void GetControlValue(const QObject* control, std::string& value, TValueMode mode = vmDefault);

// Text -> control, for the same classes. A spin edit is given the number pulled into
// its range. Throws qm::Error "'<text>' is not a valid integer value" when a spin edit,
// a combo box in vmDefault mode or a colour panel is given text of the wrong form; the
// control then keeps its value.
void SetControlValue(QObject* control, const std::string& value, TValueMode mode = vmDefault);

// Six upper-case hexadecimal digits, red first.
QString ColorToHexString(const QColor& color);
// "transparent" in any letter case is black; otherwise up to six hexadecimal digits,
// red first (missing ones count as nothing). Throws qm::Error
// "'<text>' is not a valid integer value" for anything else.
QColor HexStringToColor(const QString& text);

// A local path as a link: "\" -> "/", ":" -> "|", and "file:///" in front
// (C:\web\a.htm -> file:///C|/web/a.htm). A path that already begins with "/" keeps a
// single one after "file://" (/srv/web/a.htm -> file:///srv/web/a.htm).
QString LocalPathToFileUrl(const QString& path);

}  // namespace qm
