#include "gui/TPropertyPages.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolButton>
#include <algorithm>

#include "gui/AccessibleNames.h"
#include "gui/IconFactory.h"
#include "gui/TColorPanel.h"
#include "gui/TSpinEdit.h"
#include "model/LookValues.h"

namespace qm {

namespace {

constexpr int kSpinWidth = 84;

QString Name(std::size_t field) {
    const auto name = LookFieldAt(field).control;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// The page named name: its contents (set when they are made) scroll when the window is
// smaller than they are (a small screen, a large scale factor). The page itself never
// takes the focus: Tab goes to its fields, and the page scrolls to the one that has it.
QScrollArea* NewScrollingPage(const char* name, QWidget* parent) {
    auto* page = new QScrollArea(parent);
    page->setObjectName(QString::fromLatin1(name));
    page->setFrameShape(QFrame::NoFrame);
    page->setFocusPolicy(Qt::NoFocus);
    page->setWidgetResizable(true);
    // The page control's own background shows through.
    page->viewport()->setAutoFillBackground(false);
    return page;
}

}  // namespace

TPropertyPages::TPropertyPages(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("pgcntrl1"));
    tbshtScript = pages_[kFlashPage] = NewScrollingPage("tbshtScript", this);
    tbshtStyle = pages_[kExtPage] = NewScrollingPage("tbshtStyle", this);
    tbshtItem = pages_[kItemPage] = NewScrollingPage("tbshtItem", this);
    tbshtPath = pages_[kPathPage] = NewScrollingPage("tbshtPath", this);
    // A page's contents are made as it becomes current.
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        for (std::size_t page = 0; page < kPageCount; ++page)
            if (widget(index) == pages_[page]) BuildPage(static_cast<TPageIndex>(page));
    });
    addTab(tbshtScript, QStringLiteral("Flash"));
    addTab(tbshtStyle, QStringLiteral("Ext."));
    addTab(tbshtItem, QStringLiteral("Item"));
    addTab(tbshtPath, QStringLiteral("Path"));
    // The first page is current: the window shows it from the start.
    BuildPage(kFlashPage);
}

TPropertyPages::TPageIndex TPropertyPages::PageIndexOfField(std::size_t field) {
    if (field < kSubmenuCloseDelay) return kFlashPage;
    return field < kRootDirLocal ? kExtPage : kPathPage;
}

bool TPropertyPages::IsBuilt(const QWidget* page) const {
    for (std::size_t index = 0; index < kPageCount; ++index)
        if (pages_[index] == page) return built_[index];
    return false;
}

void TPropertyPages::BuildAllPages() {
    for (std::size_t index = 0; index < kPageCount; ++index) BuildPage(static_cast<TPageIndex>(index));
}

QWidget* TPropertyPages::LookControl(std::size_t field) {
    BuildPage(PageIndexOfField(field));
    return lookControls_[field];
}

void TPropertyPages::BuildPage(TPageIndex index) {
    if (built_[index]) return;
    built_[index] = true;
    QWidget* contents = nullptr;
    switch (index) {
    case kFlashPage: contents = BuildFlashPage(); break;
    case kExtPage: contents = BuildExtPage(); break;
    case kItemPage: contents = BuildItemPage(); break;
    default: contents = BuildPathPage(); break;
    }
    static_cast<QScrollArea*>(pages_[index])->setWidget(contents);
    // The page control's own background shows through.
    contents->setAutoFillBackground(false);
    // Names over all the pages made so far: a label repeated on another page names its
    // control with its group's context, as it would with all the pages made at once.
    NameControlsByTheirLabels(this);
    if (index == kExtPage) btnCalcSize->setEnabled(!estimating_);
    // Connected once the controls hold their first values: setting them is no edit.
    ConnectControls(index);
    FilterKeysOf(index);
    ChainBuiltControls();
    emit PageBuilt(pages_[index]);
}

