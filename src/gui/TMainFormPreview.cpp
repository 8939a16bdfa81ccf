// Preview: the page of the document as it stands (what is on screen: the controls hold
// nothing the document lacks), built into the page buffer, staged in the Preview
// folder with the movie, the script and the sounds, and opened in the chosen browser.

#include <QFile>
#include <QSaveFile>

#include "AppFolders.h"
#include "Error.h"
#include "IconFactory.h"
#include "PageWriter.h"
#include "Publisher.h"
#include "TMainForm.h"
#include "TformHTML.h"
#include "TformWebBrowser.h"
#include "TfrmFlashLocalSecrityWarning.h"
#include "WholeNumber.h"

namespace qm {

namespace {

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

}  // namespace

bool TMainForm::BuildHtmlToBuffer() {
    StorePanels();
    if (Agent().NodeCount() < 2) {
        dialogs_->MessageDlg(this, QStringLiteral("There is no item to preview. Add an item in the left pane and try again."),
                             TMsgDlgType::Error, QMessageBox::Ok);
        return false;
    }
    const auto size = [this](const std::string& value) { return ParseWholeNumber(value).value_or(0); };
    if (size(Agent().AppletData().flMenuMaxWidth) < 10 || size(Agent().AppletData().flMenuMaxHeight) < 10) {
        dialogs_->MessageDlg(this, QStringLiteral("The menu box is too small. Adjust its size on the Ext. tab."),
                             TMsgDlgType::Error, QMessageBox::Ok);
        return false;
    }
    const QString buildFile = GetTempFolder() + QStringLiteral("~tmp0001.txt");
    MakeHtmlCodes(Agent(), ToPath(buildFile));
    // Making the page refreshed the levels and converted the links in the document.
    document_->ValuesRewritten();
    QFile file(buildFile);
    if (!file.open(QIODevice::ReadOnly)) throw Error(buildFile.toStdString(), 0, "cannot be read");
    QString page = QString::fromUtf8(file.readAll());
    file.close();
    QFile::remove(buildFile);
    page.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (page.endsWith(QLatin1Char('\n'))) page.chop(1);
    HtmlWindow().SetLines(page.split(QLatin1Char('\n')));
    return true;
}

void TMainForm::Preview1Click() {
    Guard([&] {
        if (TfrmFlashLocalSecrityWarning::ShouldShow()) {
            TfrmFlashLocalSecrityWarning tip(
                {[this](QObject* sender) { SpeedButton_OnClick_LaunchHelpDoc(sender); }, ErrorReporterOfWindow(),
                 MakeIcon(TIconKind::HelpBook)},
                this);
            dialogs_->ExecModal(tip);
        }
        // After a refusal nothing more happens: no page of an earlier build is opened.
        if (!BuildHtmlToBuffer()) return;
        const QString preview = GetPreviewFolder();
        const QString program = GetProgramFolder();
        CopyLinkedFilesToPreview(Agent(), ToPath(preview), ToPath(program));
        CopyResourceFilesToPreview(Agent(), ToPath(preview), ToPath(program));

        const QString staged = GetTempFolder() + QStringLiteral("~preview.html");
        {
            QSaveFile file(staged);
            if (!file.open(QIODevice::WriteOnly)) throw Error(staged.toStdString(), 0, "cannot be written");
            for (const QString& line : HtmlWindow().Lines()) file.write(line.toUtf8() + "\r\n");
            if (!file.commit()) throw Error(staged.toStdString(), 0, "cannot be written");
        }
        CopyToPreviewFolder(Agent(), ToPath(preview), ToPath(staged));
        QFile::remove(staged);

        TformWebBrowser browser(this);
        browser.OpenPage(preview, QStringLiteral("~preview.html"));
    });
}

}  // namespace qm
