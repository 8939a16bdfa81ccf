#pragma once
// The window's commands for the web site beside the project: Publish to Site (with the
// list of pages that will change), Undo Publish to Site, Check Links (and the warning
// mark on each item whose link leads nowhere), New from Site and Import > Navigation
// from Web Page. The window only puts the actions into its menus.
//
// The site folder is the one the project's settings name (the project's folder when
// they name none); an untitled project uses the folder chosen last in this window.

#include <QObject>
#include <QString>
#include <filesystem>

#include "gui/TWindowContext.h"

class QAction;

namespace qm {

class TMenuTreeModel;
class TPanelBinding;
class TProjectFiles;

class TSiteCommands final : public QObject {
    Q_OBJECT
public:
    TSiteCommands(const TWindowContext& context, TPanelBinding& binding, TMenuTreeModel& model, TProjectFiles& files);

    QAction* PublishToSite1;
    QAction* UndoPublishToSite1;
    QAction* CheckLinks1;
    QAction* NewFromSite1;
    QAction* ImportNavigation1;

    // The site folder the commands work on; empty when none is known yet.
    QString SiteFolder() const;

public slots:
    void PublishToSite1Click();
    void UndoPublishToSite1Click();
    void CheckLinks1Click();
    void NewFromSite1Click();
    void ImportNavigation1Click();

private:
    // The items' broken links as warnings in the tree; nothing while the check is off.
    void RefreshLinkWarnings();
    void RememberSiteFolder(const QString& folder);
    std::filesystem::path HistoryFolder() const;

    const TWindowContext context_;
    TPanelBinding& binding_;
    TMenuTreeModel& model_;  // shows the broken links' marks
    TProjectFiles& files_;   // New from Site starts a document as New does
    QString chosenSite_;       // for an untitled project
    bool checkingLinks_ = false;  // Check Links was chosen for this document
};

}  // namespace qm
