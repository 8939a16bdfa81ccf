// Preview: the page of the document as it stands (what is on screen: the controls hold
// nothing the document lacks), built into the page buffer, staged in the Preview
// folder with the movie, the script and the sounds, and opened in the chosen browser.
// Beside it the live preview pane, which shows the page in the embedded engine as the
// document changes; the help window's routes; and the size estimate, which measures
// the menu as the engine draws it.

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QStatusBar>
#include <QUrl>
#include <algorithm>

#include "env/AppFolders.h"
#include "model/Error.h"
#include "gui/IconFactory.h"
#include "model/LookValues.h"
#include "output/PageWriter.h"
#include "output/Publisher.h"
#include "env/Settings.h"
#include "gui/TLivePreview.h"
#include "gui/TWindowLayoutKeeper.h"
#include "gui/TMainForm.h"
#include "gui/TStatusBar.h"
#include "gui/TPropertyPages.h"
#include "gui/TformHTML.h"
#include "env/TformWebBrowser.h"
#include "gui/dialogs/TfrmFlashLocalSecrityWarning.h"
#include "gui/TfrmHelp.h"
#include "gui/WebEngineHost.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

// The live preview pane's settings: whether it is open, and the width it shows the
// page at (0 the box as set, else the width in CSS px).
const QString kLivePreviewOpen = QStringLiteral("LivePreviewOpen");
const QString kLivePreviewWidth = QStringLiteral("LivePreviewWidth");

// The settings only remember the pane's state: a store that cannot be read or
// written changes nothing else.
template <class Access>
void QuietlyInSettings(Access&& access) {
    try {
        access();
    } catch (const std::exception&) {
    }
}

}  // namespace

QString TMainForm::ProjectFolder() const {
    const QString project = ProjectFilePath();
    if (!project.isEmpty()) return AddTrailingBackslash(QFileInfo(project).absolutePath());
    return GetDocumentsFolder();
}

bool TMainForm::BuildHtmlToBuffer() {
    StorePanels();
    if (Agent().NodeCount() < 2) {
        dialogs_->MessageDlg(this, QStringLiteral("There is no item to preview. Add an item in the left pane and try again."),
                             TMsgDlgType::Error, QMessageBox::Ok);
        return false;
    }
    const auto size = [](const std::string& value) { return ParseWholeNumber(value).value_or(0); };
    if (size(Agent().AppletData().flMenuMaxWidth) < 10 || size(Agent().AppletData().flMenuMaxHeight) < 10) {
        dialogs_->MessageDlg(this, QStringLiteral("The menu box is too small. Adjust its size on the Ext. tab."),
                             TMsgDlgType::Error, QMessageBox::Ok);
        return false;
    }
    const QString buildFile = GetTempFolder() + QStringLiteral("~tmp0001.txt");
    // The page is opened from the Preview folder: its relative links would lead there.
    const std::string linkBase =
        AddTrailingBackslash(QUrl::fromLocalFile(ProjectFolder()).toString(QUrl::FullyEncoded)).toStdString();
    MakeHtmlCodes(Agent(), ToPath(buildFile), linkBase);
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
        document_->StageLinkedFiles(ToPath(preview), ToPath(program));
        document_->StageSounds(ToPath(preview), ToPath(program));

        const QString staged = GetTempFolder() + QStringLiteral("~preview.html");
        {
            QSaveFile file(staged);
            if (!file.open(QIODevice::WriteOnly)) throw Error(staged.toStdString(), 0, "cannot be written");
            for (const QString& line : HtmlWindow().Lines()) file.write(line.toUtf8() + "\r\n");
            if (!file.commit()) throw Error(staged.toStdString(), 0, "cannot be written");
        }
        document_->StageFile(ToPath(preview), ToPath(staged));
        QFile::remove(staged);

        TformWebBrowser browser(this);
        browser.OpenPage(preview, QStringLiteral("~preview.html"));
    });
}

// --- The live preview pane -------------------------------------------------------------

void TMainForm::BuildLivePreview() {
    livePreview_ = new TLivePreview(*document_, [this] { return ProjectFilePath(); });
    dckLivePreview = new QDockWidget(QStringLiteral("Live Preview"), this);
    dckLivePreview->setObjectName(QStringLiteral("dckLivePreview"));
    dckLivePreview->setWidget(livePreview_);
    dckLivePreview->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, dckLivePreview);
    dckLivePreview->hide();

    LivePreview1 = dckLivePreview->toggleViewAction();
    LivePreview1->setObjectName(QStringLiteral("LivePreview1"));
    LivePreview1->setText(QStringLiteral("&Live Preview"));
    LivePreview1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    LivePreview1->setStatusTip(QStringLiteral("Show the menu as it will be published, following every change"));
    // The pane takes the room its page needs, as far as the screen has it, when it opens
    // and when another width is chosen; the window keeps its place and the pane's.
    layoutKeeper_ = new TWindowLayoutKeeper(*this, *dckLivePreview, [this] { return livePreview_->PreferredWidth(); });
    // The user's choice (the menu, its keys): not the pane shown or hidden with the
    // window, nor put back as it was kept.
    connect(LivePreview1, &QAction::triggered, this, [this](bool open) {
        QuietlyInSettings([&] { WriteBoolSetting(kLivePreviewOpen, open); });
        if (open) layoutKeeper_->FitDock();
    });
    connect(livePreview_, &TLivePreview::WidthChosen, this, [this](TLivePreview::TWidth width) {
        QuietlyInSettings([&] { WriteIntSetting(kLivePreviewWidth, static_cast<int>(width)); });
        layoutKeeper_->FitDock();
    });
    connect(livePreview_, &TLivePreview::StatusMessage, this, [this](const QString& text, int timeout) {
        if (text.isEmpty())
            StatusBar1->clearMessage();
        else
            StatusBar1->showMessage(text, timeout);
    });
}

