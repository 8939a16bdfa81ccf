#include "TMainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRadioButton>
#include <QKeyEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

#include "AppFolders.h"
#include "Error.h"
#include "FlagScope.h"
#include "FileAssociation.h"
#include "LookValues.h"
#include "Publisher.h"
#include "TColorPanel.h"
#include "TMenuTreeModel.h"
#include "TQtUserDialogs.h"
#include "TformHTML.h"
#include "TfrmHelp.h"
#include "TfrmMsgBox_LinkTip.h"

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

TMainForm::TMainForm(IUserDialogs* dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs ? dialogs : &TQtUserDialogs::Instance()) {
    agent.SetProgressDisplay(this);
    treeModel_ = std::make_unique<TMenuTreeModel>(agent);
    BuildWindow();

    FormCreate();
}

TMainForm::~TMainForm() {
    agent.SetProgressDisplay(nullptr);
    trvwDesignPanel->setModel(nullptr);
    if (busy_) QApplication::restoreOverrideCursor();
}

void TMainForm::AttachAuxiliaryWindows(TformHTML* htmlWindow, TfrmHelp* helpWindow) {
    htmlWindow_ = htmlWindow;
    helpWindow_ = helpWindow;
}

TformHTML& TMainForm::HtmlWindow() {
    if (!htmlWindow_) htmlWindow_ = new TformHTML(this);
    return *htmlWindow_;
}

TfrmHelp& TMainForm::HelpWindow() {
    if (!helpWindow_) {
        // A window of its own, not a child of this one: a tip that is modal to the main
        // window would otherwise block the help page it opens. It goes with this window.
        ownHelpWindow_ = std::make_unique<TfrmHelp>(nullptr);
        helpWindow_ = ownHelpWindow_.get();
    }
    return *helpWindow_;
}

void TMainForm::FormCreate() {
    // Selecting the root while the window is built arranges nothing yet.
    lastTabNodeIndex = 0;
    Guard([&] { agent.ResetToDefaults(); });
    currentItemNode = QPersistentModelIndex();
    treeUpdating = false;
    trvwDesignPanel->expand(treeModel_->RootIndex());
    SelectNode(kRootNode);
    // An error in the panels or the recent list is shown, and the window opens all the same.
    Guard([&] { LoadAppletControls(); });
    RegisterFileAssociation();
    Guard([&] { LoadRecentFiles(); });
    SetModified(false);
    SetCurrentFileName({});

    appletTabs = {tbshtScript, tbshtStyle, tbshtPath};
    itemTabs = {tbshtItem};
    Guard([&] {
        if (appletTabs.size() + itemTabs.size() > static_cast<std::size_t>(pgcntrl1->count()))
            throw Error("Tab list array's capacity is incorrect!");
    });
    UpdateSelectionCommandsEnabled(SelectedNode());
    ArrangeTabs(true);
    lastTabNodeIndex = -1;
}

// --- Document state ----------------------------------------------------------------------

void TMainForm::SetModified(bool value) {
    modified = value;
    tlbtnSave->setEnabled(value);
    Save1->setEnabled(value);
    setWindowModified(value);
}

int TMainForm::CurrentItemNode() const {
    if (!currentItemNode.isValid()) return kNoNode;
    const int node = treeModel_->NodeOfIndex(currentItemNode);
    return node == kRootNode ? kNoNode : node;
}

int TMainForm::SelectedNode() const {
    return treeModel_->NodeOfIndex(trvwDesignPanel->currentIndex());
}

void TMainForm::SelectNode(int node) {
    const QModelIndex index = treeModel_->IndexOfNode(node);
    if (!index.isValid()) return;
    trvwDesignPanel->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    trvwDesignPanel->scrollTo(index);
}

// --- Values between controls and records --------------------------------------------------

void TMainForm::InterpretTypedNumbers() {
    for (QWidget* control : boundFields_)
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(control)) spin->interpretText();
}

void TMainForm::SaveAppletControls() {
    InterpretTypedNumbers();
    TAppletData data = agent.GetAppletData();
    for (std::size_t field = 0; field < boundFields_.size(); ++field)
        GetControlValue(boundFields_[field], data.Field(field));
    agent.SetAppletData(data);
}

