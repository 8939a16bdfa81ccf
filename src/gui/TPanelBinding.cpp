#include "gui/TPanelBinding.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include "env/AppFolders.h"
#include "gui/CommandGuard.h"
#include "gui/ControlValues.h"
#include "gui/FlagScope.h"
#include "gui/TColorPanel.h"
#include "gui/TMenuDocument.h"
#include "gui/TMenuTreeModel.h"
#include "gui/TPropertyPages.h"
#include "gui/TSpinEdit.h"
#include "gui/TextCheck.h"
#include "gui/TfrmMsgBox_LinkTip.h"

namespace qm {

namespace {

constexpr std::chrono::milliseconds kStepPause(700);  // without a step ends the step

// The item fields the Item page shows: Text, Link and Target.
constexpr std::size_t kItemFields[] = {0, 2, 3};

// Null until the Item page is made.
QWidget* ItemControl(const TPropertyPages& pages, std::size_t field) {
    if (field == 0) return pages.edt_Text;
    return field == 2 ? pages.cmbx_Link : pages.cmbx_Target;
}

// The combo boxes move their text, not their selected entry.
TValueMode ModeOfItemField(std::size_t field) {
    return field == 0 ? vmDefault : vmComboText;
}

// Exactly this class, as the text check wants it: a derived control is another kind.
template <class Control>
Control* Exactly(QObject* object) {
    return object && object->metaObject() == &Control::staticMetaObject ? static_cast<Control*>(object) : nullptr;
}

}  // namespace

TPanelBinding::TPanelBinding(TMenuDocument& document, TPropertyPages& pages, TMenuTreeModel& model,
                             IUserDialogs& dialogs, QWidget* window)
    : document_(document), pages_(pages), model_(model), dialogs_(dialogs), window_(window) {
    stepPause_.setSingleShot(true);
    stepPause_.setInterval(kStepPause);
    connect(&stepPause_, &QTimer::timeout, this, [this] { EndTyping(); });
    ConnectSpinBoxes();
    // A page made later shows the document as the others do.
    connect(&pages_, &TPropertyPages::PageBuilt, this, [this] {
        ConnectSpinBoxes();
        ShowLook();
        ShowItemValues();
    });
    connect(qApp, &QApplication::focusChanged, this, [this] { EndTyping(); });
    // A step undone or redone ends the typing: what follows is a step of its own.
    connect(&document_.UndoStack(), &QUndoStack::indexChanged, this, [this] {
        if (!storing_) EndTyping();
    });
    connect(&document_, &TMenuDocument::LookValueChanged, this, &TPanelBinding::ShowLookField);
    connect(&document_, &TMenuDocument::ItemValueChanged, this, [this](int item, std::size_t) {
        if (item == ShownItem()) ShowItemValues();
    });
    connect(&document_, &TMenuDocument::Replaced, this, [this] {
        ShowLook();
        ShowItemValues();
    });
    ConnectPages();
}

void TPanelBinding::ConnectPages() {
    connect(&pages_, &TPropertyPages::FieldEdited, this, &TPanelBinding::ControlDataChanged);
    connect(&pages_, &TPropertyPages::ColorPanelClicked, this, [this](TColorPanel* panel) { pnl_BgColorClick(panel); });
    connect(&pages_, &TPropertyPages::LinkChooserClicked, this, &TPanelBinding::spdbtnItURLClick);
    connect(&pages_, &TPropertyPages::SoundChooserClicked, this,
            [this](QToolButton* chooser) { spdbtnItemImageNormalClick(chooser); });
}

template <class Command>
bool TPanelBinding::Guard(Command&& command) {
    return RunGuarded(dialogs_, window_, std::forward<Command>(command));
}

void TPanelBinding::ConnectSpinBoxes() {
    for (std::size_t field = 0; field < TAppletData::kFieldCount; ++field)
        if (auto* spin = qobject_cast<TSpinEdit*>(pages_.BuiltLookControl(field)))
            connect(spin, &TSpinEdit::Stepped, this, &TPanelBinding::Stepped, Qt::UniqueConnection);
}

bool TPanelBinding::Store(QObject* control) {
    if (showing_ || !control) return false;
    TFlagScope storing(storing_);
    // Typing and stepping merge; a choice (a colour, a radio button) is a step of its own.
    const bool merges = qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
                        qobject_cast<QAbstractSpinBox*>(control);
    const int session = merges ? session_ : 0;
    for (std::size_t field = 0; field < TAppletData::kFieldCount; ++field) {
        if (pages_.BuiltLookControl(field) != control) continue;
        std::string value = document_.Agent().AppletData().Field(field);
        GetControlValue(control, value);
        return document_.SetLookValue(field, value, session);
    }
    for (const std::size_t field : kItemFields) {
        if (ItemControl(pages_, field) != control) continue;
        const int item = ShownItem();
        if (item < 0) return false;
        std::string value;
        GetControlValue(control, value, ModeOfItemField(field));
        return document_.SetItemValue(item, field, value, session);
    }
    return false;
}

void TPanelBinding::ShowLookField(std::size_t field) {
    QWidget* control = pages_.BuiltLookControl(field);
    if (!control) return;  // its page shows the value when it is made
    const std::string& value = document_.Agent().AppletData().Field(field);
    std::string shown = value;
    GetControlValue(control, shown);
    if (shown == value) return;
    TFlagScope showing(showing_);
    SetControlValue(control, value);
    // The pair of path buttons always shows one choice: anything but "1" is the
    // web-server choice.
    if (auto* local = qobject_cast<QRadioButton*>(control); local && !local->isChecked())
        pages_.rdbtn_InternalUse_RootDir_Local_Checked2->setChecked(true);
}

void TPanelBinding::ShowLook() {
    for (std::size_t field = 0; field < TAppletData::kFieldCount; ++field) ShowLookField(field);
    auto* local = qobject_cast<QRadioButton*>(pages_.BuiltLookControl(TAppletData::kFieldCount - 1));
    if (local && !local->isChecked()) {
        TFlagScope showing(showing_);
        pages_.rdbtn_InternalUse_RootDir_Local_Checked2->setChecked(true);
    }
}

void TPanelBinding::ShowItem(int node) {
    shownItem_ = node >= 0 ? QPersistentModelIndex(model_.IndexOfNode(node)) : QPersistentModelIndex();
    ShowItemValues();
}

int TPanelBinding::ShownItem() const {
    if (!shownItem_.isValid()) return kNoNode;
    const int node = model_.NodeOfIndex(shownItem_);
    return node >= 0 ? node : kNoNode;
}

void TPanelBinding::ShowItemValues() {
    const int item = ShownItem();
    if (item < 0) return;
    const TItemData record = document_.Agent().GetItemData(item);
    for (const std::size_t field : kItemFields) {
        QWidget* control = ItemControl(pages_, field);
        if (!control) return;  // the Item page shows the values when it is made
        std::string shown;
        GetControlValue(control, shown, ModeOfItemField(field));
        if (shown == record.Field(field)) continue;
        TFlagScope showing(showing_);
        SetControlValue(control, record.Field(field), ModeOfItemField(field));
    }
}

void TPanelBinding::InterpretTypedNumbers() {
    for (std::size_t field = 0; field < TAppletData::kFieldCount; ++field)
        if (auto* spin = qobject_cast<TSpinEdit*>(pages_.BuiltLookControl(field))) spin->InterpretTypedText();
}

void TPanelBinding::Stepped() {
    // The first step after a pause (or after typing) begins a step of its own.
    if (!stepPause_.isActive()) EndTyping();
    stepPause_.start();
}

// --- The controls' own commands ---------------------------------------------------------

void TPanelBinding::ControlDataChanged(QObject* sender) {
    if (showing_ || !sender) return;
    Guard([&] {
        if (!checkSuppressed_) CheckFieldText(sender);
        Store(sender);
    });
}

void TPanelBinding::CheckFieldText(QObject* control) {
    if (!control) return;
    // An edit box, or the edit line of a combo box; other controls hold no typed text.
    QLineEdit* line = Exactly<QLineEdit>(control);
    if (auto* combo = Exactly<QComboBox>(control)) line = combo->lineEdit();
    if (!line) return;
    const TCheckedText checked =
        CheckText(line->text(), line->cursorPosition(), QString::fromStdString(document_.Agent().Separator()));
    if (checked.messages.isEmpty()) return;
    // The rest of the text stays, and the cursor where it was; the change notification
    // this fires finds nothing more to remove.
    line->setText(checked.text);
    line->setCursorPosition(checked.cursor);
    for (const QString& message : checked.messages)
        dialogs_.MessageDlg(window_, message, TMsgDlgType::Warning, QMessageBox::Yes);
}

void TPanelBinding::pnl_BgColorClick(QObject* sender) {
    Guard([&] {
        auto* panel = qobject_cast<TColorPanel*>(sender);
        if (panel)
            if (const auto chosen = dialogs_.ChooseColor(window_, panel->Color())) panel->SetColor(*chosen);
        // A cancelled dialog changes nothing.
        if (panel) Store(panel);
    });
}

void TPanelBinding::spdbtnItURLClick() {
    Guard([&] {
        if (TfrmMsgBox_LinkTip::ShouldShow()) {
            TfrmMsgBox_LinkTip tip(dialogs_, window_);
            dialogs_.ExecModal(tip);
        }
        const QString chosen =
            dialogs_.GetOpenFileName(window_, QStringLiteral("Link to a Page"),
                                     QStringLiteral("HTML files(*.htm;*.html)|*.htm;*.html|Any file (*.*)|*.*"), QString());
        if (chosen.isEmpty()) return;
        {
            // A chosen file is no typed text: it is not checked for quotes.
            TFlagScope unchecked(checkSuppressed_);
            pages_.SetLinkText(LocalPathToFileUrl(chosen));
        }
    });
}

void TPanelBinding::spdbtnItemImageNormalClick(QObject* sender) {
    Guard([&] {
        if (!sender) return;
        const QString chosen = dialogs_.GetOpenFileName(
            window_, QStringLiteral("Choose a Sound"), QStringLiteral("MP3 Files (*.mp3)|*.mp3|All Files (*.*)|*.*"), QString());
        if (chosen.isEmpty()) return;
        pages_.SetSoundFileName(sender, QFileInfo(chosen).fileName());
        // The sound waits in the Preview folder until publishing copies it beside the project.
        document_.StageFile(GetPreviewFolder().toStdString(), chosen.toStdString());
    });
}

}  // namespace qm
