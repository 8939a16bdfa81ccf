#include "gui/TRecoveryOffer.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace qm {

QString TRecoveryOffer::NameOf(const TStaleCopy& copy) {
    return copy.origin.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(copy.origin).fileName();
}

QString TRecoveryOffer::KeptAtText(const QDateTime& keptAt, const QDateTime& now) {
    const QString time = keptAt.toString(QStringLiteral("HH:mm"));
    if (keptAt.date() == now.date()) return QStringLiteral("at ") + time;
    return QStringLiteral("on ") + keptAt.toString(QStringLiteral("d MMM yyyy")) + QStringLiteral(" at ") + time;
}

QString TRecoveryOffer::QuestionOf(const TStaleCopy& copy, const QDateTime& now) {
    return NameOf(copy) +
           QStringLiteral(" has changes that were not saved when Quillamere last closed unexpectedly (kept %1). "
                          "Restore them?")
               .arg(KeptAtText(copy.keptAt, now));
}

TRecoveryOffer::TRecoveryOffer(std::vector<TStaleCopy> copies, const QDateTime& now, QWidget* parent)
    : QDialog(parent), copies_(std::move(copies)) {
    setObjectName(QStringLiteral("TRecoveryOffer"));
    setWindowTitle(QStringLiteral("Restore Unsaved Changes"));
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);
    question_ = new QLabel(this);
    question_->setObjectName(QStringLiteral("lblQuestion"));
    question_->setWordWrap(true);
    question_->setMinimumWidth(380);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("lstCopies"));
    if (copies_.size() == 1) {
        question_->setText(QuestionOf(copies_.front(), now));
        list_->hide();
    } else {
        question_->setText(QStringLiteral("Quillamere last closed unexpectedly with changes that were not saved in "
                                          "%1 projects. Restore the one chosen? The others are kept and offered again.")
                               .arg(copies_.size()));
        for (const TStaleCopy& copy : copies_) {
            QString row = NameOf(copy) + QStringLiteral(" (kept ") + KeptAtText(copy.keptAt, now) + QLatin1Char(')');
            if (!copy.origin.isEmpty()) row += QStringLiteral(" \u2013 ") + QFileInfo(copy.origin).absolutePath();
            list_->addItem(row);
        }
        list_->setCurrentRow(0);
        // Each row whole, and no more rows' room than there are copies (up to six).
        const int frame = 2 * list_->frameWidth() + 4;
        list_->setMinimumWidth(std::min(list_->sizeHintForColumn(0) + frame, 720));
        list_->setFixedHeight(list_->sizeHintForRow(0) * std::min(list_->count(), 6) + frame);
        list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    auto* buttons = new QDialogButtonBox(this);
    restore_ = buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole);
    restore_->setObjectName(QStringLiteral("btnRestore"));
    discard_ = buttons->addButton(QStringLiteral("&Discard"), QDialogButtonBox::DestructiveRole);
    discard_->setObjectName(QStringLiteral("btnDiscard"));
    restore_->setDefault(true);
    connect(restore_, &QPushButton::clicked, this, [this] { Choose(list_->currentRow(), Choice::Restore); });
    connect(discard_, &QPushButton::clicked, this, [this] { Choose(list_->currentRow(), Choice::Discard); });

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    auto* texts = new QVBoxLayout;
    texts->addWidget(question_);
    texts->addWidget(list_);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

QString TRecoveryOffer::Question() const {
    return question_->text();
}

const TStaleCopy& TRecoveryOffer::ChosenCopy() const {
    const int row = list_->currentRow();
    return copies_[row < 0 ? 0 : static_cast<std::size_t>(row)];
}

void TRecoveryOffer::Choose(int row, Choice choice) {
    if (row >= 0 && row < static_cast<int>(copies_.size())) list_->setCurrentRow(row);
    chosen_ = choice;
    accept();
}

}  // namespace qm
