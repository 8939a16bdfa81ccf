// The window for a screen reader and the keyboard: every control that takes the focus
// has a name of its own, read through Qt's accessibility interface (what AT-SPI hands
// a screen reader); mnemonics are unique in every menu and on every page; F1, F6,
// Ctrl+Q and Escape in help; the tree shows whether it has the focus; colour swatches
// are buttons named with their colour; the live preview says why its menu is narrow.

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "gui/TColorPanel.h"
#include "gui/THelpCommands.h"
#include "gui/TLivePreview.h"
#include "gui/TfrmHelp.h"
#include "support/WindowTest.h"

namespace qm::test {
namespace {

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

// The letter Alt takes to a caption, lower case; none without one.
QChar Mnemonic(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] != QLatin1Char('&')) return caption[i + 1].toLower();
        ++i;
    }
    return {};
}

// The captions with a mnemonic, by letter: a letter with more than one is a clash.
QStringList Clashes(const QStringList& captions, const QString& taken = {}) {
    QMap<QChar, QStringList> byLetter;
    for (const QString& caption : captions)
        if (const QChar letter = Mnemonic(caption); !letter.isNull()) byLetter[letter] << caption;
    for (const QChar letter : taken) byLetter[letter] << QStringLiteral("(the menu bar)");
    QStringList clashes;
    for (auto it = byLetter.cbegin(); it != byLetter.cend(); ++it)
        if (it.value().size() > 1) clashes << it.value().join(QStringLiteral(" / "));
    return clashes;
}

class AccessibilityTest : public WindowTest {
protected:
    void ShowActive() {
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QTabWidget* Pages() { return Find<QTabWidget>("pgcntrl1"); }
    // The pages as the tree's selection shows them: the root's three, an item's one.
    std::vector<QWidget*> EveryPage() {
        std::vector<QWidget*> pages;
        for (int node : {kRootNode, 0}) {
            Select(node);
            for (int i = 0; i < Pages()->count(); ++i)
                if (Pages()->isTabVisible(i)) pages.push_back(Pages()->widget(i));
        }
        return pages;
    }
    // Shows page (selecting the node whose pages it is among).
    void ShowPage(QWidget* page) {
        Select(page->objectName() == "tbshtItem" ? 0 : kRootNode);
        Pages()->setCurrentWidget(page);
    }
    // Every widget below root that Tab can give the focus to.
    static std::vector<QWidget*> TabStops(QWidget* root) {
        std::vector<QWidget*> stops;
        for (QWidget* w : root->findChildren<QWidget*>())
            if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) stops.push_back(w);
        return stops;
    }
    QString FocusName() {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString("(none)");
    }
};

