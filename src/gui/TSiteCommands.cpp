#include "gui/TSiteCommands.h"
#include "gui/CommandActions.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <map>

#include "env/AppFolders.h"
#include "gui/TMenuDocument.h"
#include "gui/TPanelBinding.h"
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

TSiteCommands::TSiteCommands(const TWindowContext& context, TPanelBinding& binding, TMenuTreeModel& model,
                             TProjectFiles& files)
    : QObject(&context.window), context_(context), binding_(binding), model_(model), files_(files) {
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
    connect(&context_.document, &TMenuDocument::Replaced, this, [this] {
        checkingLinks_ = false;
        model_.SetItemWarnings({});
    });
    connect(&context_.document, &TMenuDocument::Changed, this, &TSiteCommands::RefreshLinkWarnings);
}

QString TSiteCommands::SiteFolder() const {
    const QString project = context_.document.ProjectFilePath();
    if (project.isEmpty()) return chosenSite_;
    return FromPath(SiteFolderOf(ToPath(project)));
}

void TSiteCommands::RememberSiteFolder(const QString& folder) {
    const QString project = context_.document.ProjectFilePath();
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
    auto& dialogs = context_.dialogs;
    context_.Guard([&] {
        // What is on screen, a number still being typed included.
        binding_.InterpretTypedNumbers();
        const QString project = context_.document.ProjectFilePath();
        const fs::path projectPage =
            project.isEmpty() ? fs::path() : ToPath(project).replace_extension(".html");
        TPublishToSiteDialog dialog(
            SiteFolder(),
            [&](const fs::path& site) {
                return PlanSitePublish(context_.document.Agent(),
                                       {site, projectPage, {ToPath(GetProgramFolder()), ToPath(GetPreviewFolder())}});
            },
            dialogs, &context_.window);
        if (dialogs.ExecModal(dialog) != QDialog::Accepted || !dialog.Plan()) return;
        RememberSiteFolder(dialog.SiteFolder());
        CommitSitePlan(*dialog.Plan(), HistoryFolder());
        RefreshLinkWarnings();
        dialogs.MessageDlg(&context_.window, QString::fromStdString(SiteReportText(*dialog.Plan())).trimmed(),
                           TMsgDlgType::Information, QMessageBox::Ok);
    });
}

void TSiteCommands::UndoPublishToSite1Click() {
    auto& dialogs = context_.dialogs;
    context_.Guard([&] {
        const QString site = SiteFolder();
        if (site.isEmpty()) {
            dialogs.MessageDlg(&context_.window, QStringLiteral("This menu has not been published to a site yet."),
                               TMsgDlgType::Information, QMessageBox::Ok);
            return;
        }
        std::vector<UndoneSitePage> undone;
        try {
            undone = UndoLastSiteRun(HistoryFolder(), ToPath(site));
        } catch (const Error& error) {
            dialogs.MessageDlg(&context_.window, QString::fromStdString(error.what()), TMsgDlgType::Information,
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
        dialogs.MessageDlg(&context_.window, text, changed.isEmpty() ? TMsgDlgType::Information : TMsgDlgType::Warning,
                           QMessageBox::Ok);
    });
}

void TSiteCommands::CheckLinks1Click() {
    auto& dialogs = context_.dialogs;
    context_.Guard([&] {
        binding_.InterpretTypedNumbers();
        if (SiteFolder().isEmpty()) {
            const QString chosen = dialogs.GetExistingDirectory(&context_.window, QStringLiteral("Site Folder"), {});
            if (chosen.isEmpty()) return;
            RememberSiteFolder(chosen);
        }
        const auto broken = CheckLinks(context_.document.Agent(), ToPath(SiteFolder()));
        checkingLinks_ = true;
        RefreshLinkWarnings();
        QStringList lines;
        for (const auto& link : broken) lines << QString::fromStdString(link.message);
        if (lines.isEmpty())
            dialogs.MessageDlg(&context_.window, QStringLiteral("Every link leads to a page of the site."),
                               TMsgDlgType::Information, QMessageBox::Ok);
        else
            dialogs.MessageDlg(&context_.window, lines.join(QLatin1Char('\n')), TMsgDlgType::Warning, QMessageBox::Ok);
    });
}

void TSiteCommands::RefreshLinkWarnings() {
    if (!checkingLinks_) return;
    std::map<int, QString> warnings;
    try {
        for (const auto& link : CheckLinks(context_.document.Agent(), ToPath(SiteFolder())))
            warnings.emplace(link.item, QString::fromStdString(link.message));
    } catch (const Error&) {
        // The site folder went away: nothing to measure the links against.
    }
    model_.SetItemWarnings(std::move(warnings));
}

void TSiteCommands::NewFromSite1Click() {
    auto& dialogs = context_.dialogs;
    context_.Guard([&] {
        const QString site = dialogs.GetExistingDirectory(&context_.window, QStringLiteral("New from Site"), SiteFolder());
        if (site.isEmpty()) return;
        auto items = ItemsFromSite(ToPath(site));
        if (items.empty()) {
            dialogs.MessageDlg(&context_.window, QStringLiteral("The folder holds no web pages."), TMsgDlgType::Information,
                               QMessageBox::Ok);
            return;
        }
        if (files_.StartNewDocument([&](TMenuDocument& document) { document.Start(std::move(items)); }))
            chosenSite_ = site;
    });
}

void TSiteCommands::ImportNavigation1Click() {
    auto& dialogs = context_.dialogs;
    context_.Guard([&] {
        const QString page =
            dialogs.GetOpenFileName(&context_.window, QStringLiteral("Import Navigation from Web Page"), kPageFilter, SiteFolder());
        if (page.isEmpty()) return;
        TItemArray items;
        try {
            items = ItemsFromNavigation(ToPath(page));
        } catch (const Error& error) {
            // The page by its name, as the user knows it.
            dialogs.MessageDlg(&context_.window,
                               QString::fromStdString(Error(QFileInfo(page).fileName().toStdString(), error.Line(),
                                                            error.Reason())
                                                          .what()),
                               TMsgDlgType::Error, QMessageBox::Ok);
            return;
        }
        files_.StartNewDocument([&](TMenuDocument& document) { document.Start(std::move(items)); });
    });
}

}  // namespace qm
