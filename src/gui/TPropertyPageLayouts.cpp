// The four property pages laid out: their groups, the captions and where each control
// stands. The controls themselves come from TPropertyPages' makers.

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/AccessibleNames.h"
#include "gui/ControlValues.h"
#include "gui/TColorPanel.h"
#include "gui/TPropertyPages.h"
#include "model/LookValues.h"

namespace qm {

namespace {

// Help tags of the Item page's groups, which hold no look field.
constexpr int kItemTextHelp = 6;
constexpr int kItemLinkHelp = 7;

// A field's label, which names it (to screen readers too) and whose mnemonic takes the
// focus to it. The mnemonics of a page differ from each other and from the menu bar's
// (File, Edit, View, Item, Flash, Option, Help): where a label has no letter left, it
// has none.
QLabel* Caption(const QString& text, QWidget* parent, QWidget* buddy = nullptr) {
    auto* label = new QLabel(text, parent);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    if (buddy) label->setBuddy(buddy);
    return label;
}

// The labels of the two size fields stand out: the estimate button beside them writes
// their values. Their colour is the palette's accent (its link colour), never a fixed
// red: it follows the desktop's theme and stays readable on a dark one.
void MakeAttentionLabel(QLabel* label) {
    QFont font = label->font();
    font.setBold(true);
    font.setUnderline(true);
    label->setFont(font);
    label->setForegroundRole(QPalette::Link);
}

// Examples and explanations in the palette's subdued text colour.
QLabel* ExampleLine(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A local root folder as it looks on the running platform, as a link.
QString LocalRootExample() {
#if defined(Q_OS_WIN)
    const QString folder = QStringLiteral("C:\\projects\\websites\\tarnwell\\");
#elif defined(Q_OS_MACOS)
    const QString folder = QStringLiteral("/Users/you/Sites/tarnwell/");
#else
    const QString folder = QStringLiteral("/home/you/websites/tarnwell/");
#endif
    return LocalPathToFileUrl(folder);
}

// context: how the names of its fields say which group they are in, where the same
// label stands in another group too ("Main items: height").
QGroupBox* Group(const QString& title, const QString& name, QWidget* parent, const QString& context = {}) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    if (!context.isEmpty()) group->setProperty(kAccessibleContext, context);
    return group;
}

// A group's contents beside its help button, which sits in the top right corner.
QGridLayout* GroupGrid(QGroupBox* group, QToolButton* help) {
    help->setAccessibleName(QStringLiteral("Help on ") + group->title());
    auto* outer = new QHBoxLayout(group);
    outer->setContentsMargins(10, 8, 6, 10);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    outer->addLayout(grid, 1);
    // Aligned rather than pushed up by a stretch: a stretch would make the group grow
    // with the page instead of keeping its natural height.
    outer->addWidget(help, 0, Qt::AlignTop | Qt::AlignRight);
    return grid;
}

// A page's contents; BuildPages puts them on their scrolling page.
QWidget* NewPage(const char* name, QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QString::fromLatin1(name) + QStringLiteral("Content"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    return page;
}

}  // namespace

QWidget* TPropertyPages::BuildFlashPage() {
    QWidget* page = NewPage("tbshtScript", this);
    auto* layout = static_cast<QVBoxLayout*>(page->layout());

    // Main menu items.
    auto* main = Group(QStringLiteral("Main Menu Items"), QStringLiteral("grpbx_Script_Menu"), page,
                       QStringLiteral("Main items"));
    auto* grid = GroupGrid(main, MakeHelpButton(LookFieldAt(kMainItemHeight).helpTag, "spdbtnHelpMainMenuItems"));
    auto* extWidth = MakeSpin(main, kMainItemExtWidth);
    auto* height = MakeSpin(main, kMainItemHeight);
    auto* mainFont = MakeEdit(main, kMainItemFont, QStringLiteral("Font Family"));
    mainFont->setMinimumWidth(120);
    auto* mainSize = MakeSpin(main, kMainItemFontSize);
    mainSize->setToolTip(QStringLiteral("Font Size"));
    auto* mainText = MakePanel(main, kMainItemTextColor, QStringLiteral("Text Color"), QStringLiteral("Main text colour"));
    auto* mainHover =
        MakePanel(main, kMainItemHoverColor, QStringLiteral("Hover Color"), QStringLiteral("Main hover colour"));
    // The bar's colour: stored, and drawn by the menu, so it has its control.
    auto* mainBg =
        MakePanel(main, kMainItemColor, QStringLiteral("Background Color"), QStringLiteral("Main background colour"));
    auto* mainBgLabel = Caption(QStringLiteral("&BG"), main, mainBg);
    mainBgLabel->setObjectName(QStringLiteral("lbl__mainItemColor"));
    grid->addWidget(Caption(QStringLiteral("Ext. &Width"), main, extWidth), 0, 0);
    grid->addWidget(extWidth, 0, 1);
    grid->addWidget(Caption(QStringLiteral("Hei&ght"), main, height), 0, 3);
    grid->addWidget(height, 0, 4);
    grid->addWidget(Caption(QStringLiteral("Fo&nt"), main, mainFont), 1, 0);
    grid->addWidget(mainFont, 1, 1);
    grid->addWidget(Caption(QStringLiteral("&Size"), main, mainSize), 1, 3);
    grid->addWidget(mainSize, 1, 4);
    grid->addWidget(Caption(QStringLiteral("&Text"), main, mainText), 2, 0);
    grid->addWidget(mainText, 2, 1, Qt::AlignLeft);
    grid->addWidget(Caption(QStringLiteral("Hove&r"), main, mainHover), 2, 3);
    grid->addWidget(mainHover, 2, 4, Qt::AlignLeft);
    grid->addWidget(mainBgLabel, 3, 0);
    grid->addWidget(mainBg, 3, 1, Qt::AlignLeft);
    grid->setColumnMinimumWidth(2, 18);
    // The fields keep their natural widths on a wide window; the room goes after them.
    grid->setColumnStretch(5, 1);

    // Sub menu items.
    auto* sub = Group(QStringLiteral("Sub Menu Items"), QStringLiteral("grpbx_Script_SubMenu"), page,
                      QStringLiteral("Sub items"));
    auto* subGrid = GroupGrid(sub, MakeHelpButton(LookFieldAt(kSubItemHeight).helpTag, "spdbtnHelpSubMenuItems"));
    auto* subHeight = MakeSpin(sub, kSubItemHeight);
    auto* subFont = MakeEdit(sub, kSubItemFont, QStringLiteral("Font Family"));
    subFont->setMinimumWidth(120);
    auto* subSize = MakeSpin(sub, kSubItemFontSize);
    subSize->setToolTip(QStringLiteral("Font Size"));
    auto* subText = MakePanel(sub, kSubItemTextColor, QStringLiteral("Text Color"), QStringLiteral("Sub text colour"));
    auto* subHover = MakePanel(sub, kSubItemColor, QStringLiteral("Hover Color"), QStringLiteral("Sub hover colour"));
    // The sub items' "BG" panel stays hidden: no field stores it and the menu draws no
    // such colour.
    pnl__subItemHoverColor = new TColorPanel(sub);
    pnl__subItemHoverColor->setObjectName(QStringLiteral("pnl__subItemHoverColor"));
    pnl__subItemHoverColor->setToolTip(QStringLiteral("Background Color"));
    pnl__subItemHoverColor->SetRole(QStringLiteral("Sub background colour"));
    auto* subBgLabel = Caption(QStringLiteral("BG"), sub, pnl__subItemHoverColor);
    subBgLabel->setObjectName(QStringLiteral("lbl__subItemHoverColor"));
    pnl__subItemHoverColor->hide();
    subBgLabel->hide();
    subGrid->addWidget(Caption(QStringLiteral("Height"), sub, subHeight), 0, 0);
    subGrid->addWidget(subHeight, 0, 1, Qt::AlignLeft);
    subGrid->addWidget(Caption(QStringLiteral("Font"), sub, subFont), 1, 0);
    subGrid->addWidget(subFont, 1, 1);
    subGrid->addWidget(Caption(QStringLiteral("Si&ze"), sub, subSize), 1, 3);
    subGrid->addWidget(subSize, 1, 4);
    subGrid->addWidget(Caption(QStringLiteral("Te&xt"), sub, subText), 2, 0);
    subGrid->addWidget(subText, 2, 1, Qt::AlignLeft);
    subGrid->addWidget(Caption(QStringLiteral("Hover"), sub, subHover), 2, 3);
    subGrid->addWidget(subHover, 2, 4, Qt::AlignLeft);
    subGrid->addWidget(subBgLabel, 3, 0);
    subGrid->addWidget(pnl__subItemHoverColor, 3, 1, Qt::AlignLeft);
    subGrid->setColumnMinimumWidth(2, 18);
    subGrid->setColumnStretch(5, 1);
    // Both groups' label columns line up.
    const int labelWidth = QFontMetrics(page->font()).horizontalAdvance(QStringLiteral("Ext. Width")) + 4;
    grid->setColumnMinimumWidth(0, labelWidth);
    subGrid->setColumnMinimumWidth(0, labelWidth);
    const int rightLabelWidth = QFontMetrics(page->font()).horizontalAdvance(QStringLiteral("Height")) + 4;
    grid->setColumnMinimumWidth(3, rightLabelWidth);
    subGrid->setColumnMinimumWidth(3, rightLabelWidth);

    layout->addWidget(main);
    layout->addWidget(sub);
    layout->addStretch();
    return page;
}

QWidget* TPropertyPages::BuildExtPage() {
    QWidget* page = NewPage("tbshtStyle", this);
    auto* layout = static_cast<QVBoxLayout*>(page->layout());

    auto* sound = Group(QStringLiteral("Sound"), QStringLiteral("grpbx_Style_Sound"), page);
    auto* soundGrid = GroupGrid(sound, MakeHelpButton(LookFieldAt(kMainItemHoverSound).helpTag, "spdbtnHelpSound"));
    const struct {
        const char* caption;
        const char* button;
        std::size_t field;
        const char* choose;
    } sounds[] = {
        {"&Main Item Hover", "spdbtn___mainItemHoverSoundUrl", kMainItemHoverSound, "Choose main item hover sound"},
        {"S&ub Item Hover", "spdbtn___subItemHoverSoundUrl", kSubItemHoverSound, "Choose sub item hover sound"},
        {"Item &Active", "spdbtn___itemActiveSoundUrl", kItemActiveSound, "Choose item active sound"},
    };
    int row = 0;
    for (const auto& s : sounds) {
        auto* edit = MakeEdit(sound, s.field, QStringLiteral("File name of an MP3 sound"));
        auto* chooser = MakeBrowseButton(sound, s.button, QStringLiteral("Choose a sound file"),
                                         QString::fromLatin1(s.choose) + QChar(0x2026));
        soundChoosers_.push_back(chooser);
        soundFields_.push_back(edit);
        soundGrid->addWidget(Caption(QString::fromLatin1(s.caption), sound, edit), row, 0);
        soundGrid->addWidget(edit, row, 1);
        soundGrid->addWidget(chooser, row, 2);
        ++row;
    }
    soundGrid->setColumnStretch(1, 1);

    auto* submenu = Group(QStringLiteral("Submenu"), QStringLiteral("grpbx_Style_Submenu"), page);
    auto* submenuGrid =
        GroupGrid(submenu, MakeHelpButton(LookFieldAt(kSubmenuCloseDelay).helpTag, "spdbtnHelpSubmenu"));
    auto* delay = MakeSpin(submenu, kSubmenuCloseDelay);
    // The label before the box says only "Wait": the name says the whole sentence.
    delay->setAccessibleName(QStringLiteral("Milliseconds to wait before closing submenus"));
    auto* speed = MakeSpin(submenu, kSubmenuSlideSpeed);
    auto* waitLine = new QHBoxLayout;
    waitLine->setSpacing(6);
    waitLine->addWidget(delay);
    // One line: the sentence "Wait … millisecond(s) before closing submenu(s)." reads
    // across the box and must not break in its middle.
    waitLine->addWidget(new QLabel(QStringLiteral("millisecond(s) before closing submenu(s)."), submenu), 1);
    submenuGrid->addWidget(Caption(QStringLiteral("&Wait "), submenu, delay), 0, 0);
    submenuGrid->addLayout(waitLine, 0, 1);
    submenuGrid->addWidget(Caption(QStringLiteral("Slide S&peed"), submenu, speed), 1, 0);
    submenuGrid->addWidget(speed, 1, 1, Qt::AlignLeft);
    submenuGrid->setColumnStretch(1, 1);

    auto* box = Group(QStringLiteral("Menu Box"), QStringLiteral("grpbx_Style_MenuBox"), page);
    auto* boxGrid = GroupGrid(box, MakeHelpButton(LookFieldAt(kFlMenuMaxWidth).helpTag, "spdbtnHelpMenuBox"));
    auto* width = MakeSpin(box, kFlMenuMaxWidth);
    auto* height = MakeSpin(box, kFlMenuMaxHeight);
    auto* zIndex = MakeSpin(box, kMovZIndex);
    auto* widthLabel = Caption(QStringLiteral("Menu Box Wi&dth"), box, width);
    widthLabel->setObjectName(QStringLiteral("lblMenuBoxWidth"));
    auto* heightLabel = Caption(QStringLiteral("Menu Box Hei&ght"), box, height);
    heightLabel->setObjectName(QStringLiteral("lblMenuBoxHeight"));
    MakeAttentionLabel(widthLabel);
    MakeAttentionLabel(heightLabel);
    btnCalcSize = new QPushButton(QStringLiteral("<< &Calc. Estimated Size"), box);
    btnCalcSize->setObjectName(QStringLiteral("btnCalcSize"));
    btnCalcSize->setAccessibleName(QStringLiteral("Calc. Estimated Size"));
    btnCalcSize->setToolTip(QStringLiteral("Estimate the menu box size from the main items and their heights"));
    {
        // Underlined, in the button's own text colour: a fixed red on a themed button
        // face can be unreadable.
        QFont font = btnCalcSize->font();
        font.setUnderline(true);
        btnCalcSize->setFont(font);
    }
    boxGrid->addWidget(widthLabel, 0, 0);
    boxGrid->addWidget(width, 0, 1);
    boxGrid->addWidget(heightLabel, 1, 0);
    boxGrid->addWidget(height, 1, 1);
    boxGrid->addWidget(btnCalcSize, 0, 2, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
    boxGrid->addWidget(Caption(QStringLiteral("&z-index"), box, zIndex), 2, 0);
    boxGrid->addWidget(zIndex, 2, 1);
    boxGrid->setColumnStretch(3, 1);
    boxGrid->setColumnMinimumWidth(2, 10);

    // The label columns of the three groups line up.
    soundGrid->setColumnMinimumWidth(0, widthLabel->sizeHint().width() + 2);

    layout->addWidget(sound);
    layout->addWidget(submenu);
    layout->addWidget(box);
    layout->addStretch();
    return page;
}

QWidget* TPropertyPages::BuildItemPage() {
    QWidget* page = NewPage("tbshtItem", this);
    auto* layout = static_cast<QVBoxLayout*>(page->layout());

    auto* text = Group(QStringLiteral("Text"), QStringLiteral("grpbx_Item_Text"), page);
    auto* textGrid = GroupGrid(text, MakeHelpButton(kItemTextHelp, "spdbtnHelpItemText"));
    edt_Text = new QLineEdit(text);
    edt_Text->setObjectName(QStringLiteral("edt_Text"));
    edt_Text->setToolTip(QStringLiteral("Caption of the item"));
    textGrid->addWidget(Caption(QStringLiteral("&Text"), text, edt_Text), 0, 0);
    textGrid->addWidget(edt_Text, 0, 1);
    textGrid->setColumnStretch(1, 1);

    auto* link = Group(QStringLiteral("Link"), QStringLiteral("grpbx_Item_Link"), page);
    auto* linkGrid = GroupGrid(link, MakeHelpButton(kItemLinkHelp, "spdbtnHelpItemLink"));
    cmbx_Link = new QComboBox(link);
    cmbx_Link->setObjectName(QStringLiteral("cmbx_Link"));
    cmbx_Link->setEditable(true);
    cmbx_Link->setInsertPolicy(QComboBox::NoInsert);
    cmbx_Link->addItems({QStringLiteral("http://"), QStringLiteral("mailto://"), QStringLiteral("javascript:"),
                         QStringLiteral("ftp://"), QStringLiteral("news://")});
    cmbx_Link->setEditText({});
    cmbx_Link->setToolTip(QStringLiteral("The address the item links to"));
    spdbtn_cmbx_Link = MakeBrowseButton(link, "spdbtn_cmbx_Link", QStringLiteral("Link to a page on this computer"),
                                        QStringLiteral("Choose link") + QChar(0x2026));
    cmbx_Target = new QComboBox(link);
    cmbx_Target->setObjectName(QStringLiteral("cmbx_Target"));
    cmbx_Target->setEditable(true);
    cmbx_Target->setInsertPolicy(QComboBox::NoInsert);
    cmbx_Target->addItems({QStringLiteral("_self"), QStringLiteral("_blank"), QStringLiteral("_parent"),
                           QStringLiteral("_top"), QStringLiteral("_search"), QStringLiteral("_media")});
    cmbx_Target->setToolTip(QStringLiteral("The frame or window the link opens in"));
    linkGrid->addWidget(Caption(QStringLiteral("&URL"), link, cmbx_Link), 0, 0);
    linkGrid->addWidget(cmbx_Link, 0, 1);
    linkGrid->addWidget(spdbtn_cmbx_Link, 0, 2);
    linkGrid->addWidget(Caption(QStringLiteral("Ta&rget"), link, cmbx_Target), 1, 0);
    linkGrid->addWidget(cmbx_Target, 1, 1);
    linkGrid->setColumnStretch(1, 1);
    const int labelWidth = QFontMetrics(page->font()).horizontalAdvance(QStringLiteral("Target")) + 8;
    textGrid->setColumnMinimumWidth(0, labelWidth);
    linkGrid->setColumnMinimumWidth(0, labelWidth);
    // The text box ends where the link boxes end, left of the chooser column.
    textGrid->setColumnMinimumWidth(2, spdbtn_cmbx_Link->sizeHint().width());

    layout->addWidget(text);
    layout->addWidget(link);
    layout->addStretch();
    return page;
}

QWidget* TPropertyPages::BuildPathPage() {
    QWidget* page = NewPage("tbshtPath", this);
    auto* layout = static_cast<QVBoxLayout*>(page->layout());

    auto* group = Group(QStringLiteral("Path Replacement for Publishing"), QStringLiteral("grpbx_Path"), page);
    auto* grid = GroupGrid(group, MakeHelpButton(LookFieldAt(kRootDirLocal).helpTag, "spdbtnHelpPath"));
    auto* explanation = ExampleLine(
        QStringLiteral("If an item's URL contains the local or the web path you give here, one is replaced by "
                       "the other, depending on the choice below. Choose the web path to upload the menu to a web "
                       "server for testing or publishing."),
        group);
    explanation->setObjectName(QStringLiteral("lblPathExplanation"));
    explanation->setWordWrap(true);
    auto* local = MakeEdit(group, kRootDirLocal);
    auto* remote = MakeEdit(group, kRootDirRemote);
    auto* localChosen =
        MakeRadio(group, kRootDirLocalChecked, QStringLiteral("&Test on Local Computer (Convert to Local Path)"));
    rdbtn_InternalUse_RootDir_Local_Checked2 =
        new QRadioButton(QStringLiteral("&Upload to Web Server (Convert to Web Path)"), group);
    rdbtn_InternalUse_RootDir_Local_Checked2->setObjectName(QStringLiteral("rdbtn_InternalUse_RootDir_Local_Checked2"));

    int row = 0;
    grid->addWidget(explanation, row++, 0);
    grid->setRowMinimumHeight(row++, 4);
    QFont bold = page->font();
    bold.setBold(true);
    auto* localLabel = Caption(QStringLiteral("&Root Directory for Local Computer"), group, local);
    localLabel->setFont(bold);
    grid->addWidget(localLabel, row++, 0);
    auto* localExample = ExampleLine(QStringLiteral("e.g. ") + LocalRootExample(), group);
    localExample->setObjectName(QStringLiteral("lblLocalRootExample"));
    grid->addWidget(localExample, row++, 0);
    grid->addWidget(local, row++, 0);
    grid->setRowMinimumHeight(row++, 4);
    auto* remoteLabel = Caption(QStringLiteral("Root Directory for &Web Server"), group, remote);
    remoteLabel->setFont(bold);
    grid->addWidget(remoteLabel, row++, 0);
    grid->addWidget(ExampleLine(QStringLiteral("e.g. http://www.tarnwell.com/"), group), row++, 0);
    grid->addWidget(remote, row++, 0);
    grid->setRowMinimumHeight(row++, 6);
    grid->addWidget(localChosen, row++, 0);
    grid->addWidget(rdbtn_InternalUse_RootDir_Local_Checked2, row++, 0);

    layout->addWidget(group);
    layout->addStretch();
    return page;
}

}  // namespace qm
