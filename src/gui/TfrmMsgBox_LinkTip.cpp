#include "gui/TfrmMsgBox_LinkTip.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/CommandGuard.h"
#include "env/Settings.h"

namespace qm {

TfrmMsgBox_LinkTip::TfrmMsgBox_LinkTip(IUserDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), dialogs_(dialogs) {
    setObjectName(QStringLiteral("TfrmMsgBox_LinkTip"));
    setWindowTitle(QStringLiteral("Important!"));

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(QStringLiteral("A link to a file on this computer may not work in a browser, for security "
                                           "reasons. Click the \"?\" book icon in the Link group to learn more."),
                            this);
    text->setObjectName(QStringLiteral("lblTip"));
    text->setWordWrap(true);
    text->setMinimumWidth(320);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    chckbxDontShow = new QCheckBox(QStringLiteral("Do not show this dialog again."), this);
    chckbxDontShow->setObjectName(QStringLiteral("chckbxDontShow"));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(chckbxDontShow, &QCheckBox::clicked, this, &TfrmMsgBox_LinkTip::chckbxDontShowClick);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(text, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chckbxDontShow);
    bottom->addStretch();
    bottom->addWidget(btnOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(bottom);
    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

bool TfrmMsgBox_LinkTip::ShouldShow() {
    try {
        return ReadKvxBool(QString::fromLatin1(kSettingsGroup), QString::fromLatin1(kSettingName), true);
    } catch (...) {
        return false;  // settings that cannot be read never hold up the chooser
    }
}

void TfrmMsgBox_LinkTip::chckbxDontShowClick(bool checked) {
    if (checked) {
        // Switching the tip off is a convenience; if it cannot be stored, the tip simply
        // shows again next time.
        try {
            WriteKvxBool(QString::fromLatin1(kSettingsGroup), QString::fromLatin1(kSettingName), false);
        } catch (...) {
        }
        return;
    }
    RunGuarded(dialogs_, this, [] {
        WriteKvxBool(QString::fromLatin1(kSettingsGroup), QString::fromLatin1(kSettingName), true);
    });
}

}  // namespace qm