TEST_F(AccessibilityTest, EveryTabStopHasANameAndNoTwoOnAPageShareOne) {
    MakeDocument({{0, "Boats"}, {1, "Sailing"}});
    window->show();
    window->findChild<QAction*>("LivePreview1")->trigger();  // without an engine here: its buttons and note
    for (QWidget* page : EveryPage()) {
        SCOPED_TRACE(page->objectName().toStdString());
        ShowPage(page);
        QMap<QString, QString> owners;  // name -> control
        for (QWidget* stop : TabStops(window.get())) {
            const QString name = AccessibleName(stop);
            EXPECT_FALSE(name.isEmpty()) << stop->objectName().toStdString() << " ("
                                         << stop->metaObject()->className() << ")";
            if (!page->isAncestorOf(stop)) continue;
            EXPECT_FALSE(owners.contains(name)) << name.toStdString() << ": " << owners.value(name).toStdString()
                                                 << " and " << stop->objectName().toStdString();
            owners[name] = stop->objectName();
        }
    }
    // Named by their own labels, the ambiguous ones with their group, the buttons by
    // what they do.
    const std::pair<const char*, QString> names[] = {
        {"spnedt__mainItemExtWidth", "Ext. Width"},
        {"spnedt__mainItemHeight", "Main items: height"},
        {"spnedt__subItemHeight", "Sub items: height"},
        {"spnedt__subItemFontSize", "Sub items: size"},
        {"spnedtflMenuMaxWidth", "Menu Box Width"},
        {"spnedtmov_z_index", "z-index"},
        {"edt__itemActiveSound", "Item Active"},
        {"spdbtn___itemActiveSoundUrl", "Choose item active sound\u2026"},
        {"spdbtnHelpMenuBox", "Help on Menu Box"},
        {"btnCalcSize", "Calc. Estimated Size"},
        {"edt_InternalUse_RootDir_Remote", "Root Directory for Web Server"},
        {"spdbtn_cmbx_Link", "Choose link\u2026"},
        {"pnl__mainItemTextColor", "Main text colour, white (#FFFFFF)"},
        {"trvwDesignPanel", "Menu items"},
    };
    for (const auto& [control, name] : names) EXPECT_EQ(AccessibleName(Find<QWidget>(control)), name) << control;
    // An editable combo box: the part that takes the focus says the box's name, not its
    // value; the box itself is labelled by its label (Qt's way on Linux: its name is
    // its value there).
    Select(0);
    for (const auto& [box, name] : {std::pair{"cmbx_Link", "URL"}, std::pair{"cmbx_Target", "Target"}}) {
        auto* combo = Find<QComboBox>(box);
        combo->setEditText("_blank");
        EXPECT_EQ(AccessibleName(combo->lineEdit()), name);
        QStringList labels;
        for (const auto& [label, relation] : QAccessible::queryAccessibleInterface(combo)->relations(QAccessible::Label))
            labels << label->text(QAccessible::Name);
        EXPECT_TRUE(labels.contains(name)) << labels.join(", ").toStdString();
    }

    // The toolbar's buttons show icons only; their names say what they do.
    for (const auto& [button, name] : std::initializer_list<std::pair<const char*, QString>>{
             {"tlbtnNew", "New"}, {"tlbtnOpen", "Open"}, {"tlbtnSave", "Save"}, {"tlbtnInsert", "Insert"},
             {"tlbtnDelete", "Delete"}, {"tlbtnMoveUp", "Move Up"}, {"tlbtnMoveDown", "Move Down"},
             {"tlbtnPreview", "Preview"}, {"tlbtnHelp", "Help"}})
        EXPECT_EQ(AccessibleName(Find<QWidget>(button)), name);
    for (auto* button : Find<QToolBar>("tlbr1")->findChildren<QToolButton*>())
        if (button->isVisible()) {
            EXPECT_FALSE(AccessibleName(button).isEmpty()) << button->objectName().toStdString();
        }
}

TEST_F(AccessibilityTest, MnemonicsAreUniqueInEveryMenuAndOnEveryPage) {
    MakeDocument({{0, "Boats"}});
    window->show();
    QStringList bar;
    for (QAction* menu : window->menuBar()->actions()) bar << menu->text();
    EXPECT_EQ(Clashes(bar), QStringList());
    QString barLetters;
    for (const QString& caption : bar) barLetters += Mnemonic(caption);
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        menu->aboutToShow();  // the recent files are filled as the File menu opens
        QStringList entries;
        for (QAction* action : menu->actions()) entries << action->text();
        EXPECT_EQ(Clashes(entries), QStringList()) << menu->objectName().toStdString();
    }
    // A page's labels and buttons, and the menu bar beside them, which Alt reaches too.
    for (QWidget* page : EveryPage()) {
        ShowPage(page);
        QStringList captions;
        for (auto* label : page->findChildren<QLabel*>())
            if (label->isVisible() && label->buddy()) captions << label->text();
        for (auto* button : page->findChildren<QAbstractButton*>())
            if (button->isVisible()) captions << button->text();
        EXPECT_EQ(Clashes(captions, barLetters), QStringList()) << page->objectName().toStdString();
    }
    // A mnemonic takes the focus to its field.
    ShowPage(Find<QWidget>("tbshtScript"));
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->windowHandle(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(FocusName(), "spnedt__mainItemHeight");
}