void TMainForm::LoadAppletControls() {
    TFlagScope loading(loadingControls_);
    const TAppletData data = agent.GetAppletData();
    for (std::size_t field = 0; field < boundFields_.size(); ++field)
        SetControlValue(boundFields_[field], data.Field(field));
    // The pair always shows one choice: anything but "1" is the web-server choice.
    if (!rdbtn_InternalUse_RootDir_Local_Checked->isChecked()) rdbtn_InternalUse_RootDir_Local_Checked2->setChecked(true);
}

void TMainForm::SaveItemControls(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= agent.ItemCount()) return;
    TItemData item = agent.GetItemData(itemIndex);
    GetControlValue(edt_Text, item.Text);
    GetControlValue(cmbx_Link, item.Link, vmComboText);
    GetControlValue(cmbx_Target, item.Target, vmComboText);
    agent.SetItemData(item, itemIndex);
}

void TMainForm::LoadItemControls(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= agent.ItemCount()) return;
    TFlagScope loading(loadingControls_);
    const TItemData item = agent.GetItemData(itemIndex);
    SetControlValue(edt_Text, item.Text);
    SetControlValue(cmbx_Link, item.Link, vmComboText);
    SetControlValue(cmbx_Target, item.Target, vmComboText);
}

void TMainForm::StorePanels() {
    SaveAppletControls();
    const int node = CurrentItemNode();
    if (node >= 0) SaveItemControls(node);
}

// --- Tree editor ---------------------------------------------------------------------------

void TMainForm::UpdateSelectionCommandsEnabled(int node) {
    const int level = node == kNoNode ? -1 : agent.NodeLevel(node);
    const bool canInsert = level == 0 || level == 1;
    const bool isItem = node >= 0;
    const bool canMoveUp = isItem && agent.PreviousSibling(node) != kNoNode;
    const bool canMoveDown = isItem && agent.NextSibling(node) != kNoNode;
    for (QAction* a : {Insert1, Insert2}) a->setEnabled(canInsert);
    tlbtnInsert->setEnabled(canInsert);
    for (QAction* a : {Delete1, Delete2}) a->setEnabled(isItem);
    tlbtnDelete->setEnabled(isItem);
    for (QAction* a : {MoveUp1, MoveUp2}) a->setEnabled(canMoveUp);
    tlbtnMoveUp->setEnabled(canMoveUp);
    for (QAction* a : {MoveDown1, MoveDown2}) a->setEnabled(canMoveDown);
    tlbtnMoveDown->setEnabled(canMoveDown);
}

void TMainForm::UpdateItemCommands() {
    UpdateSelectionCommandsEnabled(SelectedNode());
    ArrangeTabs(false);
}

void TMainForm::ArrangeTabs(bool force) {
    const int node = SelectedNode();
    if (node == kNoNode) return;
    const int absoluteIndex = TkvxAppletAgent::AbsoluteIndex(node);
    if (absoluteIndex == lastTabNodeIndex && !force) return;
    const bool itemSelected = absoluteIndex != 0;
    const auto& shown = itemSelected ? itemTabs : appletTabs;
    const auto& hidden = itemSelected ? appletTabs : itemTabs;
    // Show the new group and make its first page current before hiding the old one, so
    // the page control never passes through a page of the wrong group.
    for (QWidget* page : shown) pgcntrl1->setTabVisible(pgcntrl1->indexOf(page), true);
    if (!shown.empty()) pgcntrl1->setCurrentWidget(shown.front());
    for (QWidget* page : hidden) pgcntrl1->setTabVisible(pgcntrl1->indexOf(page), false);
    lastTabNodeIndex = absoluteIndex;
}

void TMainForm::trvwDesignPanelChange() {
    if (treeUpdating || treeEditing_) return;
    Guard([&] {
        ArrangeTabs(false);
        const int current = CurrentItemNode();
        if (current >= 0) SaveItemControls(current);
        const int node = SelectedNode();
        if (node == kNoNode || node == kRootNode) {
            // The root keeps the current item: its record is stored again at the next change.
            UpdateItemCommands();
            return;
        }
        if (node != current) {
            currentItemNode = treeModel_->IndexOfNode(node);
            LoadItemControls(node);
        }
        UpdateItemCommands();
        ControlDataChanged(nullptr);
    });
}

