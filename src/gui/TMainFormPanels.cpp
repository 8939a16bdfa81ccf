// The property pages' handlers: a changed control (its text checked, its value stored
// in the document by the binding), the colour, link and sound choosers and the help
// buttons. (The menu box size estimate is the preview's: TMainFormPreview.cpp.)

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

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
    const auto undoKeysToDocument = [this](QWidget* field) { field->installEventFilter(this); };
    for (std::size_t field = 0; field < TAppletData::kFieldCount; ++field) {
        QWidget* control = pgcntrl1->LookControl(field);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            connect(edit, &QLineEdit::textChanged, this, [this, edit] { ControlDataChanged(edit); });
            undoKeysToDocument(edit);
        } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
            connect(spin, &QSpinBox::valueChanged, this, [this, spin] { ControlDataChanged(spin); });
            undoKeysToDocument(spin);
        } else if (auto* panel = qobject_cast<TColorPanel*>(control)) {
            connect(panel, &TColorPanel::clicked, this, [this, panel] { pnl_BgColorClick(panel); });
        } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
            // The path choice decides what publishing writes: switching it is an edit.
            connect(radio, &QRadioButton::toggled, this, [this, radio] { ControlDataChanged(radio); });
        }
    }
    // The sub items' "BG" panel is bound to no field but answers a click all the same.
    auto* subBg = pgcntrl1->pnl__subItemHoverColor;
    connect(subBg, &TColorPanel::clicked, this, [this, subBg] { pnl_BgColorClick(subBg); });
    for (QComboBox* combo : {pgcntrl1->cmbx_Link, pgcntrl1->cmbx_Target}) {
        connect(combo, &QComboBox::editTextChanged, this, [this, combo] { ControlDataChanged(combo); });
        undoKeysToDocument(combo);
        undoKeysToDocument(combo->lineEdit());
    }
    connect(pgcntrl1->edt_Text, &QLineEdit::textChanged, this, &TMainForm::edt_TextChange);
    undoKeysToDocument(pgcntrl1->edt_Text);
    connect(pgcntrl1->spdbtn_cmbx_Link, &QToolButton::clicked, this, &TMainForm::spdbtnItURLClick);
    for (QToolButton* chooser : pgcntrl1->SoundChoosers())
        connect(chooser, &QToolButton::clicked, this, [this, chooser] { spdbtnItemImageNormalClick(chooser); });
    for (QToolButton* help : pgcntrl1->HelpButtons())
        connect(help, &QToolButton::clicked, this, [this, help] { SpeedButton_OnClick_LaunchHelpDoc(help); });
    connect(pgcntrl1->btnCalcSize, &QPushButton::clicked, this, &TMainForm::btnCalcSizeClick);
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

// The item's caption: checked, then stored, which renames its node in the tree.
void TMainForm::edt_TextChange() {
    ControlDataChanged(pgcntrl1->edt_Text);
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
            pgcntrl1->cmbx_Link->setEditText(LocalPathToFileUrl(chosen));
        }
    });
}

void TMainForm::spdbtnItemImageNormalClick(QObject* sender) {
    Guard([&] {
        if (!sender) return;
        const QString chosen = dialogs_->GetOpenFileName(
            this, QStringLiteral("Choose a Sound"), QStringLiteral("MP3 Files (*.mp3)|*.mp3|All Files (*.*)|*.*"), QString());
        if (chosen.isEmpty()) return;
        // "spdbtn___mainItemHoverSoundUrl" fills "edt__mainItemHoverSound", and so on.
        QString target = sender->objectName();
        if (target.startsWith(QLatin1String("spdbtn_")) && target.endsWith(QLatin1String("Url"))) {
            target = QStringLiteral("edt") + target.mid(7, target.size() - 10);
            if (auto* edit = pgcntrl1->findChild<QLineEdit*>(target)) edit->setText(QFileInfo(chosen).fileName());
        }
        // The sound waits in the Preview folder until publishing copies it beside the project.
        CopyToPreviewFolder(Agent(), GetPreviewFolder().toStdString(), chosen.toStdString());
    });
}

QString TMainForm::HelpPageOfTag(int tag) {
    const auto index = static_cast<unsigned>(tag);
    constexpr auto count = sizeof(kHelpPages) / sizeof(kHelpPages[0]);
    return QString::fromLatin1(index < count ? kHelpPages[index] : kHelpPages[0]);
}

void TMainForm::SpeedButton_OnClick_LaunchHelpDoc(QObject* sender) {
    Guard([&] {
        const int tag = sender ? sender->property("Tag").toInt() : 0;
        ShowHelp(LocalPathToFileUrl(GetProgramFolder() + QStringLiteral("help/") + HelpPageOfTag(tag)));
    });
}

}  // namespace qm
