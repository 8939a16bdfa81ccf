#pragma once
// Publish to Site: the site folder, and the pages that the publish will change (with
// those it refuses and why), shown before anything is written. The dialog only shows a
// plan; its owner makes it (whenever the folder changes) and commits it when the user
// chooses Publish.

#include <QDialog>
#include <functional>
#include <memory>

#include "site/SitePublisher.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace qm {

class IUserDialogs;

class TPublishToSiteDialog final : public QDialog {
    Q_OBJECT
public:
    // Makes the plan for a site folder; may throw qm::Error (a missing folder), which
    // the dialog shows in place of the list.
    using Planner = std::function<SitePlan(const std::filesystem::path& siteFolder)>;

    TPublishToSiteDialog(const QString& siteFolder, Planner planner, IUserDialogs& dialogs, QWidget* parent = nullptr);

    QString SiteFolder() const;
    // The plan the list shows; null while the folder cannot be read.
    SitePlan* Plan() { return plan_.get(); }

private:
    void Replan();
    void ChooseFolder();

    Planner planner_;
    IUserDialogs& dialogs_;
    std::unique_ptr<SitePlan> plan_;
    QLineEdit* edtSiteFolder_;
    QLabel* lblSummary_;
    QListWidget* lstPages_;
    QPushButton* btnPublish_;
};

// "6 pages will change, 1 unchanged, 1 without a place for the menu, 1 refused"
QString SitePlanSummary(const SitePlan& plan);

}  // namespace qm
