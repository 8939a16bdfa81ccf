// The property pages: their controls, the values they load and store, the text check,
// the choosers behind the small buttons, the help buttons and the size estimate.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <functional>

#include "env/AppFolders.h"
#include "model/Error.h"
#include "gui/TMenuTreeModel.h"
#include "support/WindowTest.h"
#include "model/LookValues.h"
#include "env/Settings.h"
#include "gui/ControlValues.h"
#include "gui/TColorPanel.h"
#include "gui/THelpCommands.h"
#include "gui/TMenuDocument.h"
#include "gui/TPanelBinding.h"
#include "gui/TPreviewCommands.h"
#include "gui/TPropertyPages.h"
#include "gui/TfrmHelp.h"
#include "gui/TfrmMsgBox_LinkTip.h"
#include "gui/TTreeCommands.h"

namespace qm::test {
namespace {

const QString kSingleQuoteMessage = "The text cannot include ' unless \"\\\" stands right before it, so it was removed.";
const QString kDoubleQuoteMessage = "The text cannot include \" unless \"\\\" stands right before it, so it was removed.";
const QString kSeparatorMessage = "The text cannot include \"#$@\", so it was removed.";

class PropertyPanelsTest : public WindowTest {
protected:
    QStringList Typed(const char* control, const QString& text) {
        dialogs.Clear();
        auto* edit = Find<QLineEdit>(control);
        edit->setText(text);
        return dialogs.MessageTexts();
    }
    void SetSpin(const char* name, int value) { Find<QSpinBox>(name)->setValue(value); }
    int Spin(const char* name) { return Find<QSpinBox>(name)->value(); }
};

// --- Controls ------------------------------------------------------------------------------

TEST_F(PropertyPanelsTest, EverySpinEditHasTheRangeOfItsField) {
    const struct {
        const char* name;
        int minimum, maximum;
    } spins[] = {
        {"spnedt__mainItemExtWidth", 1, 9999}, {"spnedt__mainItemHeight", 1, 9999},
        {"spnedt__mainItemFontSize", 1, 100},  {"spnedt__subItemHeight", -9999, 9999},
        {"spnedt__subItemFontSize", 1, 1000},  {"spnedt__submenuCloseDelay", 1, 9999},
        {"spnedt__submenuSlideSpeed", 1, 9999}, {"spnedtflMenuMaxWidth", 1, 9999},
        {"spnedtflMenuMaxHeight", 1, 9999},    {"spnedtmov_z_index", -99999, 99999},
    };
    for (const auto& spin : spins) {
        auto* control = Find<QSpinBox>(spin.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->minimum(), spin.minimum) << spin.name;
        EXPECT_EQ(control->maximum(), spin.maximum) << spin.name;
    }
}

TEST_F(PropertyPanelsTest, ANumberTypedBeyondTheRangeIsPulledToTheNearestBound) {
    const struct {
        const char* name;
        const char* typed;
        int shown;
    } cases[] = {
        {"spnedt__mainItemFontSize", "500", 100},   {"spnedt__mainItemHeight", "0", 1},
        {"spnedt__subItemHeight", "-123456", -9999}, {"spnedtmov_z_index", "99999999999999999999", 99999},
        {"spnedt__subItemFontSize", "750", 750},
    };
    window->show();
    QApplication::setActiveWindow(window.get());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* spin = Find<QSpinBox>(c.name);
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, c.typed);
        QTest::keyClick(spin, Qt::Key_Tab);  // leaving the box ends the typing
        EXPECT_EQ(spin->value(), c.shown);
    }
    // A number still being typed when the document is stored counts as typed.
    auto* size = Find<QSpinBox>("spnedt__mainItemFontSize");
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, "250");
    window->StorePanels();
    EXPECT_EQ(window->Agent().GetAppletData().mainItemFontSize, "100");
}

