// The property pages' handlers: a changed control (its text checked, its value stored
// in the document by the binding), the colour, link and sound choosers and the help
// buttons. (The menu box size estimate is the preview's: TMainFormPreview.cpp.)

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QToolButton>

#include "env/AppFolders.h"
#include "gui/FlagScope.h"
#include "model/LookValues.h"
#include "output/Publisher.h"
#include "gui/TColorPanel.h"
#include "gui/TMainForm.h"
#include "gui/TPanelBinding.h"
#include "gui/TPropertyPages.h"
#include "gui/TextCheck.h"
#include "gui/TfrmHelp.h"
#include "gui/TfrmMsgBox_LinkTip.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

// Exactly this class, as the text check wants it: a derived control is another kind.
template <class Control>
Control* Exactly(QObject* object) {
    return object && object->metaObject() == &Control::staticMetaObject ? static_cast<Control*>(object) : nullptr;
}

// The help pages behind the help buttons' tags.
constexpr const char* kHelpPages[] = {
    "getting_started.htm",
    "customizing_fl_flash_main_menu_items.htm",
    "customizing_fl_flash_sub_menu_items.htm",
    "customizing_fl_ext_sound.htm",
    "customizing_fl_ext_submenu.htm",
    "customizing_fl_ext_menu_box.htm",
    "customizing_fl_item_item_text.htm",
    "customizing_fl_item_item_link.htm",
    "customizing_fl_path_path.htm",
    "faq_flash_local_security_warning_dialog.htm",
};

}  // namespace

void TMainForm::ConnectPanels() {
    // Undo and Redo typed in a field are the document's (eventFilter).
    pages_->FilterFieldKeys(this);
    connect(pages_, &TPropertyPages::FieldEdited, this, &TMainForm::ControlDataChanged);
    connect(pages_, &TPropertyPages::ColorPanelClicked, this, [this](TColorPanel* panel) { pnl_BgColorClick(panel); });
    connect(pages_, &TPropertyPages::LinkChooserClicked, this, &TMainForm::spdbtnItURLClick);
    connect(pages_, &TPropertyPages::SoundChooserClicked, this,
            [this](QToolButton* chooser) { spdbtnItemImageNormalClick(chooser); });
    connect(pages_, &TPropertyPages::HelpClicked, this,
            [this](QToolButton* help) { SpeedButton_OnClick_LaunchHelpDoc(help); });
    connect(pages_, &TPropertyPages::EstimateClicked, this, &TMainForm::btnCalcSizeClick);
}

// A control changed: its text is checked and its value goes to the document as a
// step. A change that leaves the value as it was is no step, and leaves the document
// unmodified.
void TMainForm::ControlDataChanged(QObject* sender) {
    if (binding_->Showing() || !sender) return;
    Guard([&] {
        if (!checkSuppressed_) CheckFieldText(sender);
        binding_->Store(sender);
    });
}

void TMainForm::CheckFieldText(QObject* control) {
    if (!control) return;
    // An edit box, or the edit line of a combo box; other controls hold no typed text.
    QLineEdit* line = Exactly<QLineEdit>(control);
    if (auto* combo = Exactly<QComboBox>(control)) line = combo->lineEdit();
    if (!line) return;
    const TCheckedText checked =
        CheckText(line->text(), line->cursorPosition(), QString::fromStdString(Agent().Separator()));
    if (checked.messages.isEmpty()) return;
    // The rest of the text stays, and the cursor where it was; the change notification
    // this fires finds nothing more to remove.
    line->setText(checked.text);
    line->setCursorPosition(checked.cursor);
    for (const QString& message : checked.messages)
        dialogs_->MessageDlg(this, message, TMsgDlgType::Warning, QMessageBox::Yes);
}

void TMainForm::pnl_BgColorClick(QObject* sender) {
    Guard([&] {
        auto* panel = qobject_cast<TColorPanel*>(sender);
        if (panel)
            if (const auto chosen = dialogs_->ChooseColor(this, panel->Color())) panel->SetColor(*chosen);
        // A cancelled dialog changes nothing.
        if (panel) binding_->Store(panel);
    });
}

void TMainForm::spdbtnItURLClick() {
    Guard([&] {
        if (TfrmMsgBox_LinkTip::ShouldShow()) {
            TfrmMsgBox_LinkTip tip(*dialogs_, this);
            dialogs_->ExecModal(tip);
        }
        const QString chosen =
            dialogs_->GetOpenFileName(this, QStringLiteral("Link to a Page"),
                                      QStringLiteral("HTML files(*.htm;*.html)|*.htm;*.html|Any file (*.*)|*.*"), QString());
        if (chosen.isEmpty()) return;
        {
            // A chosen file is no typed text: it is not checked for quotes.
            TFlagScope unchecked(checkSuppressed_);
            pages_->SetLinkText(LocalPathToFileUrl(chosen));
        }
    });
}

void TMainForm::spdbtnItemImageNormalClick(QObject* sender) {
    Guard([&] {
        if (!sender) return;
        const QString chosen = dialogs_->GetOpenFileName(
            this, QStringLiteral("Choose a Sound"), QStringLiteral("MP3 Files (*.mp3)|*.mp3|All Files (*.*)|*.*"), QString());
        if (chosen.isEmpty()) return;
        pages_->SetSoundFileName(sender, QFileInfo(chosen).fileName());
        // The sound waits in the Preview folder until publishing copies it beside the project.
        document_->StageFile(GetPreviewFolder().toStdString(), chosen.toStdString());
    });
}

QString TMainForm::HelpPageOfTag(int tag) {
    const auto index = static_cast<unsigned>(tag);
    constexpr auto count = sizeof(kHelpPages) / sizeof(kHelpPages[0]);
    return QString::fromLatin1(index < count ? kHelpPages[index] : kHelpPages[0]);
}

// The help button of the group that holds the focused field, or the page's first where
// the page tabs have the focus; Help Topics outside the pages.
void TMainForm::ContextHelp1Click() {
    if (QToolButton* help = pages_->HelpButtonFor(QApplication::focusWidget()))
        SpeedButton_OnClick_LaunchHelpDoc(help);
    else
        Topic1Click();
}

void TMainForm::SpeedButton_OnClick_LaunchHelpDoc(QObject* sender) {
    Guard([&] {
        const int tag = sender ? sender->property("Tag").toInt() : 0;
        ShowHelp(LocalPathToFileUrl(GetProgramFolder() + QStringLiteral("help/") + HelpPageOfTag(tag)));
    });
}

}  // namespace qm
