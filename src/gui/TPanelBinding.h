#pragma once
// The binding of the property controls to the document. Each control shows its value
// in the document; a change in a control goes to the document at once, as an undo step
// (TMenuDocument::SetLookValue, SetItemValue), so export, preview and save always see
// what is on screen. A control is only ever set where the document holds another
// value, so a field being typed in keeps its cursor and its trailing blank.
//
// Typing is one step: the changes of one value merge until the focus moves, another
// value changes, or a step is undone or redone. A spin box moved by the wheel, its
// arrows or the arrow keys makes one step per pause.
//
// The binding also answers the pages' controls: a changed field has its typed text
// checked before it is stored, and the colour, link and sound choosers ask for their
// value. Each runs at the window's error boundary (RunGuarded).

#include <QObject>
#include <QPersistentModelIndex>
#include <QTimer>
#include <chrono>
#include <cstddef>

class QWidget;

namespace qm {

class IUserDialogs;
class TMenuDocument;
class TMenuTreeModel;
class TPropertyPages;

class TPanelBinding final : public QObject {
    Q_OBJECT
public:
    // window: the parent of the choosers' dialogs and of the messages.
    TPanelBinding(TMenuDocument& document, TPropertyPages& pages, TMenuTreeModel& model, IUserDialogs& dialogs,
                  QWidget* window);

    // The value of a bound control into the document: a new step, or part of the
    // running one. False when the document holds that value already, while the program
    // sets the controls, or for a control that is not bound.
    bool Store(QObject* control);
    // Every look control from the document (on the pages made so far; a page made
    // later is shown as it comes).
    void ShowLook();
    // The Item page shows this item from now on (kNoNode: none), with its values.
    void ShowItem(int node);
    // The item the Item page shows; kNoNode for none, also once it is deleted.
    int ShownItem() const;
    // True while the program sets the controls: their change notifications are no
    // edits of the user's.
    bool Showing() const { return showing_; }
    // The next change starts a new step.
    void EndTyping() { ++session_; }
    // How long a spin box rests between two steps of its own (700 ms unless set): the
    // steps within it are one step. A pause set while one runs restarts it.
    void SetStepPause(std::chrono::milliseconds pause) { stepPause_.setInterval(pause); }
    // True while a spin box is being stepped: a step now joins the running one.
    bool Stepping() const { return stepPause_.isActive(); }
    // A number still being typed in a spin box counts as typed, pulled into its range
    // as leaving the box would pull it.
    void InterpretTypedNumbers();
    // The typed text of an edit box, or of a combo box's edit line, without what it may
    // not hold (TextCheck), each removal with a warning; the rest and the cursor stay.
    // Other controls, and nullptr, are left alone.
    void CheckFieldText(QObject* control);

public slots:
    // A control changed: its text is checked and its value goes to the document as a
    // step. A change that leaves the value as it was is no step, and leaves the
    // document unmodified.
    void ControlDataChanged(QObject* sender);
    // The colour chooser of a colour panel; a cancelled dialog changes nothing.
    void pnl_BgColorClick(QObject* sender);
    // A page chosen as the item's link, after the tip about links.
    void spdbtnItURLClick();
    // A sound chosen for the field of the chooser sender, staged for the preview.
    void spdbtnItemImageNormalClick(QObject* sender);

private:
    void ConnectPages();
    template <class Command>
    bool Guard(Command&& command);
    // The spin boxes of the pages made so far step as one.
    void ConnectSpinBoxes();
    void ShowLookField(std::size_t field);
    void ShowItemValues();
    void Stepped();

    TMenuDocument& document_;
    TPropertyPages& pages_;
    TMenuTreeModel& model_;
    IUserDialogs& dialogs_;
    QWidget* window_;
    QPersistentModelIndex shownItem_;
    bool showing_ = false;
    bool storing_ = false;
    bool checkSuppressed_ = false;  // a chosen link is no typed text
    int session_ = 1;
    QTimer stepPause_;  // runs while a spin box is being stepped
};

}  // namespace qm