// The window where it was and as large, its pane where it was and as wide (or, the
// first time, a size that fits the screen); the pane open when the user left it open.
void TMainForm::RestoreLivePreview() {
    bool open = false;
    int width = 0;
    QuietlyInSettings([&] {
        width = ReadIntSetting(kLivePreviewWidth, 0);
        open = ReadBoolSetting(kLivePreviewOpen, false);
    });
    using TWidth = TLivePreview::TWidth;
    const bool known = width == static_cast<int>(TWidth::Phone) || width == static_cast<int>(TWidth::Tablet);
    livePreview_->SetWidth(known ? static_cast<TWidth>(width) : TWidth::Box);
    layoutKeeper_->Restore(QSize(825, 622));
    dckLivePreview->setVisible(open);
}

void TMainForm::KeepWindowLayout() {
    layoutKeeper_->Store();
    const bool open = dckLivePreview->isVisible();
    QuietlyInSettings([&] { WriteBoolSetting(kLivePreviewOpen, open); });
}

// --- Help -----------------------------------------------------------------------------------

void TMainForm::ConnectHelpWindow(TfrmHelp* help) {
    connect(help, &TfrmHelp::OpenExternally, this,
            [this](const QString& pathOrUrl) { Guard([&] { dialogs_->OpenWithShell(pathOrUrl); }); });
}

void TMainForm::ShowHelp(const QString& url) {
    TfrmHelp& help = HelpWindow();
    help.Navigate(url);
    help.show();
    help.raise();
    help.activateWindow();
}

// Help Topics and the samples show in the help window's engine; without one they go to
// the user's browser, where they look as they should.
void TMainForm::Topic1Click() {
    Guard([&] {
        if (WebEngine())
            ShowHelp(TfrmHelp::HomeUrl());
        else
            dialogs_->OpenWithShell(GetProgramFolder() + QStringLiteral("help/index.html"));
    });
}

void TMainForm::ViewSample1Click() {
    Guard([&] {
        const QString samples = GetProgramFolder() + QStringLiteral("samples/index.html");
        if (WebEngine())
            ShowHelp(LocalPathToFileUrl(samples));
        else
            dialogs_->OpenWithShell(samples);
    });
}

// --- The size estimate ------------------------------------------------------------------

std::pair<long long, long long> TMainForm::FormulaEstimate() const {
    if (Agent().NodeCount() < 2) return {0, 0};
    const TAppletData& look = Agent().AppletData();
    const auto number = [](const std::string& text) { return ParseWholeNumber(text).value_or(0); };
    const long long mainItems = Agent().ChildCount(kRootNode);
    return {mainItems * (2 * number(look.mainItemExtWidth) + 45),
            number(look.mainItemHeight) + number(look.subItemHeight) + 3};
}

void TMainForm::ApplyEstimate(long long width, long long height) {
    const auto fit = [](std::size_t field, long long value) {
        const LookField& rule = LookFieldAt(field);
        return std::to_string(std::clamp(value, rule.minimum, rule.maximum));
    };
    document_->SetLookValues({{kFlMenuMaxWidth, fit(kFlMenuMaxWidth, width)},
                              {kFlMenuMaxHeight, fit(kFlMenuMaxHeight, height)}},
                             QStringLiteral("Estimate Menu Box Size"));
}

// The two size fields as one step: the menu measured as the engine draws it, every main
// item in the bar and the tallest row of sub items under it, so that nothing is cut;
// where no engine can be had, from the formula. Both keep their range: 0 is stored as
// 1, anything above 9999 as 9999.
void TMainForm::btnCalcSizeClick() {
    Guard([&] {
        StorePanels();
        if (measuring_) return;
        if (Agent().NodeCount() < 2) {
            ApplyEstimate(0, 0);
            return;
        }
        measuring_ = true;
        pgcntrl1->btnCalcSize->setEnabled(false);
        StatusBar1->SetBusy(true);
        livePreview_->MeasureMenu([this](std::optional<QSize> drawn) {
            measuring_ = false;
            pgcntrl1->btnCalcSize->setEnabled(true);
            StatusBar1->SetBusy(false);
            Guard([&] {
                const auto [width, height] = drawn ? std::pair<long long, long long>(drawn->width(), drawn->height())
                                                   : FormulaEstimate();
                ApplyEstimate(width, height);
            });
        });
    });
}

}  // namespace qm