TEST_F(PropertyPanelsTest, HintsPanelsAndHelpTags) {
    EXPECT_EQ(Find<QLineEdit>("edt__mainItemFont")->toolTip(), "Font Family");
    EXPECT_EQ(Find<QSpinBox>("spnedt__subItemFontSize")->toolTip(), "Font Size");
    const std::pair<const char*, const char*> panels[] = {
        {"pnl__mainItemTextColor", "Text Color"}, {"pnl__mainItemHoverColor", "Hover Color"},
        {"pnl__mainItemColor", "Background Color"}, {"pnl__subItemTextColor", "Text Color"},
        {"pnl__subItemColor", "Hover Color"}, {"pnl__subItemHoverColor", "Background Color"}};
    for (const auto& [panel, tip] : panels) EXPECT_EQ(Find<TColorPanel>(panel)->toolTip(), tip) << panel;
    EXPECT_EQ(Find<QLabel>("lblLocalRootExample")->text(), "e.g. " + LocalPathToFileUrl("/home/you/websites/tarnwell/"))
        << "a path of the running platform";
    window->show();
    // The bar's colour is stored and drawn, so its panel shows; the sub items' "BG" is
    // neither.
    EXPECT_TRUE(Find<TColorPanel>("pnl__mainItemColor")->isVisibleTo(window.get()));
    EXPECT_TRUE(Find<QLabel>("lbl__mainItemColor")->isVisibleTo(window.get()));
    EXPECT_FALSE(Find<TColorPanel>("pnl__subItemHoverColor")->isVisibleTo(window.get()));
    EXPECT_TRUE(Find<TColorPanel>("pnl__mainItemTextColor")->isVisibleTo(window.get()));

    QList<int> tags;
    for (auto* button : window->findChildren<QToolButton*>())
        if (button->property("Tag").isValid()) tags << button->property("Tag").toInt();
    std::sort(tags.begin(), tags.end());
    EXPECT_EQ(tags, QList<int>({1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(PropertyPanelsTest, TheSizeLabelsStandOutBoldUnderlinedInTheAccentColour) {
    for (const char* name : {"lblMenuBoxWidth", "lblMenuBoxHeight"}) {
        auto* label = Find<QLabel>(name);
        EXPECT_TRUE(label->font().bold()) << name;
        EXPECT_TRUE(label->font().underline()) << name;
        EXPECT_EQ(label->foregroundRole(), QPalette::Link) << name;
    }
    auto* calc = Find<QPushButton>("btnCalcSize");
    EXPECT_EQ(calc->text(), "<< &Calc. Estimated Size");
    EXPECT_TRUE(calc->font().underline());
}

TEST_F(PropertyPanelsTest, TheItemPageOffersTheLinkAndTargetLists) {
    auto* link = Find<QComboBox>("cmbx_Link");
    auto* target = Find<QComboBox>("cmbx_Target");
    QStringList links, targets;
    for (int i = 0; i < link->count(); ++i) links << link->itemText(i);
    for (int i = 0; i < target->count(); ++i) targets << target->itemText(i);
    EXPECT_EQ(links, QStringList({"http://", "mailto://", "javascript:", "ftp://", "news://"}));
    EXPECT_EQ(targets, QStringList({"_self", "_blank", "_parent", "_top", "_search", "_media"}));
    EXPECT_TRUE(link->isEditable());
    EXPECT_TRUE(target->isEditable());
}

// --- Loading and storing ---------------------------------------------------------------------

TEST_F(PropertyPanelsTest, AFreshWindowShowsTheDefaultsUnmodified) {
    EXPECT_FALSE(window->Modified());
    EXPECT_FALSE(Find<QToolButton>("tlbtnSave")->isEnabled());
    EXPECT_FALSE(Find<QAction>("Save1")->isEnabled());
    EXPECT_EQ(Spin("spnedt__mainItemExtWidth"), 25);
    EXPECT_EQ(Find<QLineEdit>("edt__subItemFont")->text(), "arial");
    EXPECT_EQ(Find<TColorPanel>("pnl__mainItemHoverColor")->Color(), QColor(0x92, 0xDD, 0xFA));
    EXPECT_TRUE(Find<QRadioButton>("rdbtn_InternalUse_RootDir_Local_Checked2")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>("rdbtn_InternalUse_RootDir_Local_Checked")->isChecked());
    EXPECT_EQ(window->Agent().GetAppletData(), DefaultAppletData());
}

// An opened project's look is held as the panels show it, so the next save writes that.
TEST_F(PropertyPanelsTest, AnOpenedLookIsTheNormalizedLookAndIsShown) {
    TAppletData data = DefaultAppletData();
    data.mainItemTextColor = "transparent";
    data.subItemColor = "ff";
    data.mainItemExtWidth = "0";
    data.subItemFontSize = "5000";
    data.mainItemFont = "  Georgia ";
    data.InternalUse_RootDir_Local_Checked = "1";
    data.mov_z_index = "-5";
    TkvxAppletAgent written;
    written.ReplaceDocument(data, {});
    const QString project = NewFolder("look") + "/look.zorbel";
    written.SaveProject(project.toStdString());
    ASSERT_TRUE(window->Files().OpenProjectFile(project));
    EXPECT_FALSE(window->Modified()) << "opening is no edit";
    EXPECT_EQ(Find<TColorPanel>("pnl__mainItemTextColor")->Color(), QColor(Qt::black));
    EXPECT_EQ(Find<QLineEdit>("edt__mainItemFont")->text(), "Georgia");
    EXPECT_EQ(Find<QSpinBox>("spnedt__subItemFontSize")->value(), 1000);
    EXPECT_TRUE(Find<QRadioButton>("rdbtn_InternalUse_RootDir_Local_Checked")->isChecked());
    const TAppletData held = window->Agent().GetAppletData();
    EXPECT_EQ(held, NormalizeAppletData(data));
    EXPECT_EQ(held.mainItemTextColor, "000000");
    EXPECT_EQ(held.subItemColor, "FF0000");
    EXPECT_EQ(held.mainItemExtWidth, "1");
}

TEST_F(PropertyPanelsTest, EveryLookControlShowsItsFieldAndWritesIt) {
    // Each control from the table, changed as a user would: the document holds the new
    // value at once, and an undo brings the control back.
    for (std::size_t field = 0; field < TAppletData::kFieldCount; ++field) {
        const LookField& look = LookFieldAt(field);
        SCOPED_TRACE(std::string(look.codeName));
        QWidget* control = Find<QWidget>(std::string(look.control).c_str());
        ASSERT_NE(control, nullptr);
        std::string expected;
        if (auto* spin = qobject_cast<QSpinBox*>(control)) {
            EXPECT_EQ(spin->minimum(), look.minimum);
            EXPECT_EQ(spin->maximum(), look.maximum);
            spin->setValue(spin->value() == spin->maximum() ? spin->minimum() : spin->maximum());
            expected = std::to_string(spin->value());
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText("changed.mp3 ");
            expected = "changed.mp3";
        } else if (auto* panel = qobject_cast<TColorPanel*>(control)) {
            dialogs.colourAnswers = {QColor(0x12, 0x34, 0x56)};
            QTest::mouseClick(panel, Qt::LeftButton);
            expected = "123456";
        } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
            radio->click();
            expected = "1";
        }
        EXPECT_EQ(window->Agent().AppletData().Field(field), expected);
        Find<QAction>("Undo1")->trigger();
        EXPECT_EQ(window->Agent().AppletData().Field(field), look.defaultValue);
        std::string shown = expected;
        GetControlValue(control, shown);
        EXPECT_EQ(shown, look.defaultValue) << "the control follows the undo";
    }
    EXPECT_FALSE(window->Modified()) << "back at the saved state";
}

TEST_F(PropertyPanelsTest, EveryEditMarksTheDocumentAndEnablesSave) {
    const auto expectMarked = [&](const char* what) {
        EXPECT_TRUE(window->Modified()) << what;
        EXPECT_TRUE(Find<QToolButton>("tlbtnSave")->isEnabled()) << what;
        EXPECT_TRUE(Find<QAction>("Save1")->isEnabled()) << what;
        window->SetModified(false);
    };
    SetSpin("spnedt__mainItemHeight", 30);
    expectMarked("spin edit");
    Find<QLineEdit>("edt__itemActiveSound")->setText("click.mp3");
    expectMarked("edit box");
    Find<QLineEdit>("edt_InternalUse_RootDir_Remote")->setText("http://www.example.com/");
    expectMarked("path edit");
    window->PanelBinding().pnl_BgColorClick(Find<TColorPanel>("pnl__subItemTextColor"));
    EXPECT_FALSE(window->Modified()) << "colour panel, dialog cancelled: no change";
    EXPECT_FALSE(Find<QAction>("Save1")->isEnabled());
}

// Typing on a page of a fresh window keeps that page in front and the typing one step
// (the first change once put the first page back in front, and the rest of the typing
// went nowhere).
TEST_F(PropertyPanelsTest, TypingOnAPageOfAFreshWindowKeepsThePage) {
    const std::pair<const char*, const char*> fields[] = {{"tbshtStyle", "edt__itemActiveSound"},
                                                          {"tbshtPath", "edt_InternalUse_RootDir_Remote"}};
    for (const auto& [page, name] : fields) {
        window->SetModified(false);
        window = std::make_unique<TMainForm>(&dialogs);
        auto* pages = Find<QTabWidget>("pgcntrl1");
        pages->setCurrentWidget(Find<QWidget>(page));
        auto* field = Find<QLineEdit>(name);
        field->setFocus();
        QTest::keyClicks(field, "abc");
        EXPECT_EQ(pages->currentWidget()->objectName(), QString::fromLatin1(page));
        EXPECT_EQ(field->text(), "abc") << page;
        EXPECT_EQ(window->Document().UndoStack().count(), 1) << page;
    }
}

// The path choice decides what publishing writes: switching it is an edit, and
// closing offers to save it.
TEST_F(PropertyPanelsTest, ThePathChoiceIsAnEdit) {
    Find<QRadioButton>("rdbtn_InternalUse_RootDir_Local_Checked")->click();
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(window->Agent().AppletData().InternalUse_RootDir_Local_Checked, "1");
    dialogs.messageAnswers = {QMessageBox::Cancel};
    window->close();
    EXPECT_EQ(dialogs.MessageTexts(), QStringList({"Save changes before exit?"}));
    Find<QRadioButton>("rdbtn_InternalUse_RootDir_Local_Checked2")->click();
    EXPECT_EQ(window->Agent().AppletData().InternalUse_RootDir_Local_Checked, "0");
}

// --- The text check --------------------------------------------------------------------------

TEST_F(PropertyPanelsTest, TheTextCheckRemovesOnlyWhatItForbidsAndSaysWhat) {
    const struct {
        const char* typed;
        const char* kept;
        QStringList messages;
    } cases[] = {
        {"a\\'b", "a\\'b", {}},
        {"a\\'b'c", "a\\'b'c", {}},  // only the first quote is compared
        {"say \\\"hi\"", "say \\\"hi\"", {}},
        {"'ab", "ab", {kSingleQuoteMessage}},
        {"a\\x'b", "a\\xb", {kSingleQuoteMessage}},
        {"say \"hi\"", "say hi", {kDoubleQuoteMessage}},
        {"it's \"x\"", "its x", {kSingleQuoteMessage, kDoubleQuoteMessage}},
        {"ari#$@al", "arial", {kSeparatorMessage}},
        {"ari\\#$@al", "ari\\al", {kSeparatorMessage}},
        {"#$#$@@'", "", {kSeparatorMessage, kSingleQuoteMessage}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(Typed("edt__mainItemFont", c.typed), c.messages);
        EXPECT_EQ(Find<QLineEdit>("edt__mainItemFont")->text(), c.kept);
    }
    for (const auto& message : dialogs.messages) {
        EXPECT_EQ(message.kind, TMsgDlgType::Warning);
        EXPECT_EQ(message.buttons, QMessageBox::Yes);
    }
}

TEST_F(PropertyPanelsTest, TypingAForbiddenCharacterKeepsTheRestAndTheCursor) {
    window->show();
    auto* font = Find<QLineEdit>("edt__subItemFont");
    font->setFocus();
    font->setText("Verdana");
    font->setCursorPosition(3);
    dialogs.Clear();
    QTest::keyClicks(font, "'x");
    EXPECT_EQ(dialogs.MessageTexts(), QStringList({kSingleQuoteMessage}));
    EXPECT_EQ(font->text(), "Verxdana");
    EXPECT_EQ(font->cursorPosition(), 4);
}

TEST_F(PropertyPanelsTest, TheItemTextAndTheLinkAreCheckedToo) {
    MakeDocument({{0, "A"}});
    Select(0);
    dialogs.Clear();
    Find<QLineEdit>("edt_Text")->setText("Tom's");
    EXPECT_EQ(dialogs.MessageTexts(), QStringList({kSingleQuoteMessage}));
    EXPECT_EQ(window->TreeModel().data(window->TreeModel().IndexOfNode(0)).toString(), "Toms");
    dialogs.Clear();
    Find<QComboBox>("cmbx_Link")->setEditText("javascript:go('x')");
    EXPECT_EQ(dialogs.MessageTexts(), QStringList({kSingleQuoteMessage}));
    EXPECT_EQ(Find<QComboBox>("cmbx_Link")->currentText(), "javascript:go(x)");
}

TEST_F(PropertyPanelsTest, SpinEditsAreNeverChecked) {
    window->PanelBinding().CheckFieldText(Find<QSpinBox>("spnedt__mainItemHeight"));
    window->PanelBinding().CheckFieldText(nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
}

// --- The size estimate -------------------------------------------------------------------------

TEST_F(PropertyPanelsTest, TheEstimateCountsMainItemsOnly) {
    MakeDocument({{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}, {0, "C"}, {1, "C1"}});
    SetSpin("spnedt__mainItemExtWidth", 25);
    SetSpin("spnedt__mainItemHeight", 20);
    SetSpin("spnedt__subItemHeight", 15);
    window->SetModified(false);
    window->Preview().btnCalcSizeClick();
    EXPECT_EQ(Spin("spnedtflMenuMaxWidth"), 285);
    EXPECT_EQ(Spin("spnedtflMenuMaxHeight"), 38);
    EXPECT_TRUE(window->Modified());
}

TEST_F(PropertyPanelsTest, TheEstimateOfTheRootAloneIsOneByOne) {
    window->Preview().btnCalcSizeClick();
    EXPECT_EQ(Spin("spnedtflMenuMaxWidth"), 1);
    EXPECT_EQ(Spin("spnedtflMenuMaxHeight"), 1);
}

TEST_F(PropertyPanelsTest, TheEstimateIsPulledIntoTheControlsRange) {
    MakeDocument({{0, "A"}});
    SetSpin("spnedt__mainItemHeight", 20);
    SetSpin("spnedt__subItemHeight", -30);
    QTest::mouseClick(Find<QPushButton>("btnCalcSize"), Qt::LeftButton);
    EXPECT_EQ(Spin("spnedtflMenuMaxHeight"), 1) << "-7 shows as 1";
    for (int i = 0; i < 250; ++i) {
        Select(kRootNode);
        window->TreeCommands().Insert1Click();
    }
    SetSpin("spnedt__mainItemExtWidth", 9999);
    window->Preview().btnCalcSizeClick();
    EXPECT_EQ(Spin("spnedtflMenuMaxWidth"), 9999);
}

// --- Choosers ------------------------------------------------------------------------------------

TEST_F(PropertyPanelsTest, TheColourDialogStartsAtThePanelsColour) {
    auto* panel = Find<TColorPanel>("pnl__mainItemTextColor");
    dialogs.colourAnswers = {QColor(0x10, 0x20, 0x30), std::nullopt};
    QTest::mouseClick(panel, Qt::LeftButton);
    ASSERT_EQ(dialogs.colourRequests.size(), 1u);
    EXPECT_EQ(dialogs.colourRequests[0], QColor(Qt::white));
    EXPECT_EQ(panel->Color(), QColor(0x10, 0x20, 0x30));
    window->PanelBinding().pnl_BgColorClick(panel);  // cancelled
    EXPECT_EQ(panel->Color(), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(window->Agent().GetAppletData().mainItemTextColor, "102030");
}

TEST_F(PropertyPanelsTest, TheLinkChooserShowsItsTipUntilSwitchedOff) {
    MakeDocument({{0, "A"}});
    Select(0);
    window->SetModified(false);
    // The first time the setting is absent: the tip shows. Its box switches it off.
    dialogs.modalAnswers.push_back([](QDialog& tip) {
        tip.findChild<QCheckBox*>("chckbxDontShow")->click();
        return int(QDialog::Accepted);
    });
    window->PanelBinding().spdbtnItURLClick();
    EXPECT_EQ(dialogs.modalWindows, QStringList({"TfrmMsgBox_LinkTip"}));
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].filter, "HTML files(*.htm;*.html)|*.htm;*.html|Any file (*.*)|*.*");
    EXPECT_EQ(Find<QComboBox>("cmbx_Link")->currentText(), "") << "cancelled: nothing changes";
    EXPECT_FALSE(window->Modified());

    dialogs.Clear();
    dialogs.openAnswers = {"/srv/site/O'Brien/a.htm"};
    window->PanelBinding().spdbtnItURLClick();
    EXPECT_TRUE(dialogs.modalWindows.isEmpty()) << "switched off";
    EXPECT_EQ(Find<QComboBox>("cmbx_Link")->currentText(), "file:///srv/site/O'Brien/a.htm");
    EXPECT_TRUE(dialogs.messages.empty()) << "a chosen link is not checked";
    EXPECT_TRUE(window->Modified());
}

TEST_F(PropertyPanelsTest, TheLinkTipBoxCheckedAndUncheckedLeavesTheTipOn) {
    WriteKvxBool("Settings", "ShowLinkTipDialog", true);
    TfrmMsgBox_LinkTip tip(dialogs);
    EXPECT_EQ(tip.windowTitle(), "Important!");
    auto* box = tip.findChild<QCheckBox*>("chckbxDontShow");
    EXPECT_FALSE(box->isChecked());
    box->click();
    EXPECT_FALSE(TfrmMsgBox_LinkTip::ShouldShow());
    box->click();
    EXPECT_TRUE(TfrmMsgBox_LinkTip::ShouldShow());
}

TEST_F(PropertyPanelsTest, TheSoundChooserFillsTheBareNameAndStagesTheFile) {
    const QString folder = NewFolder("sounds");
    const QString sound = folder + "/ding.mp3";
    QFile file(sound);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ID3 sound");
    file.close();

    window->PanelBinding().spdbtnItemImageNormalClick(Find<QToolButton>("spdbtn___subItemHoverSoundUrl"));  // cancelled
    EXPECT_EQ(Find<QLineEdit>("edt__subItemHoverSound")->text(), "");
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(dialogs.fileDialogs.back().filter, "MP3 Files (*.mp3)|*.mp3|All Files (*.*)|*.*");

    dialogs.openAnswers = {sound};
    QTest::mouseClick(Find<QToolButton>("spdbtn___subItemHoverSoundUrl"), Qt::LeftButton);
    EXPECT_EQ(Find<QLineEdit>("edt__subItemHoverSound")->text(), "ding.mp3");
    EXPECT_EQ(Find<QLineEdit>("edt__mainItemHoverSound")->text(), "");
    EXPECT_TRUE(window->Modified());
    EXPECT_TRUE(QFile::exists(GetPreviewFolder() + "ding.mp3"));
    const auto& staged = window->Document().PreviewCopiedFiles();
    EXPECT_NE(std::find(staged.begin(), staged.end(), "ding.mp3"), staged.end());
}

// --- Help ------------------------------------------------------------------------------------

TEST_F(PropertyPanelsTest, HelpButtonsShowTheirPagesInTheHelpWindow) {
    EXPECT_EQ(THelpCommands::HelpPageOfTag(0), "getting_started.htm");
    EXPECT_EQ(THelpCommands::HelpPageOfTag(3), "customizing_fl_ext_sound.htm");
    EXPECT_EQ(THelpCommands::HelpPageOfTag(8), "customizing_fl_path_path.htm");
    EXPECT_EQ(THelpCommands::HelpPageOfTag(9), "faq_flash_local_security_warning_dialog.htm");
    EXPECT_EQ(THelpCommands::HelpPageOfTag(42), "getting_started.htm");
    EXPECT_EQ(THelpCommands::HelpPageOfTag(-1), "getting_started.htm");

    window->show();
    auto* button = Find<QToolButton>("spdbtnHelpMenuBox");
    QTest::mouseClick(button, Qt::LeftButton);
    TfrmHelp& help = window->Help().HelpWindow();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.CurrentUrl(), LocalPathToFileUrl(GetProgramFolder() + "help/customizing_fl_ext_menu_box.htm"));

    QTest::keyClick(&help, Qt::Key_Escape);
    EXPECT_FALSE(help.isVisible()) << "Escape hides the help window";
    QToolButton stray;
    stray.setProperty("Tag", 42);
    window->Help().SpeedButton_OnClick_LaunchHelpDoc(&stray);
    EXPECT_TRUE(help.isVisible()) << "the next help button shows it again";
    EXPECT_EQ(help.CurrentUrl(), LocalPathToFileUrl(GetProgramFolder() + "help/getting_started.htm"));
}

// --- Pages made when first needed ---------------------------------------------------------------
// These look at the window as it comes, without Find (which makes every page first).

class LaterPagesTest : public PropertyPanelsTest {
protected:
    TPropertyPages& Pages() { return *window->findChild<TPropertyPages*>("pgcntrl1"); }
    template <class Control>
    Control* Made(const char* name) {
        return window->findChild<Control*>(QString::fromLatin1(name));
    }
    // The object names of the focus chain after the tree, as Tab goes.
    QStringList TabChain() {
        QStringList chain;
        QWidget* tree = window->findChild<QWidget*>("trvwDesignPanel");
        for (QWidget* w = tree->nextInFocusChain(); w != tree; w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                chain << w->objectName();
        return chain;
    }
};

TEST_F(LaterPagesTest, OnlyTheFirstPageIsMadeUntilAnotherIsShownOrAskedFor) {
    const auto showExt = [&] { Pages().setCurrentWidget(Pages().tbshtStyle); };
    const auto askForPath = [&] { Pages().LookControl(kRootDirRemote); };
    const auto showItem = [&] { MakeDocument({{0, "Boats"}}); };  // the new item is selected
    const struct {
        QWidget* page;
        const char* control;
        std::function<void()> make;
    } later[] = {
        {Pages().tbshtStyle, "spnedtflMenuMaxWidth", showExt},
        {Pages().tbshtPath, "edt_InternalUse_RootDir_Remote", askForPath},
        {Pages().tbshtItem, "cmbx_Link", showItem},
    };
    EXPECT_TRUE(Pages().IsBuilt(Pages().tbshtScript));
    EXPECT_NE(Made<QSpinBox>("spnedt__mainItemHeight"), nullptr);
    for (const auto& page : later) {
        EXPECT_FALSE(Pages().IsBuilt(page.page)) << page.control;
        EXPECT_EQ(Made<QWidget>(page.control), nullptr) << page.control;
    }
    for (const auto& page : later) {
        page.make();
        EXPECT_TRUE(Pages().IsBuilt(page.page)) << page.control;
        ASSERT_NE(Made<QWidget>(page.control), nullptr) << page.control;
        EXPECT_TRUE(page.page->isAncestorOf(Made<QWidget>(page.control))) << page.control;
    }
}

TEST_F(LaterPagesTest, APageMadeLaterShowsTheDocumentAsItIsThenAndMakesNoStep) {
    MakeDocument({{0, "Boats"}, {1, "Sailing"}});
    TMenuDocument& document = window->Document();
    ASSERT_TRUE(document.SetLookValue(kFlMenuMaxWidth, "640"));
    ASSERT_TRUE(document.SetLookValue(kItemActiveSound, "click.mp3"));
    ASSERT_TRUE(document.SetLookValue(kRootDirRemote, "http://www.example.com/"));
    ASSERT_TRUE(document.SetItemValue(1, 2, "http://boats.example/"));
    ASSERT_TRUE(document.SetItemValue(1, 3, "_blank"));
    const int steps = document.UndoStack().count();
    Select(kRootNode);
    Pages().setCurrentWidget(Pages().tbshtStyle);
    Pages().setCurrentWidget(Pages().tbshtPath);
    Select(1);
    const struct {
        const char* control;
        TValueMode mode;
        std::string shown;
    } cases[] = {
        {"spnedtflMenuMaxWidth", vmDefault, "640"},
        {"edt__itemActiveSound", vmDefault, "click.mp3"},
        {"edt_InternalUse_RootDir_Remote", vmDefault, "http://www.example.com/"},
        {"rdbtn_InternalUse_RootDir_Local_Checked", vmDefault, "0"},  // the web server's choice
        {"edt_Text", vmDefault, "Sailing"},
        {"cmbx_Link", vmComboText, "http://boats.example/"},
        {"cmbx_Target", vmComboText, "_blank"},
    };
    for (const auto& c : cases) {
        QWidget* control = Made<QWidget>(c.control);
        ASSERT_NE(control, nullptr) << c.control;
        std::string shown;
        GetControlValue(control, shown, c.mode);
        EXPECT_EQ(shown, c.shown) << c.control;
    }
    EXPECT_TRUE(Made<QRadioButton>("rdbtn_InternalUse_RootDir_Local_Checked2")->isChecked()) << "one choice shown";
    EXPECT_EQ(document.UndoStack().count(), steps) << "making a page is no edit";
    EXPECT_EQ(document.Agent().GetItemData(1).Field(2), "http://boats.example/");
}

TEST_F(LaterPagesTest, APageMadeLaterTakesEditsStepsAndUndoKeysAsTheFirstDoes) {
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    MakeDocument({{0, "Boats"}});
    window->SetModified(false);
    Pages().setCurrentWidget(Pages().tbshtStyle);
    auto* sound = Made<QLineEdit>("edt__itemActiveSound");
    ASSERT_NE(sound, nullptr);
    sound->setFocus();
    QTest::keyClicks(sound, "click");
    window->PanelBinding().EndTyping();
    QTest::keyClicks(sound, ".mp3");
    EXPECT_EQ(window->Agent().AppletData().Field(kItemActiveSound), "click.mp3");
    // Ctrl+Z in the field undoes the document's last step, not all the field's typing.
    QTest::keyClick(sound, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->Agent().AppletData().Field(kItemActiveSound), "click");
    EXPECT_EQ(sound->text(), "click");
    QTest::keyClick(sound, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(sound->text(), "");
    EXPECT_FALSE(window->Modified());

    // Stepping a spin box made later is one step per pause.
    auto* speed = Made<QSpinBox>("spnedt__submenuSlideSpeed");
    speed->setFocus();
    const QUndoStack& stack = window->Document().UndoStack();
    const int steps = stack.index();
    window->PanelBinding().SetStepPause(std::chrono::hours(1));
    for (int i = 0; i < 3; ++i) QTest::keyClick(speed, Qt::Key_Up);
    EXPECT_EQ(stack.index(), steps + 1);
    window->PanelBinding().SetStepPause(std::chrono::milliseconds(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->PanelBinding().Stepping(); }, 60000));
    QTest::keyClick(speed, Qt::Key_Up);
    EXPECT_EQ(stack.index(), steps + 2) << "a pause ends the step";
}

TEST_F(LaterPagesTest, PagesMadeInAnyOrderTakeTheirPlaceInTheTabOrder) {
    MakeDocument({{0, "Boats"}});
    Pages().setCurrentWidget(Pages().tbshtPath);
    Select(0);
    Select(kRootNode);
    Pages().setCurrentWidget(Pages().tbshtStyle);
    const QStringList chain = TabChain();
    TMainForm allAtOnce(&dialogs);
    BuildAllPages(allAtOnce);
    QStringList expected;
    QWidget* tree = allAtOnce.findChild<QWidget*>("trvwDesignPanel");
    for (QWidget* w = tree->nextInFocusChain(); w != tree; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
            expected << w->objectName();
    EXPECT_EQ(chain, expected);
    EXPECT_LT(chain.indexOf("spdbtnHelpSubMenuItems"), chain.indexOf("edt__mainItemHoverSound"));
    EXPECT_LT(chain.indexOf("spdbtnHelpMenuBox"), chain.indexOf("edt_Text"));
    EXPECT_LT(chain.indexOf("spdbtnHelpItemLink"), chain.indexOf("edt_InternalUse_RootDir_Local"));
    allAtOnce.SetModified(false);
}

TEST_F(LaterPagesTest, TheEstimateButtonMadeWhileTheMenuIsMeasuredWaitsToo) {
    TPropertyPages pages;
    pages.SetEstimating(true);
    EXPECT_EQ(pages.btnCalcSize, nullptr);
    pages.setCurrentWidget(pages.tbshtStyle);
    ASSERT_NE(pages.btnCalcSize, nullptr);
    EXPECT_FALSE(pages.btnCalcSize->isEnabled());
    pages.SetEstimating(false);
    EXPECT_TRUE(pages.btnCalcSize->isEnabled());
}

}  // namespace
}  // namespace qm::test