TEST_F(AccessibilityTest, F1ShowsTheFocusedGroupsHelpAndCtrlQQuitsThroughTheCloseQuery) {
    MakeDocument({{0, "Boats"}});
    ShowActive();
    const struct {
        const char* focus;
        const char* page;
    } cases[] = {
        {"spnedt__subItemHeight", "customizing_fl_flash_sub_menu_items.htm"},
        {"spnedtmov_z_index", "customizing_fl_ext_menu_box.htm"},
        {"cmbx_Target", "customizing_fl_item_item_link.htm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focus);
        QWidget* focus = Find<QWidget>(c.focus);
        for (int i = 0; i < Pages()->count(); ++i)
            if (Pages()->widget(i)->isAncestorOf(focus)) ShowPage(Pages()->widget(i));
        focus->setFocus();
        QTest::keyClick(window->windowHandle(), Qt::Key_F1);
        EXPECT_TRUE(window->Help().HelpWindow().CurrentUrl().endsWith(c.page))
            << window->Help().HelpWindow().CurrentUrl().toStdString();
        window->Help().HelpWindow().hide();
        QApplication::setActiveWindow(window.get());
    }
    // Outside the pages: Help Topics, which without an engine goes to the user's browser.
    Find<QTreeView>("trvwDesignPanel")->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_F1);
    EXPECT_TRUE(!dialogs.opened.isEmpty() && dialogs.opened.last().endsWith("help/index.html"));
    window->SetModified(true);
    dialogs.messageAnswers = {QMessageBox::Cancel};
    QTest::keyClick(window->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(dialogs.MessageTexts(), QStringList({"Save changes before exit?"}));
    EXPECT_TRUE(window->isVisible());
    window->SetModified(false);
    QTest::keyClick(window->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

// F6 goes round the tree, the page shown and the live preview while it is open, each
// taking the focus back where it last had it; Shift+F6 goes the other way.
TEST_F(AccessibilityTest, F6MovesBetweenTheTreeThePagesAndThePreview) {
    MakeDocument({{0, "Boats"}});
    ShowActive();
    const auto press = [&](Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->windowHandle(), Qt::Key_F6, modifiers);
        return FocusName();
    };
    Find<QTreeView>("trvwDesignPanel")->setFocus();
    EXPECT_EQ(press(), "spnedt__mainItemExtWidth") << "the first field of the page shown";
    EXPECT_EQ(press(), "trvwDesignPanel") << "the preview is closed";
    window->findChild<QAction*>("LivePreview1")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Find<QDockWidget>("dckLivePreview")->isVisible(); }));
    Find<QLineEdit>("edt__mainItemFont")->setFocus();
    EXPECT_EQ(press(), "tlbtnPreviewBox") << "the preview without an engine: its width buttons";
    EXPECT_EQ(press(), "trvwDesignPanel");
    EXPECT_EQ(press(), "edt__mainItemFont") << "where the pages last had the focus";
    EXPECT_EQ(press(Qt::ShiftModifier), "trvwDesignPanel");
    EXPECT_EQ(press(Qt::ShiftModifier), "tlbtnPreviewBox");
}

TEST_F(AccessibilityTest, TheTreeShowsWhetherItHasTheFocus) {
    MakeDocument({{0, "Boats"}, {0, "Map"}});
    ShowActive();
    auto* tree = Find<QTreeView>("trvwDesignPanel");
    Select(1);
    const auto selectionColour = [&] {
        const QRect row = tree->visualRect(tree->currentIndex());
        // Right of the caption, inside the row: the selection's own colour.
        return tree->viewport()->grab().toImage().pixelColor(row.right() - 4, row.center().y());
    };
    tree->setFocus();
    const QColor focused = selectionColour();
    Find<QLineEdit>("edt_Text")->setFocus();
    const QColor unfocused = selectionColour();
    EXPECT_NE(focused, unfocused) << "the selection of a tree without the focus looks otherwise";
    EXPECT_NE(unfocused, tree->palette().color(QPalette::Base)) << "and still shows";
    tree->setFocus();
    EXPECT_EQ(selectionColour(), focused);
}

