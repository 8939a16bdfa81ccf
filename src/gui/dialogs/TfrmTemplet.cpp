#include "gui/dialogs/TfrmTemplet.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <utility>

#include "env/AppFolders.h"
#include "model/Error.h"
#include "env/Settings.h"

namespace qm {

TfrmTemplet::TfrmTemplet(Host host, QWidget* parent)
    // A fixed dialog frame with a title but no title-bar buttons: the window is left
    // through its buttons or Escape.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), host_(std::move(host)) {
    setObjectName(QStringLiteral("TfrmTemplet"));
    setWindowTitle(QStringLiteral("Template"));

    TempletList = new QListWidget(this);
    TempletList->setObjectName(QStringLiteral("TempletList"));
    TempletList->setSelectionMode(QAbstractItemView::SingleSelection);
    TempletList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TempletList->viewport()->installEventFilter(this);

    lblPrompt = new QLabel(
        QStringLiteral("Click OK to start a new project from the selected template, or Cancel to start an empty one."),
        this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setWordWrap(true);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    chckbxDontShow = new QCheckBox(QStringLiteral("Do not show this dialog again."), this);
    chckbxDontShow->setObjectName(QStringLiteral("chckbxDontShow"));

    connect(BitBtn1, &QPushButton::clicked, this, &TfrmTemplet::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmTemplet::BitBtn2Click);
    // clicked, not toggled: presetting the box when the window shows is no user choice.
    connect(chckbxDontShow, &QCheckBox::clicked, this, &TfrmTemplet::chckbxDontShowClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chckbxDontShow);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TempletList, 1);
    layout->addWidget(lblPrompt);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    resize(sizeHint().expandedTo(QSize(440, 320)));
    setMinimumSize(minimumSizeHint());

    FillList();
}

bool TfrmTemplet::ShouldShowAtStart() {
    return ReadBoolSetting(QString::fromLatin1(kSettingName), true);
}

void TfrmTemplet::FillList() {
    RunReportingErrors(host_.showError, [&] {
        const QString folder = GetTemplatesFolder();
        // The folder is made on first use; Save As Template fills it. A folder made just
        // now is listed, empty.
        if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) throw Error(kCannotCreateFolder);
        folder_ = folder;
        AddEntries(folder, {});
    });
    // With the samples the list is not empty on the first start.
    if (!host_.samplesFolder.isEmpty()) AddEntries(host_.samplesFolder, QString::fromLatin1(kSampleMark));
}

void TfrmTemplet::AddEntries(const QString& folder, const QString& mark) {
    const QStringList names =
        QDir(folder).entryList({QString::fromLatin1(kFileMask)}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        auto* entry = new QListWidgetItem(name + mark, TempletList);
        entry->setData(Qt::UserRole, QDir(folder).filePath(name));
        entry->setToolTip(QDir::toNativeSeparators(QDir(folder).filePath(name)));
    }
}

QString TfrmTemplet::SelectedFile() const {
    const QList<QListWidgetItem*> selected = TempletList->selectedItems();
    if (selected.isEmpty()) return {};
    return selected.front()->data(Qt::UserRole).toString();
}

void TfrmTemplet::OpenSelected() {
    const QString file = SelectedFile();
    if (file.isEmpty()) return;
    RunReportingErrors(host_.showError, [&] {
        if (host_.openTemplate) host_.openTemplate(file);
    });
}

void TfrmTemplet::BitBtn1Click() {
    OpenSelected();
    accept();
}

void TfrmTemplet::BitBtn2Click() {
    RunReportingErrors(host_.showError, [&] {
        if (host_.newProject) host_.newProject();
    });
    reject();
}

void TfrmTemplet::TempletListDblClick() {
    OpenSelected();
    accept();
}

void TfrmTemplet::chckbxDontShowClick(bool checked) {
    RunReportingErrors(host_.showError, [&] { WriteBoolSetting(QString::fromLatin1(kSettingName), !checked); });
}

void TfrmTemplet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    bool show = true;
    RunReportingErrors(host_.showError, [&] { show = ShouldShowAtStart(); });
    chckbxDontShow->setChecked(!show);
}

bool TfrmTemplet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TempletList->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            // The entry under the mouse is the one meant, even when the first click of
            // the pair did not select it; a click beside the entries means none.
            QListWidgetItem* item = TempletList->itemAt(mouse->position().toPoint());
            if (item) TempletList->setCurrentItem(item);
            else TempletList->clearSelection();
            TempletListDblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qm