void TMainForm::trvwDesignPanelMouseDown(const QPoint& position) {
    if (treeUpdating || SelectedNode() == kNoNode) return;
    const QModelIndex under = trvwDesignPanel->indexAt(position);
    if (under.isValid()) trvwDesignPanel->selectionModel()->setCurrentIndex(under, QItemSelectionModel::ClearAndSelect);
    UpdateItemCommands();
}

void TMainForm::ShowTreePopup(const QPoint& position) {
    PopupMenu1->popup(trvwDesignPanel->viewport()->mapToGlobal(position));
}

// Escape closes the window when the key press reaches the window: an edit box passes it
// on, while an open list, a completer or an in-place editor takes it for itself and
// only closes. (A shortcut would be tried before them: an open list closes itself
// while the shortcut is looked for, and the shortcut then closed the window too.)
void TMainForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // A right click selects the node under the mouse first, so the pop-up menu acts on
    // the node that was clicked.
    if (watched == trvwDesignPanel->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) trvwDesignPanelMouseDown(mouse->position().toPoint());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::Insert1Click() {
    Guard([&] {
        SetModified(true);
        const int parent = SelectedNode();
        if (parent == kNoNode) return;
        if (agent.InsertNewChild(parent) == kNoNode) return;  // no item below a sub item
        trvwDesignPanel->expand(treeModel_->IndexOfNode(parent));
        UpdateItemCommands();
        ArrangeTabs(true);
    });
}

void TMainForm::Delete1Click() {
    Guard([&] {
        SetModified(true);
        const int node = SelectedNode();
        if (node == kNoNode) return;
        if (node == kRootNode) {
            dialogs_->MessageDlg(this, QStringLiteral("Root item cannot be deleted."), TMsgDlgType::Error,
                                 QMessageBox::Ok);
            return;
        }
        if (dialogs_->MessageDlg(this, QStringLiteral("Are you sure you want to delete this item and all its sub items?"),
                                 TMsgDlgType::Warning, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        // The Item page's values belong to a record that is about to go.
        currentItemNode = QPersistentModelIndex();
        {
            TFlagScope editing(treeEditing_);
            agent.DeleteNode(node);
        }
        // The view has moved its current node to a neighbour (or the parent); that node
        // becomes the selection and its values are loaded.
        QModelIndex next = trvwDesignPanel->currentIndex();
        if (!next.isValid()) next = treeModel_->RootIndex();
        trvwDesignPanel->selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect);
        trvwDesignPanelChange();
        UpdateItemCommands();
    });
}

void TMainForm::MoveUp1Click() {
    Guard([&] {
        SetModified(true);
        const int node = SelectedNode();
        if (node >= 0) {
            TFlagScope editing(treeEditing_);
            agent.MoveNodeUp(node);
        }
        UpdateItemCommands();
    });
}

void TMainForm::MoveDown1Click() {
    Guard([&] {
        SetModified(true);
        const int node = SelectedNode();
        if (node >= 0) {
            TFlagScope editing(treeEditing_);
            agent.MoveNodeDown(node);
        }
        UpdateItemCommands();
    });
}

// --- Panels ----------------------------------------------------------------------------

void TMainForm::ControlDataChanged(QObject* sender) {
    if (loadingControls_) return;
    SetModified(true);
    if (!checkSuppressed_) CheckFieldText(sender);
}

void TMainForm::CheckFieldText(QObject* control) {
    if (!control) return;
    // An edit box, or the edit line of a combo box; other controls hold no typed text.
    QLineEdit* line = Exactly<QLineEdit>(control);
    if (auto* combo = Exactly<QComboBox>(control)) line = combo->lineEdit();
    if (!line) return;

    QString text = line->text();
    int cursor = line->cursorPosition();
    const auto removeAt = [&](qsizetype at, qsizetype length) {
        text.remove(at, length);
        if (cursor > at) cursor -= static_cast<int>(std::min<qsizetype>(length, cursor - at));
    };
    QStringList messages;
    // The separator ends every field in the files: no value may hold it. Removing one
    // may join two halves into another, hence the loop.
    const QString separator = QString::fromStdString(agent.Separator());
    if (text.contains(separator)) {
        for (qsizetype at; (at = text.indexOf(separator)) >= 0;) removeAt(at, separator.size());
        messages << QStringLiteral("The text cannot include \"") + separator + QStringLiteral("\", so it was removed.");
    }
    // Only the first quote and the first backslash are compared: the quote counts as
    // escaped when the text's first backslash stands right before it. An unescaped
    // first quote is removed until the first quote left is escaped, or none is left.
    const auto unescaped = [&](QChar quote) -> qsizetype {
        const qsizetype quoteAt = text.indexOf(quote);
        if (quoteAt < 0) return -1;
        const qsizetype backslashAt = text.indexOf(QLatin1Char('\\'));
        return quoteAt >= 1 && backslashAt == quoteAt - 1 ? -1 : quoteAt;
    };
    for (const QChar quote : {QLatin1Char('\''), QLatin1Char('"')}) {
        bool removed = false;
        for (qsizetype at; (at = unescaped(quote)) >= 0; removed = true) removeAt(at, 1);
        if (removed)
            messages << QStringLiteral("The text cannot include ") + quote +
                            QStringLiteral(" unless \"\\\" stands right before it, so it was removed.");
    }
    if (messages.isEmpty()) return;

    // The rest of the text stays, and the cursor where it was; the change notification
    // this fires finds nothing more to remove.
    line->setText(text);
    line->setCursorPosition(cursor);
    for (const QString& message : messages)
        dialogs_->MessageDlg(this, message, TMsgDlgType::Warning, QMessageBox::Yes);
}

void TMainForm::edt_TextChange() {
    if (loadingControls_) return;
    Guard([&] {
        SetModified(true);
        const int node = SelectedNode();
        if (node < 0) return;  // the root, or nothing selected
        agent.SetItemCaption(node, TrimBlanks(edt_Text->text().toStdString()));
        CheckFieldText(edt_Text);
    });
}

void TMainForm::pnl_BgColorClick(QObject* sender) {
    Guard([&] {
        if (auto* panel = qobject_cast<TColorPanel*>(sender)) {
            if (const auto chosen = dialogs_->ChooseColor(this, panel->Color())) panel->SetColor(*chosen);
        }
        SetModified(true);
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
            cmbx_Link->setEditText(LocalPathToFileUrl(chosen));
        }
        SetModified(true);
    });
}

