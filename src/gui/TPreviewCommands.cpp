#include "gui/TPreviewCommands.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QSaveFile>
#include <QUrl>
#include <algorithm>

#include "env/AppFolders.h"
#include "env/Settings.h"
#include "env/TformWebBrowser.h"
#include "gui/CommandActions.h"
#include "gui/ControlValues.h"
#include "gui/IconFactory.h"
#include "gui/THelpCommands.h"
#include "gui/TLivePreview.h"
#include "gui/TMenuDocument.h"
#include "gui/TPanelBinding.h"
#include "gui/TStatusBar.h"
#include "gui/TWindowLayoutKeeper.h"
#include "gui/TformHTML.h"
#include "gui/dialogs/TfrmFlashLocalSecrityWarning.h"
#include "model/Error.h"
#include "model/LookValues.h"
#include "model/WholeNumber.h"
#include "output/PageWriter.h"
#include "output/Publisher.h"

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

TPreviewCommands::TPreviewCommands(const TWindowContext& context, QMainWindow& mainWindow, TPanelBinding& binding,
                                   THelpCommands& help)
    : QObject(&context.window), context_(context), mainWindow_(mainWindow), binding_(binding), help_(help) {
    Preview1 = MakeCommandAction(this, QStringLiteral("&Preview"), "Preview1", TIconKind::Preview,
                                 QKeySequence(Qt::CTRL | Qt::Key_P));
    // The toolbar's button shows the action: its name, its icon and this hint.
    Preview1->setToolTip(QStringLiteral("Preview the menu in a web browser"));
    Preview1->setStatusTip(Preview1->toolTip());
    connect(Preview1, &QAction::triggered, this, &TPreviewCommands::Preview1Click);
    BuildLivePreview();
}

TPreviewCommands::~TPreviewCommands() {
    delete dock_;
}

QDockWidget& TPreviewCommands::LivePreviewDock() {
    return *dock_;
}

TformHTML& TPreviewCommands::HtmlWindow() {
    if (!htmlWindow_) htmlWindow_ = new TformHTML(&context_.window);
    return *htmlWindow_;
}

QString TPreviewCommands::ProjectFolder() const {
    const QString project = context_.document.ProjectFilePath();
    if (!project.isEmpty()) return AddTrailingBackslash(QFileInfo(project).absolutePath());
    return GetDocumentsFolder();
}

bool TPreviewCommands::BuildHtmlToBuffer() {
    binding_.InterpretTypedNumbers();
    const TkvxAppletAgent& agent = context_.document.Agent();
    IUserDialogs& dialogs = context_.dialogs;
    if (agent.NodeCount() < 2) {
        dialogs.MessageDlg(&context_.window, QStringLiteral("There is no item to preview. Add an item in the left pane and try again."),
                           TMsgDlgType::Error, QMessageBox::Ok);
        return false;
    }
    const auto size = [](const std::string& value) { return ParseWholeNumber(value).value_or(0); };
    if (size(agent.AppletData().flMenuMaxWidth) < 10 || size(agent.AppletData().flMenuMaxHeight) < 10) {
        dialogs.MessageDlg(&context_.window, QStringLiteral("The menu box is too small. Adjust its size on the Ext. tab."),
                           TMsgDlgType::Error, QMessageBox::Ok);
        return false;
    }
    const QString buildFile = GetTempFolder() + QStringLiteral("~tmp0001.txt");
    // The page is opened from the Preview folder: its relative links would lead there.
    const std::string linkBase =
        AddTrailingBackslash(QUrl::fromLocalFile(ProjectFolder()).toString(QUrl::FullyEncoded)).toStdString();
    MakeHtmlCodes(agent, ToPath(buildFile), linkBase);
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

void TPreviewCommands::Preview1Click() {
    context_.Guard([&] {
        IUserDialogs& dialogs = context_.dialogs;
        if (TfrmFlashLocalSecrityWarning::ShouldShow()) {
            TfrmFlashLocalSecrityWarning tip(
                {[this](QObject* sender) { help_.SpeedButton_OnClick_LaunchHelpDoc(sender); },
                 [this, &dialogs](const QString& message) { dialogs.ShowApplicationError(&context_.window, message); },
                 MakeIcon(TIconKind::HelpBook)},
                &context_.window);
            dialogs.ExecModal(tip);
        }
        // After a refusal nothing more happens: no page of an earlier build is opened.
        if (!BuildHtmlToBuffer()) return;
        TMenuDocument& document = context_.document;
        const QString preview = GetPreviewFolder();
        const QString program = GetProgramFolder();
        document.StageLinkedFiles(ToPath(preview), ToPath(program));
        document.StageSounds(ToPath(preview), ToPath(program));

        const QString staged = GetTempFolder() + QStringLiteral("~preview.html");
        {
            QSaveFile file(staged);
            if (!file.open(QIODevice::WriteOnly)) throw Error(staged.toStdString(), 0, "cannot be written");
            for (const QString& line : HtmlWindow().Lines()) file.write(line.toUtf8() + "\r\n");
            if (!file.commit()) throw Error(staged.toStdString(), 0, "cannot be written");
        }
        document.StageFile(ToPath(preview), ToPath(staged));
        QFile::remove(staged);

        TformWebBrowser browser(&context_.window);
        browser.OpenPage(preview, QStringLiteral("~preview.html"));
    });
}

// --- The live preview pane -------------------------------------------------------------

void TPreviewCommands::BuildLivePreview() {
    livePreview_ = new TLivePreview(context_.document, [this] { return context_.document.ProjectFilePath(); });
    dock_ = new QDockWidget(QStringLiteral("Live Preview"), &mainWindow_);
    dock_->setObjectName(QStringLiteral("dckLivePreview"));
    dock_->setWidget(livePreview_);
    dock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    mainWindow_.addDockWidget(Qt::RightDockWidgetArea, dock_);
    dock_->hide();

    LivePreview1 = dock_->toggleViewAction();
    LivePreview1->setObjectName(QStringLiteral("LivePreview1"));
    LivePreview1->setText(QStringLiteral("&Live Preview"));
    LivePreview1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    LivePreview1->setStatusTip(QStringLiteral("Show the menu as it will be published, following every change"));
    // The pane takes the room its page needs, as far as the screen has it, when it opens
    // and when another width is chosen; the window keeps its place and the pane's.
    layoutKeeper_ = new TWindowLayoutKeeper(mainWindow_, *dock_, [this] { return livePreview_->PreferredWidth(); });
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
            context_.statusBar.clearMessage();
        else
            context_.statusBar.showMessage(text, timeout);
    });
}

