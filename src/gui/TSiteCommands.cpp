#include "gui/TSiteCommands.h"
#include "gui/CommandActions.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <map>

#include "env/AppFolders.h"
#include "gui/CommandGuard.h"
#include "gui/TMainForm.h"
#include "gui/TProjectFiles.h"
#include "gui/TMenuTreeModel.h"
#include "gui/TPublishToSiteDialog.h"
#include "model/Error.h"
#include "model/TextFile.h"
#include "output/Publisher.h"
#include "site/LinkCheck.h"
#include "site/SiteFolder.h"
#include "site/SiteHistory.h"
#include "site/SiteImport.h"

namespace qm {

namespace {

namespace fs = std::filesystem;

const QString kPageFilter = QStringLiteral("Web Pages (*.html;*.htm)|*.html;*.htm");

fs::path ToPath(const QString& text) { return fs::path(text.toStdString()); }
QString FromPath(const fs::path& path) { return QString::fromStdString(DisplayPath(path)); }

}  // namespace

TSiteCommands::TSiteCommands(TMainForm& window) : QObject(&window), window_(window) {
    PublishToSite1 = MakeCommandAction(this, QStringLiteral("Pu&blish to Site..."), "PublishToSite1");
    PublishToSite1->setStatusTip(QStringLiteral("Write the menu into every page of the site"));
    UndoPublishToSite1 = MakeCommandAction(this, QStringLiteral("&Undo Publish to Site"), "UndoPublishToSite1");
    UndoPublishToSite1->setStatusTip(QStringLiteral("Put back the pages the last publish to the site changed"));
    CheckLinks1 = MakeCommandAction(this, QStringLiteral("Check &Links"), "CheckLinks1");
    CheckLinks1->setStatusTip(QStringLiteral("Mark the items whose links lead to no page of the site"));
    NewFromSite1 = MakeCommandAction(this, QStringLiteral("New &from Site..."), "NewFromSite1");
    NewFromSite1->setStatusTip(QStringLiteral("A new menu with the site's pages as its items"));
    ImportNavigation1 = MakeCommandAction(this, QStringLiteral("&Navigation from Web Page..."), "ImportNavigation1");
    ImportNavigation1->setStatusTip(QStringLiteral("A new menu with the items of a page's navigation"));
    connect(PublishToSite1, &QAction::triggered, this, &TSiteCommands::PublishToSite1Click);
    connect(UndoPublishToSite1, &QAction::triggered, this, &TSiteCommands::UndoPublishToSite1Click);
    connect(CheckLinks1, &QAction::triggered, this, &TSiteCommands::CheckLinks1Click);
    connect(NewFromSite1, &QAction::triggered, this, &TSiteCommands::NewFromSite1Click);
    connect(ImportNavigation1, &QAction::triggered, this, &TSiteCommands::ImportNavigation1Click);

    // The marks follow every edit once the check is on; another document starts
    // without them.
    connect(&window_.Document(), &TMenuDocument::Replaced, this, [this] {
        checkingLinks_ = false;
        window_.TreeModel().SetItemWarnings({});
    });
    connect(&window_.Document(), &TMenuDocument::Changed, this, &TSiteCommands::RefreshLinkWarnings);
}

QString TSiteCommands::SiteFolder() const {
    const QString project = window_.ProjectFilePath();
    if (project.isEmpty()) return chosenSite_;
    return FromPath(SiteFolderOf(ToPath(project)));
}

void TSiteCommands::RememberSiteFolder(const QString& folder) {
    const QString project = window_.ProjectFilePath();
    if (project.isEmpty()) {
        chosenSite_ = folder;
    } else if (QDir(folder) != QDir(SiteFolder())) {
        SetSiteFolder(ToPath(project), ToPath(folder));
    }
}

fs::path TSiteCommands::HistoryFolder() const {
    return ToPath(GetAppDataFolder()) / kSiteHistoryFolderName;
}

void TSiteCommands::PublishToSite1Click() {
    auto& dialogs = window_.Dialogs();
    RunGuarded(dialogs, &window_, [&] {
        // What is on screen, a number still being typed included.
        window_.StorePanels();
        const QString project = window_.ProjectFilePath();
        const fs::path projectPage =
            project.isEmpty() ? fs::path() : ToPath(project).replace_extension(".html");
        TPublishToSiteDialog dialog(
            SiteFolder(),
            [&](const fs::path& site) {
                return PlanSitePublish(window_.Agent(),
                                       {site, projectPage, {ToPath(GetProgramFolder()), ToPath(GetPreviewFolder())}});
            },
            dialogs, &window_);
        if (dialogs.ExecModal(dialog) != QDialog::Accepted || !dialog.Plan()) return;
        RememberSiteFolder(dialog.SiteFolder());
        CommitSitePlan(*dialog.Plan(), HistoryFolder());
        RefreshLinkWarnings();
        dialogs.MessageDlg(&window_, QString::fromStdString(SiteReportText(*dialog.Plan())).trimmed(),
                           TMsgDlgType::Information, QMessageBox::Ok);
    });
}

void TSiteCommands::UndoPublishToSite1Click() {
    auto& dialogs = window_.Dialogs();
    RunGuarded(dialogs, &window_, [&] {
        const QString site = SiteFolder();
        if (site.isEmpty()) {
            dialogs.MessageDlg(&window_, QStringLiteral("This menu has not been published to a site yet."),
                               TMsgDlgType::Information, QMessageBox::Ok);
            return;
        }
        std::vector<UndoneSitePage> undone;
        try {
            undone = UndoLastSiteRun(HistoryFolder(), ToPath(site));
        } catch (const Error& error) {
            dialogs.MessageDlg(&window_, QString::fromStdString(error.what()), TMsgDlgType::Information,
                               QMessageBox::Ok);
            return;
        }
        QStringList putBack, changed;
        for (const auto& page : undone)
            (page.outcome == UndoOutcome::ChangedSince ? changed : putBack) << QString::fromStdString(page.relative);
        QString text = QStringLiteral("Pages put back as they were (%1):\n  ").arg(putBack.size()) +
                       putBack.join(QStringLiteral("\n  "));
        if (!changed.isEmpty())
            text += QStringLiteral("\nPages changed since the publish, left as they are (%1):\n  ").arg(changed.size()) +
                    changed.join(QStringLiteral("\n  "));
        dialogs.MessageDlg(&window_, text, changed.isEmpty() ? TMsgDlgType::Information : TMsgDlgType::Warning,
                           QMessageBox::Ok);
    });
}

void TSiteCommands::CheckLinks1Click() {
    auto& dialogs = window_.Dialogs();
    RunGuarded(dialogs, &window_, [&] {
        window_.StorePanels();
        if (SiteFolder().isEmpty()) {
            const QString chosen = dialogs.GetExistingDirectory(&window_, QStringLiteral("Site Folder"), {});
            if (chosen.isEmpty()) return;
            RememberSiteFolder(chosen);
        }
        const auto broken = CheckLinks(window_.Agent(), ToPath(SiteFolder()));
        checkingLinks_ = true;
        RefreshLinkWarnings();
        QStringList lines;
        for (const auto& link : broken) lines << QString::fromStdString(link.message);
        if (lines.isEmpty())
            dialogs.MessageDlg(&window_, QStringLiteral("Every link leads to a page of the site."),
                               TMsgDlgType::Information, QMessageBox::Ok);
        else
            dialogs.MessageDlg(&window_, lines.join(QLatin1Char('\n')), TMsgDlgType::Warning, QMessageBox::Ok);
    });
}

void TSiteCommands::RefreshLinkWarnings() {
    if (!checkingLinks_) return;
    std::map<int, QString> warnings;
    try {
        for (const auto& link : CheckLinks(window_.Agent(), ToPath(SiteFolder())))
            warnings.emplace(link.item, QString::fromStdString(link.message));
    } catch (const Error&) {
        // The site folder went away: nothing to measure the links against.
    }
    window_.TreeModel().SetItemWarnings(std::move(warnings));
}

void TSiteCommands::NewFromSite1Click() {
    auto& dialogs = window_.Dialogs();
    RunGuarded(dialogs, &window_, [&] {
        const QString site = dialogs.GetExistingDirectory(&window_, QStringLiteral("New from Site"), SiteFolder());
        if (site.isEmpty()) return;
        auto items = ItemsFromSite(ToPath(site));
        if (items.empty()) {
            dialogs.MessageDlg(&window_, QStringLiteral("The folder holds no web pages."), TMsgDlgType::Information,
                               QMessageBox::Ok);
            return;
        }
        if (window_.Files().StartNewDocument([&](TMenuDocument& document) { document.Start(std::move(items)); }))
            chosenSite_ = site;
    });
}

void TSiteCommands::ImportNavigation1Click() {
    auto& dialogs = window_.Dialogs();
    RunGuarded(dialogs, &window_, [&] {
        const QString page =
            dialogs.GetOpenFileName(&window_, QStringLiteral("Import Navigation from Web Page"), kPageFilter, SiteFolder());
        if (page.isEmpty()) return;
        TItemArray items;
        try {
            items = ItemsFromNavigation(ToPath(page));
        } catch (const Error& error) {
            // The page by its name, as the user knows it.
            dialogs.MessageDlg(&window_,
                               QString::fromStdString(Error(QFileInfo(page).fileName().toStdString(), error.Line(),
                                                            error.Reason())
                                                          .what()),
                               TMsgDlgType::Error, QMessageBox::Ok);
            return;
        }
        window_.Files().StartNewDocument([&](TMenuDocument& document) { document.Start(std::move(items)); });
    });
}

}  // namespace qm