void TMainForm::spdbtnItemImageNormalClick(QObject* sender) {
    Guard([&] {
        if (!sender) return;
        const QString chosen = dialogs_->GetOpenFileName(
            this, QStringLiteral("Choose a Sound"), QStringLiteral("MP3 Files (*.mp3)|*.mp3|All Files (*.*)|*.*"), QString());
        if (chosen.isEmpty()) return;
        const QString name = sender->objectName();
        QLineEdit* target = nullptr;
        if (name == QLatin1String("spdbtn___mainItemHoverSoundUrl"))
            target = findChild<QLineEdit*>(QStringLiteral("edt__mainItemHoverSound"));
        else if (name == QLatin1String("spdbtn___subItemHoverSoundUrl"))
            target = findChild<QLineEdit*>(QStringLiteral("edt__subItemHoverSound"));
        else if (name == QLatin1String("spdbtn___itemActiveSoundUrl"))
            target = findChild<QLineEdit*>(QStringLiteral("edt__itemActiveSound"));
        if (target) target->setText(QFileInfo(chosen).fileName());
        // The sound waits in the Preview folder until publishing copies it beside the project.
        CopyToPreviewFolder(agent, GetPreviewFolder().toStdString(), chosen.toStdString());
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
        const QString path = GetProgramFolder() + QStringLiteral("help/") + HelpPageOfTag(tag);
        TfrmHelp& help = HelpWindow();
        help.Navigate(LocalPathToFileUrl(path));
        help.show();
        help.raise();
        help.activateWindow();
    });
}

