#include "gui/TPublishToSiteDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/IUserDialogs.h"
#include "gui/dialogs/DialogErrors.h"

namespace qm {

namespace {

QString Pages(int count) { return QString::number(count) + (count == 1 ? QStringLiteral(" page") : QStringLiteral(" pages")); }

std::filesystem::path ToPath(const QString& text) { return std::filesystem::path(text.toStdString()); }

}  // namespace

QString SitePlanSummary(const SitePlan& plan) {
    QStringList parts{Pages(plan.Count(PageOutcome::Written)) + QStringLiteral(" will change")};
    if (const int n = plan.Count(PageOutcome::Unchanged)) parts << QString::number(n) + QStringLiteral(" unchanged");
    if (const int n = plan.Count(PageOutcome::WithoutMenuPlace))
        parts << QString::number(n) + QStringLiteral(" without a place for the menu");
    if (const int n = plan.Count(PageOutcome::Refused)) parts << QString::number(n) + QStringLiteral(" refused");
    QString summary = parts.join(QStringLiteral(", "));
    if (!plan.companions.empty()) {
        QStringList names;
        for (const auto& companion : plan.companions) names << QString::fromStdString(companion.name);
        summary += QStringLiteral(";\nat the site's root: ") + names.join(QStringLiteral(", "));
    }
    return summary;
}

TPublishToSiteDialog::TPublishToSiteDialog(const QString& siteFolder, Planner planner, IUserDialogs& dialogs,
                                           QWidget* parent)
    : QDialog(parent), planner_(std::move(planner)), dialogs_(dialogs) {
    setObjectName(QStringLiteral("TformPublishToSite"));
    setWindowTitle(QStringLiteral("Publish to Site"));
    auto* layout = new QVBoxLayout(this);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("Site folder:"), this));
    edtSiteFolder_ = new QLineEdit(siteFolder, this);
    edtSiteFolder_->setObjectName(QStringLiteral("edtSiteFolder"));
    folderRow->addWidget(edtSiteFolder_, 1);
    auto* choose = new QPushButton(QStringLiteral("Choose..."), this);
    choose->setObjectName(QStringLiteral("btnChooseSiteFolder"));
    folderRow->addWidget(choose);
    layout->addLayout(folderRow);
    lblSummary_ = new QLabel(this);
    lblSummary_->setObjectName(QStringLiteral("lblSiteSummary"));
    lblSummary_->setWordWrap(true);
    layout->addWidget(lblSummary_);
    lstPages_ = new QListWidget(this);
    lstPages_->setObjectName(QStringLiteral("lstSitePages"));
    lstPages_->setWordWrap(true);
    lstPages_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(lstPages_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    btnPublish_ = buttons->addButton(QStringLiteral("Publish"), QDialogButtonBox::AcceptRole);
    btnPublish_->setObjectName(QStringLiteral("btnPublish"));
    btnPublish_->setDefault(true);
    layout->addWidget(buttons);
    resize(560, 420);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(choose, &QPushButton::clicked, this, &TPublishToSiteDialog::ChooseFolder);
    connect(edtSiteFolder_, &QLineEdit::editingFinished, this, &TPublishToSiteDialog::Replan);
    Replan();
}

QString TPublishToSiteDialog::SiteFolder() const { return edtSiteFolder_->text().trimmed(); }

void TPublishToSiteDialog::ChooseFolder() {
    const QString chosen = dialogs_.GetExistingDirectory(this, QStringLiteral("Site Folder"), SiteFolder());
    if (chosen.isEmpty()) return;
    edtSiteFolder_->setText(chosen);
    Replan();
}

void TPublishToSiteDialog::Replan() {
    plan_.reset();
    lstPages_->clear();
    if (SiteFolder().isEmpty()) {
        lblSummary_->setText(QStringLiteral("Choose the folder of the site whose pages get the menu."));
    } else {
        try {
            plan_ = std::make_unique<SitePlan>(planner_(ToPath(SiteFolder())));
        } catch (...) {
            lblSummary_->setText(DescribeException(std::current_exception()));
        }
    }
    btnPublish_->setEnabled(plan_ && (!plan_->PagesThatChange().empty() || !plan_->companions.empty()));
    if (!plan_) return;
    lblSummary_->setText(SitePlanSummary(*plan_));
    const QIcon page = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    const QIcon refused = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    // The pages that will change, then those refused with the reason.
    for (const auto outcome : {PageOutcome::Written, PageOutcome::Refused})
        for (const auto& entry : plan_->pages)
            if (entry.outcome == outcome)
                new QListWidgetItem(outcome == PageOutcome::Written ? page : refused,
                                    QString::fromStdString(outcome == PageOutcome::Written ? entry.page.relative
                                                                                           : entry.refusal),
                                    lstPages_);
}

}  // namespace qm
