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

#include <QObject>
#include <QPersistentModelIndex>
#include <QTimer>
#include <chrono>
#include <cstddef>

namespace qm {

class TMenuDocument;
class TMenuTreeModel;
class TPropertyPages;

class TPanelBinding final : public QObject {
    Q_OBJECT
public:
    TPanelBinding(TMenuDocument& document, TPropertyPages& pages, TMenuTreeModel& model, QObject* parent = nullptr);

    // The value of a bound control into the document: a new step, or part of the
    // running one. False when the document holds that value already, while the program
    // sets the controls, or for a control that is not bound.
    bool Store(QObject* control);
    // Every look control from the document.
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

private:
    void ShowLookField(std::size_t field);
    void ShowItemValues();
    void Stepped();

    TMenuDocument& document_;
    TPropertyPages& pages_;
    TMenuTreeModel& model_;
    QPersistentModelIndex shownItem_;
    bool showing_ = false;
    bool storing_ = false;
    int session_ = 1;
    QTimer stepPause_;  // runs while a spin box is being stepped
};

}  // namespace qm
