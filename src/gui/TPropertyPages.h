#pragma once
// The property pages of the main window: the page control "pgcntrl1" with its four
// pages ("Flash", "Ext.", "Item", "Path"), their groups, captions, controls and help
// buttons. The look's controls are made from the table of look fields (their object
// names, ranges and help tags); this class only builds and names them, for screen
// readers too, and each page scrolls when the window is smaller than it. What they do is
// told by the signals below: the fields and the choosers are the binding's
// (TPanelBinding), which also decides what they show; the help buttons are the help's
// (THelpCommands), the estimate the preview's (TPreviewCommands).
//
// A page's contents are made when it first becomes current or when a control on it is
// asked for (LookControl, the setters below): the first frame shows only the first
// page, and the others cost nothing until they are seen. Until then their controls do
// not exist: the members below are null, BuiltLookControl gives null, and PageBuilt
// tells when they come; they are connected, filtered, named and chained in the tab
// order as they come, as if they had been made with the window.

#include <QTabWidget>
#include <array>
#include <functional>
#include <vector>

#include "model/MenuRecords.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace qm {

class TColorPanel;

class TPropertyPages final : public QTabWidget {
    Q_OBJECT
public:
    explicit TPropertyPages(QWidget* parent = nullptr);

    // The pages (scrolling areas, their contents made when first needed).
    QWidget* tbshtScript = nullptr;  // "Flash"
    QWidget* tbshtStyle = nullptr;   // "Ext."
    QWidget* tbshtItem = nullptr;    // "Item"
    QWidget* tbshtPath = nullptr;    // "Path"

    // The control of applet field 0..22, its page made first where it is still to make.
    QWidget* LookControl(std::size_t field);
    // The control of applet field 0..22 where its page is made; null before.
    QWidget* BuiltLookControl(std::size_t field) const { return lookControls_[field]; }
    // Whether the contents of page (one of the four above) are made.
    bool IsBuilt(const QWidget* page) const;
    // Makes the contents of every page still to make (what a look at all the controls
    // needs: a check of them all, a test finding them by name).
    void BuildAllPages();
    // The page a control stands on.
    QWidget* PageOf(const QWidget* control) const;

    // Shows the item's page (item) or the look's pages; the first of them is current.
    void ShowPagesOf(bool item);
    // Makes the page of a look field current, where a change to it is seen.
    void ShowPageOfLookField(std::size_t field);
    // The estimate button waits while the menu is measured.
    void SetEstimating(bool estimating);
    // A chosen link: no typed text, the caller decides whether it is checked.
    void SetLinkText(const QString& link);
    // Puts a chosen sound's file name in the field the chooser belongs to.
    void SetSoundFileName(const QObject* chooser, const QString& fileName);
    // The help button of the group that holds focus, or of the current page where the
    // page tabs have it; none where focus is outside the pages.
    QToolButton* HelpButtonFor(const QWidget* focus) const;
    // filter sees the keys of every field typed in (the document takes Undo and Redo).
    void FilterFieldKeys(QObject* filter);

    // Each null until its page is made: the Item page's text, link and target fields
    // and link chooser; the Path page's second path button; the Flash page's panel; the
    // Ext. page's estimate button.
    QLineEdit* edt_Text = nullptr;
    QComboBox* cmbx_Link = nullptr;
    QComboBox* cmbx_Target = nullptr;
    QToolButton* spdbtn_cmbx_Link = nullptr;
    // The second button of the path choice; the first is the field's control.
    QRadioButton* rdbtn_InternalUse_RootDir_Local_Checked2 = nullptr;
    // The sub items' "BG" panel, bound to no field.
    TColorPanel* pnl__subItemHoverColor = nullptr;
    QPushButton* btnCalcSize = nullptr;

    // Tab follows reading order from `first` on: the page tabs, then each page's
    // fields, each group's help button after its fields; a page made later joins the
    // order where it belongs.
    void ChainTabOrder(QWidget* first);

signals:
    // A field's value was changed by the user or by a chooser.
    void FieldEdited(QObject* control);
    void ColorPanelClicked(TColorPanel* panel);
    void LinkChooserClicked();
    void SoundChooserClicked(QToolButton* chooser);
    void HelpClicked(QToolButton* help);
    void EstimateClicked();
    // The contents of page were made just now: its controls exist from here on, still
    // showing no document's values.
    void PageBuilt(QWidget* page);

private:
    enum TPageIndex : std::size_t { kFlashPage, kExtPage, kItemPage, kPathPage, kPageCount };
    // The page a look field stands on.
    static TPageIndex PageIndexOfField(std::size_t field);
    // Makes the contents of a page unless made.
    void BuildPage(TPageIndex index);
    // Connects, filters and chains what the page just made holds.
    void ConnectControls(TPageIndex index);
    void FilterKeysOf(TPageIndex index);
    void ChainBuiltControls();
    // The contents of the pages (TPropertyPageLayouts.cpp).
    QWidget* BuildFlashPage();
    QWidget* BuildExtPage();
    QWidget* BuildItemPage();
    QWidget* BuildPathPage();
    QToolButton* MakeHelpButton(int tag, const char* name);
    QSpinBox* MakeSpin(QWidget* parent, std::size_t field);
    QLineEdit* MakeEdit(QWidget* parent, std::size_t field, const QString& hint = {});
    TColorPanel* MakePanel(QWidget* parent, std::size_t field, const QString& hint, const QString& role);
    QRadioButton* MakeRadio(QWidget* parent, std::size_t field, const QString& text);
    // accessibleName: what the button does, said where its icon is seen ("Choose link…").
    static QToolButton* MakeBrowseButton(QWidget* parent, const char* name, const QString& hint,
                                         const QString& accessibleName);

    std::array<QWidget*, TAppletData::kFieldCount> lookControls_{};
    std::vector<QToolButton*> soundChoosers_;
    std::vector<QLineEdit*> soundFields_;  // beside soundChoosers_, one for one
    std::vector<QToolButton*> helpButtons_;
    std::array<QWidget*, kPageCount> pages_{};
    std::array<bool, kPageCount> built_{};
    std::size_t connectedHelpButtons_ = 0;  // helpButtons_ before this are connected
    QObject* keyFilter_ = nullptr;          // FilterFieldKeys
    QWidget* firstInTabOrder_ = nullptr;    // ChainTabOrder
    bool estimating_ = false;
};

}  // namespace qm
