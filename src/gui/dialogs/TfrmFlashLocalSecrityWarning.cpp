#include "gui/dialogs/TfrmFlashLocalSecrityWarning.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

#include "env/Settings.h"

namespace qm {

namespace {

// A closed book with a question mark, for when the host has no help icon of its own:
// the text of the tip names it "question mark book icon".
QIcon QuestionBookIcon() {
    QPixmap pixmap(36, 36);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 50, 110), 2));
    painter.setBrush(QColor(40, 90, 180));
    painter.drawRoundedRect(QRectF(7, 3, 22, 30), 3, 3);
    painter.setPen(QPen(QColor(235, 235, 225), 3));
    painter.drawLine(QPointF(10, 31), QPointF(28, 31));  // the pages' edge
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(20);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(7, 2, 22, 28), Qt::AlignCenter, QStringLiteral("?"));
    painter.end();
    return QIcon(pixmap);
}

}  // namespace

const QString& TfrmFlashLocalSecrityWarning::TipText() {
    static const QString text = QStringLiteral(
        "If Flash Player 8 or later is installed in your web browser, a Flash Local Security Warning dialog may "
        "appear when you preview this menu, or the menu may not seem to work correctly although no such dialog "
        "appears. Simply follow the instructions of the security dialog. To learn more about this, click the "
        "question mark book icon in the lower right corner of this window.");
    return text;
}

TfrmFlashLocalSecrityWarning::TfrmFlashLocalSecrityWarning(Host host, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), host_(std::move(host)) {
    setObjectName(QStringLiteral("TfrmFlashLocalSecrityWarning"));
    setWindowTitle(QStringLiteral("Important! -- Flash Local Security Warning Dialog"));
    // Modal to the window that shows it only: the help window its button opens is a window
    // of its own and must stay usable while the tip is still up.
    setWindowModality(Qt::WindowModal);

    lblTip = new QLabel(TipText(), this);
    lblTip->setObjectName(QStringLiteral("lblTip"));
    lblTip->setWordWrap(true);
    QFont bold = lblTip->font();
    bold.setBold(true);
    lblTip->setFont(bold);

    chckbxDontShow = new QCheckBox(QStringLiteral("Do not show this dialog again."), this);
    chckbxDontShow->setObjectName(QStringLiteral("chckbxDontShow"));
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnOK->setMinimumWidth(88);
    SpeedButton3 = new QToolButton(this);
    SpeedButton3->setObjectName(QStringLiteral("SpeedButton3"));
    SpeedButton3->setProperty("Tag", kHelpTag);
    SpeedButton3->setIcon(host_.helpIcon.isNull() ? QuestionBookIcon() : host_.helpIcon);
    SpeedButton3->setIconSize(QSize(18, 18));
    SpeedButton3->setAutoRaise(true);
    SpeedButton3->setToolTip(QStringLiteral("Learn more about the Flash local security warning"));

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(SpeedButton3, &QToolButton::clicked, this, &TfrmFlashLocalSecrityWarning::SpeedButton3Click);
    connect(chckbxDontShow, &QCheckBox::clicked, this, &TfrmFlashLocalSecrityWarning::chckbxDontShowClick);

    // The help button sits in the lower right corner, where the text points to it.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chckbxDontShow);
    bottom->addStretch();
    bottom->addWidget(btnOK);
    bottom->addSpacing(12);
    bottom->addWidget(SpeedButton3, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 10, 10);
    layout->addWidget(lblTip);
    layout->addSpacing(12);
    layout->addLayout(bottom);

    // Word-wrapped text needs a width before its height is known.
    lblTip->setMinimumWidth(440);
    setFixedSize(sizeHint());
}

bool TfrmFlashLocalSecrityWarning::ShouldShow() {
    return ReadBoolSetting(QString::fromLatin1(kSettingName), true);
}

void TfrmFlashLocalSecrityWarning::SpeedButton3Click() {
    RunReportingErrors(host_.showError, [&] {
        if (host_.launchHelp) host_.launchHelp(SpeedButton3);
    });
}

void TfrmFlashLocalSecrityWarning::chckbxDontShowClick(bool checked) {
    RunReportingErrors(host_.showError, [&] { WriteBoolSetting(QString::fromLatin1(kSettingName), !checked); });
}

void TfrmFlashLocalSecrityWarning::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    btnOK->setFocus(Qt::OtherFocusReason);
}

}  // namespace qm
