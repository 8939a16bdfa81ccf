#include "gui/dialogs/TformAbout.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

#include "gui/dialogs/ProductAddresses.h"

namespace qm {

namespace {

void SetTextRole(QLabel* label, QPalette::ColorRole role) {
    label->setForegroundRole(role);
}

}  // namespace

const QString& TformAbout::CopyrightText() {
    static const QString text = QStringLiteral("Copyright \u00A9 2026 Tarnwell. All rights reserved.");
    return text;
}

TformAbout::TformAbout(AddressOpener openAddress, QWidget* parent)
    // A fixed frame with only the system menu: a close box, no minimize, maximize or help.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      openAddress_(std::move(openAddress)) {
    setObjectName(QStringLiteral("TformAbout"));
    setWindowTitle(QString::fromLatin1(kProductName));
    // The light page of the desktop's palette (white in a light theme) with its text
    // colour, rather than a fixed white that a dark theme's light text would vanish on.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMouseTracking(true);

    QIcon icon = parent ? parent->window()->windowIcon() : QApplication::windowIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_DesktopIcon);
    auto* programIcon = new QLabel(this);
    programIcon->setObjectName(QStringLiteral("ProgramIcon"));
    programIcon->setPixmap(icon.pixmap(48, 48));
    programIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblProductName = new QLabel(QString::fromLatin1(kProductName), this);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont bold = lblProductName->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.5);
    lblProductName->setFont(bold);
    lblProductVersion = new QLabel(QString::fromLatin1(kVersionText), this);
    lblProductVersion->setObjectName(QStringLiteral("lblProductVersion"));
    lblCopyright = new QLabel(CopyrightText(), this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));

    auto* lblWebSite = new QLabel(QStringLiteral("Web Site"), this);
    lblWebSite->setObjectName(QStringLiteral("lblWebSite"));
    Label8 = MakeLinkLabel(QStringLiteral("Label8"), QString::fromLatin1(kHomePageAddress));
    auto* lblTechSupport = new QLabel(QStringLiteral("Tech Support"), this);
    lblTechSupport->setObjectName(QStringLiteral("lblTechSupport"));
    Label10 = MakeLinkLabel(QStringLiteral("Label10"), QString::fromLatin1(kSupportAddress));
    auto* lblRevision = new QLabel(QString::fromLatin1(kRevisionText), this);
    lblRevision->setObjectName(QStringLiteral("lblRevision"));

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button1->setMinimumWidth(88);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    auto* title = new QVBoxLayout;
    title->setSpacing(2);
    title->addWidget(lblProductName);
    title->addWidget(lblProductVersion);
    title->addSpacing(6);
    title->addWidget(lblCopyright);

    auto* links = new QGridLayout;
    links->setHorizontalSpacing(16);
    links->addWidget(lblWebSite, 0, 0);
    links->addWidget(Label8, 0, 1);
    links->addWidget(lblTechSupport, 1, 0);
    links->addWidget(Label10, 1, 1);
    links->setColumnStretch(1, 1);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(programIcon, 0, Qt::AlignTop);
    top->addLayout(title, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblRevision, 0, Qt::AlignBottom);
    bottom->addStretch();
    bottom->addWidget(Button1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->addLayout(top);
    layout->addSpacing(16);
    layout->addLayout(links);
    layout->addSpacing(16);
    layout->addLayout(bottom);

    // Every plain label passes mouse moves on as moves over the background; the two link
    // labels have their own.
    for (QLabel* label : findChildren<QLabel*>()) {
        label->setMouseTracking(true);
        label->installEventFilter(this);
        if (label != Label8 && label != Label10) SetTextRole(label, QPalette::Text);
    }
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

QLabel* TformAbout::MakeLinkLabel(const QString& name, const QString& address) {
    auto* label = new QLabel(address, this);
    label->setObjectName(name);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(address);
    SetTextRole(label, kLinkRole);
    return label;
}

void TformAbout::Open(const QString& address) {
    try {
        if (openAddress_) openAddress_(address);
        else QDesktopServices::openUrl(QUrl(address));
    } catch (...) {
        // Not checked, as a shell open is not: the browser reports its own failures.
    }
}

void TformAbout::Label8Click() {
    Open(Label8->text());
}

void TformAbout::Label10Click() {
    Open(Label10->text());
}

void TformAbout::Label8MouseMove() {
    SetTextRole(Label8, kHotLinkRole);
}

void TformAbout::Label10MouseMove() {
    SetTextRole(Label10, kHotLinkRole);
}

void TformAbout::FormMouseMove() {
    SetTextRole(Label8, kLinkRole);
    SetTextRole(Label10, kLinkRole);
}

void TformAbout::mouseMoveEvent(QMouseEvent* event) {
    FormMouseMove();
    QDialog::mouseMoveEvent(event);
}

bool TformAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && qobject_cast<QLabel*>(watched)) {
        if (watched == Label8) Label8MouseMove();
        else if (watched == Label10) Label10MouseMove();
        else FormMouseMove();
        // Handled here: a label would pass the move on to the window, whose background
        // handler would turn the link blue again at once.
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && (watched == Label8 || watched == Label10)) {
        // A click is a release over the label that was pressed (the press grabbed the mouse).
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* label = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
            if (label == Label8) Label8Click();
            else Label10Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qm
