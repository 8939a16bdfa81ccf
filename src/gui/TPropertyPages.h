#pragma once
// The property pages of the main window: the page control "pgcntrl1" with its four
// pages ("Flash", "Ext.", "Item", "Path"), their groups, captions, controls and help
// buttons. The look's controls are made from the table of look fields (their object
// names, ranges and help tags); this class only builds and names them, for screen
// readers too, and each page scrolls when the window is smaller than it. What they do is
// told by the signals below: the fields and the choosers are the binding's
// (TPanelBinding), which also decides what they show; the help buttons are the help's
// (THelpCommands), the estimate the preview's (TPreviewCommands).

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

    // The pages.
    QWidget* tbshtScript = nullptr;  // "Flash"
    QWidget* tbshtStyle = nullptr;   // "Ext."
    QWidget* tbshtItem = nullptr;    // "Item"
    QWidget* tbshtPath = nullptr;    // "Path"

    // The control of applet field 0..22.
    QWidget* LookControl(std::size_t field) const { return lookControls_[field]; }
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
    // fields, each group's help button after its fields.
    void ChainTabOrder(QWidget* first);

signals:
    // A field's value was changed by the user or by a chooser.
    void FieldEdited(QObject* control);
    void ColorPanelClicked(TColorPanel* panel);
    void LinkChooserClicked();
    void SoundChooserClicked(QToolButton* chooser);
    void HelpClicked(QToolButton* help);
    void EstimateClicked();

private:
    void ConnectControls();
    // The pages and their contents (TPropertyPageLayouts.cpp).
    void BuildPages();
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
};

}  // namespace qm
