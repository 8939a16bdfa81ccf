// The transfer of one value between a control and a record's text, and the colour and
// link conversions of the panels.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <gtest/gtest.h>

#include "gui/ControlValues.h"
#include "model/Error.h"
#include "support/ErrorCheck.h"
#include "support/WindowTest.h"
#include "gui/TColorPanel.h"

namespace qm::test {
namespace {

std::string Get(const QObject* control, std::string start = "unchanged", TValueMode mode = vmDefault) {
    GetControlValue(control, start, mode);
    return start;
}

TEST(ControlValuesTest, SpinEditsGiveDecimalsAndPullLoadedValuesIntoTheirRange) {
    QSpinBox spin;
    spin.setRange(1, 9999);
    SetControlValue(&spin, "250");
    EXPECT_EQ(Get(&spin), "250");
    SetControlValue(&spin, "-7");
    EXPECT_EQ(Get(&spin), "1");
    SetControlValue(&spin, "123456789012");
    EXPECT_EQ(Get(&spin), "9999");
    EXPECT_QM_ERROR(SetControlValue(&spin, "12px"), "'12px' is not a valid integer value");
    EXPECT_QM_ERROR(SetControlValue(&spin, ""), "'' is not a valid integer value");
    EXPECT_EQ(Get(&spin), "9999") << "a refused text leaves the value";
}

TEST(ControlValuesTest, EditBoxesTrimBothWays) {
    QLineEdit edit;
    SetControlValue(&edit, "  arial \t");
    EXPECT_EQ(edit.text(), "arial");
    edit.setText("  Verdana  ");
    EXPECT_EQ(Get(&edit), "Verdana");
}

TEST(ControlValuesTest, ComboBoxesMoveTheirTextOrTheirIndexByMode) {
    QComboBox combo;
    combo.setEditable(true);
    combo.addItems({"_self", "_blank", "_top"});
    SetControlValue(&combo, " _parent ", vmComboText);
    EXPECT_EQ(combo.currentText(), "_parent");
    EXPECT_EQ(Get(&combo, "", vmComboText), "_parent");
    SetControlValue(&combo, "2");
    EXPECT_EQ(Get(&combo), "2");
    EXPECT_EQ(combo.currentText(), "_top");
    SetControlValue(&combo, "7");
    EXPECT_EQ(Get(&combo), "-1");
    EXPECT_QM_ERROR(SetControlValue(&combo, "two"), "'two' is not a valid integer value");
}

TEST(ControlValuesTest, ColourPanelsGiveSixUpperCaseDigitsRedFirst) {
    TColorPanel panel;
    SetControlValue(&panel, "92ddfa");
    EXPECT_EQ(panel.Color(), QColor(0x92, 0xDD, 0xFA));
    EXPECT_EQ(Get(&panel), "92DDFA");
    panel.SetColor(QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(Get(&panel), "123456");
    EXPECT_QM_ERROR(SetControlValue(&panel, "12G456"), "'12G456' is not a valid integer value");
    EXPECT_EQ(Get(&panel), "123456");
}

TEST(ControlValuesTest, TransparentShowsBlackAndIsStoredAsBlack) {
    TColorPanel panel;
    panel.SetColor(Qt::white);
    SetControlValue(&panel, "Transparent");
    EXPECT_EQ(panel.Color(), QColor(Qt::black));
    EXPECT_EQ(Get(&panel), "000000");
    SetControlValue(&panel, "TRANSPARENT");
    EXPECT_EQ(Get(&panel), "000000");
}

TEST(ControlValuesTest, ColourStringsOfOtherLengths) {
    EXPECT_EQ(HexStringToColor("FF"), QColor(255, 0, 0));
    EXPECT_EQ(HexStringToColor("00FF00tail"), QColor(0, 255, 0));
    EXPECT_EQ(ColorToHexString(QColor(0, 0, 255)), "0000FF");
    EXPECT_QM_ERROR(HexStringToColor("#FFFFFF"), "'#FFFFFF' is not a valid integer value");
}

TEST(ControlValuesTest, ButtonsAndBoxesAreFlags) {
    QCheckBox check;
    SetControlValue(&check, "1");
    EXPECT_TRUE(check.isChecked());
    EXPECT_EQ(Get(&check), "1");
    SetControlValue(&check, "yes");
    EXPECT_FALSE(check.isChecked());
    EXPECT_EQ(Get(&check), "0");

    QWidget pair;
    auto* first = new QRadioButton(&pair);
    auto* second = new QRadioButton(&pair);
    first->setChecked(true);
    SetControlValue(first, "0");
    EXPECT_FALSE(first->isChecked()) << "the transfer unchecks even the checked button of a pair";
    EXPECT_EQ(Get(first), "0");
    SetControlValue(first, "1");
    EXPECT_TRUE(first->isChecked());
    EXPECT_FALSE(second->isChecked());
}

TEST(ControlValuesTest, SpeedButtonsInTransparencyModeKeepThePreviousValueWhenUp) {
    QToolButton speed;
    speed.setCheckable(true);
    SetControlValue(&speed, "transparent", vmTransparency);
    EXPECT_TRUE(speed.isChecked());
    EXPECT_EQ(Get(&speed, "FF0000", vmTransparency), "Transparent");
    speed.setChecked(false);
    EXPECT_EQ(Get(&speed, "FF0000", vmTransparency), "FF0000");
    EXPECT_EQ(Get(&speed, "whatever", vmTransparency), "whatever");
    SetControlValue(&speed, "1");
    EXPECT_TRUE(speed.isChecked());
    EXPECT_EQ(Get(&speed), "1");
}

// A control of a derived class is another kind: it matches no row and is left alone.
class TDerivedEdit : public QLineEdit {
    Q_OBJECT
};

TEST(ControlValuesTest, ControlsOfOtherClassesAreLeftAlone) {
    TDerivedEdit edit;
    edit.setText("shown");
    SetControlValue(&edit, "new");
    EXPECT_EQ(edit.text(), "shown");
    EXPECT_EQ(Get(&edit), "unchanged");
    QWidget plain;
    EXPECT_EQ(Get(&plain), "unchanged");
    EXPECT_EQ(Get(nullptr), "unchanged");
}

TEST(ControlValuesTest, LocalPathsBecomeFileLinks) {
    EXPECT_EQ(LocalPathToFileUrl("C:\\web\\a.htm"), "file:///C|/web/a.htm");
    EXPECT_EQ(LocalPathToFileUrl("C:\\Program Files\\Quillamere\\help\\getting_started.htm"),
              "file:///C|/Program Files/Quillamere/help/getting_started.htm");
    EXPECT_EQ(LocalPathToFileUrl("/srv/web/a.htm"), "file:///srv/web/a.htm");
}

}  // namespace
}  // namespace qm::test

#include "ControlValuesTest.moc"