void TPreviewCommands::RestoreLivePreview() {
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
    dock_->setVisible(open);
}

void TPreviewCommands::KeepWindowLayout() {
    layoutKeeper_->Store();
    const bool open = dock_->isVisible();
    QuietlyInSettings([&] { WriteBoolSetting(kLivePreviewOpen, open); });
}

// --- The size estimate ------------------------------------------------------------------

std::pair<long long, long long> TPreviewCommands::FormulaEstimate() const {
    const TkvxAppletAgent& agent = context_.document.Agent();
    if (agent.NodeCount() < 2) return {0, 0};
    const TAppletData& look = agent.AppletData();
    const auto number = [](const std::string& text) { return ParseWholeNumber(text).value_or(0); };
    const long long mainItems = agent.ChildCount(kRootNode);
    return {mainItems * (2 * number(look.mainItemExtWidth) + 45),
            number(look.mainItemHeight) + number(look.subItemHeight) + 3};
}

void TPreviewCommands::ApplyEstimate(long long width, long long height) {
    const auto fit = [](std::size_t field, long long value) {
        const LookField& rule = LookFieldAt(field);
        return std::to_string(std::clamp(value, rule.minimum, rule.maximum));
    };
    context_.document.SetLookValues({{kFlMenuMaxWidth, fit(kFlMenuMaxWidth, width)},
                                      {kFlMenuMaxHeight, fit(kFlMenuMaxHeight, height)}},
                                     QStringLiteral("Estimate Menu Box Size"));
}

// The menu measured as the engine draws it, every main item in the bar and the tallest
// row of sub items under it, so that nothing is cut; where no engine can be had, from
// the formula. Both keep their range: 0 is stored as 1, anything above 9999 as 9999.
void TPreviewCommands::btnCalcSizeClick() {
    context_.Guard([&] {
        binding_.InterpretTypedNumbers();
        if (measuring_) return;
        if (context_.document.Agent().NodeCount() < 2) {
            ApplyEstimate(0, 0);
            return;
        }
        measuring_ = true;
        emit Estimating(true);
        context_.statusBar.SetBusy(true);
        livePreview_->MeasureMenu([this](std::optional<QSize> drawn) {
            measuring_ = false;
            emit Estimating(false);
            context_.statusBar.SetBusy(false);
            context_.Guard([&] {
                const auto [width, height] = drawn ? std::pair<long long, long long>(drawn->width(), drawn->height())
                                                   : FormulaEstimate();
                ApplyEstimate(width, height);
            });
        });
    });
}

}  // namespace qm