void TPropertyPages::ConnectControls(TPageIndex index) {
    for (std::size_t field = 0; field < lookControls_.size(); ++field) {
        QWidget* control = lookControls_[field];
        if (!control || PageIndexOfField(field) != index) continue;
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            connect(edit, &QLineEdit::textChanged, this, [this, edit] { emit FieldEdited(edit); });
        } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
            connect(spin, &QSpinBox::valueChanged, this, [this, spin] { emit FieldEdited(spin); });
        } else if (auto* panel = qobject_cast<TColorPanel*>(control)) {
            connect(panel, &TColorPanel::clicked, this, [this, panel] { emit ColorPanelClicked(panel); });
        } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
            // The path choice decides what publishing writes: switching it is an edit.
            connect(radio, &QRadioButton::toggled, this, [this, radio] { emit FieldEdited(radio); });
        }
    }
    if (index == kFlashPage) {
        // The sub items' "BG" panel is bound to no field but answers a click all the same.
        connect(pnl__subItemHoverColor, &TColorPanel::clicked, this,
                [this] { emit ColorPanelClicked(pnl__subItemHoverColor); });
    } else if (index == kExtPage) {
        for (QToolButton* chooser : soundChoosers_)
            connect(chooser, &QToolButton::clicked, this, [this, chooser] { emit SoundChooserClicked(chooser); });
        connect(btnCalcSize, &QPushButton::clicked, this, &TPropertyPages::EstimateClicked);
    } else if (index == kItemPage) {
        for (QComboBox* combo : {cmbx_Link, cmbx_Target})
            connect(combo, &QComboBox::editTextChanged, this, [this, combo] { emit FieldEdited(combo); });
        // The item's caption: stored, it renames its node in the tree.
        connect(edt_Text, &QLineEdit::textChanged, this, [this] { emit FieldEdited(edt_Text); });
        connect(spdbtn_cmbx_Link, &QToolButton::clicked, this, &TPropertyPages::LinkChooserClicked);
    }
    for (; connectedHelpButtons_ < helpButtons_.size(); ++connectedHelpButtons_) {
        QToolButton* help = helpButtons_[connectedHelpButtons_];
        connect(help, &QToolButton::clicked, this, [this, help] { emit HelpClicked(help); });
    }
}

void TPropertyPages::FilterFieldKeys(QObject* filter) {
    keyFilter_ = filter;
    for (std::size_t index = 0; index < kPageCount; ++index)
        if (built_[index]) FilterKeysOf(static_cast<TPageIndex>(index));
}

void TPropertyPages::FilterKeysOf(TPageIndex index) {
    if (!keyFilter_) return;
    for (std::size_t field = 0; field < lookControls_.size(); ++field) {
        QWidget* control = lookControls_[field];
        if (PageIndexOfField(field) == index && (qobject_cast<QLineEdit*>(control) || qobject_cast<QSpinBox*>(control)))
            control->installEventFilter(keyFilter_);
    }
    if (index != kItemPage) return;
    for (QComboBox* combo : {cmbx_Link, cmbx_Target}) {
        combo->installEventFilter(keyFilter_);
        combo->lineEdit()->installEventFilter(keyFilter_);
    }
    edt_Text->installEventFilter(keyFilter_);
}

void TPropertyPages::ShowPagesOf(bool item) {
    const std::vector<QWidget*> lookPages{tbshtScript, tbshtStyle, tbshtPath};
    const std::vector<QWidget*> itemPages{tbshtItem};
    const auto& shown = item ? itemPages : lookPages;
    const auto& hidden = item ? lookPages : itemPages;
    // Show the new group and make its first page current before hiding the old one, so
    // the page control never passes through a page of the wrong group.
    for (QWidget* page : shown) setTabVisible(indexOf(page), true);
    setCurrentWidget(shown.front());
    for (QWidget* page : hidden) setTabVisible(indexOf(page), false);
}

void TPropertyPages::ShowPageOfLookField(std::size_t field) {
    QWidget* page = PageOf(LookControl(field));
    if (page && currentWidget() != page) setCurrentWidget(page);
}

void TPropertyPages::SetEstimating(bool estimating) {
    // The button, once made, waits as well.
    estimating_ = estimating;
    if (btnCalcSize) btnCalcSize->setEnabled(!estimating);
}

void TPropertyPages::SetLinkText(const QString& link) {
    BuildPage(kItemPage);
    cmbx_Link->setEditText(link);
}

void TPropertyPages::SetSoundFileName(const QObject* chooser, const QString& fileName) {
    const auto at = std::find(soundChoosers_.begin(), soundChoosers_.end(), chooser);
    if (at != soundChoosers_.end()) soundFields_[static_cast<std::size_t>(at - soundChoosers_.begin())]->setText(fileName);
}

QToolButton* TPropertyPages::HelpButtonFor(const QWidget* focus) const {
    if (!focus || !isAncestorOf(focus)) return nullptr;
    const QWidget* area = currentWidget();
    for (const QWidget* w = focus; w && w != this; w = w->parentWidget())
        if (qobject_cast<const QGroupBox*>(w)) {
            area = w;
            break;
        }
    for (QToolButton* help : helpButtons_)
        if (area->isAncestorOf(help)) return help;
    return nullptr;
}

QWidget* TPropertyPages::PageOf(const QWidget* control) const {
    for (QWidget* page : {tbshtScript, tbshtStyle, tbshtItem, tbshtPath})
        if (page->isAncestorOf(control)) return page;
    return nullptr;
}