void TMainForm::btnCalcSizeClick() {
    Guard([&] {
        InterpretTypedNumbers();
        long long width = 0;
        long long height = 0;
        if (agent.NodeCount() > 1) {
            const long long mainItems = agent.ChildCount(kRootNode);
            width = mainItems * (2LL * spnedt__mainItemExtWidth->value() + 45);
            height = static_cast<long long>(spnedt__mainItemHeight->value()) + spnedt__subItemHeight->value() + 3;
        }
        // The controls keep their ranges: 0 shows as 1, anything above 9999 as 9999.
        const auto fit = [](QSpinBox* spin, long long value) {
            spin->setValue(static_cast<int>(std::clamp<long long>(value, spin->minimum(), spin->maximum())));
        };
        fit(spnedtflMenuMaxWidth, width);
        fit(spnedtflMenuMaxHeight, height);
    });
}

// --- View -----------------------------------------------------------------------------------

void TMainForm::ToolBar1Click() {
    tlbr1->setVisible(ToolBar1->isChecked());
}

void TMainForm::StatusBar2Click() {
    const bool shown = StatusBar2->isChecked();
    stctxtHint->setVisible(shown);
    prgrsbrMainFormBottom->setVisible(shown && busy_);
    StatusBar1->setVisible(shown);
}

void TMainForm::Exit1Click() {
    close();
}

// --- Progress ---------------------------------------------------------------------------------

void TMainForm::SetStatusText(std::string_view text) {
    stctxtHint->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    PaintProgressPart(stctxtHint);
}

// A long operation keeps the event loop away, so the hint and the bar are painted at
// once, but at most every few dozen milliseconds: painting each of thousands of steps
// would cost more than the operation itself, and a short operation needs no painting
// before the loop does it.
void TMainForm::PaintProgressPart(QWidget* part) {
    if (!part->isVisible()) return;
    constexpr qint64 kPaintInterval = 40;  // milliseconds
    if (!progressPaintClock_.isValid()) {
        progressPaintClock_.start();
    } else if (progressPaintClock_.elapsed() >= kPaintInterval) {
        part->repaint();
        progressPaintClock_.restart();
        return;
    }
    part->update();
}

void TMainForm::SetProgressMaximum(int maximum) {
    prgrsbrMainFormBottom->setMaximum(std::max(maximum, 1));
}

void TMainForm::AdvanceProgress(int step) {
    SetProgressPosition(prgrsbrMainFormBottom->value() + step);
}

void TMainForm::SetProgressPosition(int position) {
    // The bar paints itself at once on every visible change; the paint is left to
    // PaintProgressPart instead.
    prgrsbrMainFormBottom->setUpdatesEnabled(false);
    prgrsbrMainFormBottom->setValue(std::clamp(position, 0, prgrsbrMainFormBottom->maximum()));
    prgrsbrMainFormBottom->setUpdatesEnabled(true);
    PaintProgressPart(prgrsbrMainFormBottom);
}

void TMainForm::SetBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    progressPaintClock_.invalidate();  // each operation starts its own count
    // The bar shows while an operation runs, where the status bar is shown.
    prgrsbrMainFormBottom->setVisible(busy && StatusBar2->isChecked());
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

// --- Closing ----------------------------------------------------------------------------------

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

bool TMainForm::FormCloseQuery() {
    bool mayClose = true;
    const bool completed = Guard([&] {
        if (modified) {
            const auto answer =
                dialogs_->MessageDlg(this, QStringLiteral("Save changes before exit?"), TMsgDlgType::Warning,
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            if (answer == QMessageBox::Cancel) {
                mayClose = false;
            } else if (answer == QMessageBox::Yes) {
                StorePanels();
                QString target = currentFileName;
                if (target.isEmpty())
                    target = SaveDialog(QStringLiteral("Save As"), QStringLiteral("Quillamere Files (*.zorbel)|*.zorbel"),
                                        DialogFolder());
                if (target.isEmpty())
                    mayClose = false;
                else
                    mayClose = SaveTo(target);
            }
        }
        // The staged files go with the window; while it stays open the document still
        // needs its sounds for the next save.
        if (mayClose) ClearPreviewFolder(agent, GetPreviewFolder().toStdString());
    });
    return completed && mayClose;
}

}  // namespace qm