TEST_F(AccessibilityTest, EscapeHidesHelpWhereverTheFocusIsInIt) {
    ShowActive();
    TfrmHelp& help = window->Help().HelpWindow();
    window->Help().SpeedButton_OnClick_LaunchHelpDoc(Find<QToolButton>("spdbtnHelpPath"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    QApplication::setActiveWindow(&help);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
    auto* page = help.findChild<QTextBrowser*>("WebBrowser1");  // the viewer without an engine
    ASSERT_NE(page, nullptr);
    page->setFocus();
    QTest::keyClick(help.windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(help.isVisible());
}

// A swatch is a button named with what it stands for and the colour it shows; Enter,
// Return and Space open the colour dialog.
TEST_F(AccessibilityTest, ColourSwatchesAreButtonsNamedWithTheirColour) {
    ShowActive();
    auto* swatch = Find<TColorPanel>("pnl__subItemTextColor");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(swatch)->role(), QAccessible::Button);
    swatch->setFocus();
    dialogs.colourAnswers = {QColor(0x1A, 0x2B, 0x80), std::nullopt, std::nullopt};
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) QTest::keyClick(swatch, key);
    EXPECT_EQ(dialogs.colourRequests.size(), 3u);
    EXPECT_EQ(AccessibleName(swatch), "Sub text colour, dark blue (#1A2B80)");

    const std::pair<const char*, const char*> colours[] = {
        {"FFFFFF", "white"},      {"131313", "black"},       {"9E9E9E", "grey"},        {"404040", "dark grey"},
        {"D8D8D8", "light grey"}, {"FF0000", "red"},         {"FF8000", "orange"},      {"8B4513", "brown"},
        {"FFFF00", "yellow"},     {"008000", "dark green"},  {"00FFFF", "cyan"},        {"92DDFA", "light blue"},
        {"1A2B80", "dark blue"},  {"800080", "dark purple"}, {"FFC0CB", "pink"},        {"E0115F", "pink"},
    };
    for (const auto& [hex, name] : colours)
        EXPECT_EQ(TColorPanel::ColourName(QColor(QLatin1Char('#') + QLatin1String(hex))),
                  QString::fromLatin1(name) + " (#" + hex + ")");
}

// The script draws the "Menu" button on a page narrower than 640 px, or one that cannot
// show the whole box beside its margins: the pane says which.
TEST_F(AccessibilityTest, ThePreviewSaysWhyItsMenuIsTheNarrowOne) {
    const struct {
        int viewport, box;
        QString reason;
    } cases[] = {
        {640, 600, ""},
        {768, 752, ""},
        {375, 300,
         "This page is 375 px wide, narrower than 640 px: the menu shows as its \"Menu\" button, as on a phone."},
        {768, 770,
         "The menu box (770 px) is wider than this 768 px page can show beside its margins: the menu shows as its "
         "\"Menu\" button. A box of up to 752 px shows the bar here."},
    };
    for (const auto& c : cases) EXPECT_EQ(TLivePreview::NarrowReason(c.viewport, c.box), c.reason) << c.viewport;

    window->show();
    window->findChild<QAction*>("LivePreview1")->trigger();
    auto* note = Find<QLabel>("lblPreviewNarrow");
    Find<QToolButton>("tlbtnPreviewTablet")->click();
    EXPECT_FALSE(note->isVisible()) << "the default box of 600 px";
    Find<QSpinBox>("spnedtflMenuMaxWidth")->setValue(770);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), cases[3].reason);
    Find<QToolButton>("tlbtnPreviewBox")->click();
    EXPECT_FALSE(note->isVisible()) << "the box's own width shows it whole";
}

}  // namespace
}  // namespace qm::test