QToolButton* TPropertyPages::MakeHelpButton(int tag, const char* name) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("Tag", tag);
    button->setIcon(MakeIcon(TIconKind::HelpBook));
    button->setIconSize(QSize(18, 18));
    button->setAutoRaise(true);
    button->setToolTip(QStringLiteral("Help on these settings"));
    helpButtons_.push_back(button);
    return button;
}

QSpinBox* TPropertyPages::MakeSpin(QWidget* parent, std::size_t field) {
    auto* spin = new TSpinEdit(parent);
    spin->setObjectName(Name(field));
    const LookField& rule = LookFieldAt(field);
    spin->setRange(static_cast<int>(rule.minimum), static_cast<int>(rule.maximum));
    spin->setFixedWidth(kSpinWidth);
    spin->setAccelerated(true);
    lookControls_[field] = spin;
    return spin;
}

QLineEdit* TPropertyPages::MakeEdit(QWidget* parent, std::size_t field, const QString& hint) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(Name(field));
    if (!hint.isEmpty()) edit->setToolTip(hint);
    lookControls_[field] = edit;
    return edit;
}

// hint names the colour the panel stands for; role begins its accessible name.
TColorPanel* TPropertyPages::MakePanel(QWidget* parent, std::size_t field, const QString& hint, const QString& role) {
    auto* panel = new TColorPanel(parent);
    panel->setObjectName(Name(field));
    panel->setToolTip(hint);
    panel->SetRole(role);
    lookControls_[field] = panel;
    return panel;
}

QRadioButton* TPropertyPages::MakeRadio(QWidget* parent, std::size_t field, const QString& text) {
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(Name(field));
    lookControls_[field] = radio;
    return radio;
}

// Tab follows reading order: the page tabs, then each page's fields left to right and
// top to bottom, each group's "?" help button after the group's fields.
void TPropertyPages::ChainTabOrder(QWidget* first) {
    static constexpr const char* kReadingOrder[] = {
        // Flash
        "spnedt__mainItemExtWidth", "spnedt__mainItemHeight", "edt__mainItemFont", "spnedt__mainItemFontSize",
        "pnl__mainItemTextColor", "pnl__mainItemHoverColor", "pnl__mainItemColor", "spdbtnHelpMainMenuItems",
        "spnedt__subItemHeight", "edt__subItemFont", "spnedt__subItemFontSize", "pnl__subItemTextColor",
        "pnl__subItemColor", "pnl__subItemHoverColor", "spdbtnHelpSubMenuItems",
        // Ext.
        "edt__mainItemHoverSound", "spdbtn___mainItemHoverSoundUrl", "edt__subItemHoverSound",
        "spdbtn___subItemHoverSoundUrl", "edt__itemActiveSound", "spdbtn___itemActiveSoundUrl", "spdbtnHelpSound",
        "spnedt__submenuCloseDelay", "spnedt__submenuSlideSpeed", "spdbtnHelpSubmenu", "spnedtflMenuMaxWidth",
        "spnedtflMenuMaxHeight", "btnCalcSize", "spnedtmov_z_index", "spdbtnHelpMenuBox",
        // Item
        "edt_Text", "spdbtnHelpItemText", "cmbx_Link", "spdbtn_cmbx_Link", "cmbx_Target", "spdbtnHelpItemLink",
        // Path
        "edt_InternalUse_RootDir_Local", "edt_InternalUse_RootDir_Remote", "rdbtn_InternalUse_RootDir_Local_Checked",
        "rdbtn_InternalUse_RootDir_Local_Checked2", "spdbtnHelpPath",
    };
    firstInTabOrder_ = first;
    setTabOrder(first, this);
    QWidget* previous = this;
    bool allBuilt = true;
    for (const bool built : built_) allBuilt = allBuilt && built;
    for (const char* name : kReadingOrder) {
        // A page still to make has no fields yet; it joins the order when it is made.
        QWidget* next = findChild<QWidget*>(QString::fromLatin1(name));
        Q_ASSERT_X(next || !allBuilt, "ChainTabOrder", name);
        if (!next) continue;
        setTabOrder(previous, next);
        previous = next;
    }
}

void TPropertyPages::ChainBuiltControls() {
    // Before the window chains the pages, the controls keep the order they were made in.
    if (firstInTabOrder_) ChainTabOrder(firstInTabOrder_);
}

QToolButton* TPropertyPages::MakeBrowseButton(QWidget* parent, const char* name, const QString& hint,
                                              const QString& accessibleName) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessibleName);
    button->setIcon(MakeIcon(TIconKind::Browse));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    return button;
}

}  // namespace qm
