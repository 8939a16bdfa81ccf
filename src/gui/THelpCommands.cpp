#include "gui/THelpCommands.h"

#include <QAction>
#include <QApplication>
#include <QToolButton>

#include "env/AppFolders.h"
#include "gui/ControlValues.h"
#include "gui/IconFactory.h"
#include "gui/CommandActions.h"
#include "gui/TPropertyPages.h"
#include "gui/TfrmHelp.h"
#include "gui/WebEngineHost.h"
#include "gui/dialogs/ProductAddresses.h"
#include "gui/dialogs/TformAbout.h"

namespace qm {

namespace {

// The help pages behind the help buttons' tags.
constexpr const char* kHelpPages[] = {
    "getting_started.htm",
    "customizing_fl_flash_main_menu_items.htm",
    "customizing_fl_flash_sub_menu_items.htm",
    "customizing_fl_ext_sound.htm",
    "customizing_fl_ext_submenu.htm",
    "customizing_fl_ext_menu_box.htm",
    "customizing_fl_item_item_text.htm",
    "customizing_fl_item_item_link.htm",
    "customizing_fl_path_path.htm",
    "faq_flash_local_security_warning_dialog.htm",
};

}  // namespace

THelpCommands::THelpCommands(const TWindowContext& context, TPropertyPages& pages)
    : QObject(&context.window), context_(context), pages_(pages) {
    const auto make = [this](const QString& caption, const char* name, void (THelpCommands::*handler)()) {
        QAction* action = MakeCommandAction(this, caption, name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    Topic1 = make(QStringLiteral("Help &Topics"), "Topic1", &THelpCommands::Topic1Click);
    Topic1->setIcon(MakeIcon(TIconKind::Help));
    ContextHelp1 = make(QStringLiteral("Help &on This Page"), "ContextHelp1", &THelpCommands::ContextHelp1Click);
    ContextHelp1->setShortcut(QKeySequence(Qt::Key_F1));
    ContextHelp1->setStatusTip(QStringLiteral("Show the help page of the settings that have the focus"));
    ViewSample1 = make(QStringLiteral("View &Sample..."), "ViewSample1", &THelpCommands::ViewSample1Click);
    Homepage1 = make(QStringLiteral("&Homepage"), "Homepage1", &THelpCommands::Homepage1Click);
    ContactUs1 = make(QStringLiteral("&Contact Us"), "ContactUs1", &THelpCommands::ContactUs1Click);
    About1 = make(QStringLiteral("&About"), "About1", &THelpCommands::About1Click);
    About1->setIcon(MakeIcon(TIconKind::Application));
    About1->setStatusTip(QStringLiteral("Display version and copyright information"));
}

THelpCommands::~THelpCommands() = default;

TfrmHelp& THelpCommands::HelpWindow() {
    if (!helpWindow_) {
        helpWindow_ = std::make_unique<TfrmHelp>(nullptr);
        connect(helpWindow_.get(), &TfrmHelp::OpenExternally, this,
                [this](const QString& pathOrUrl) { context_.Guard([&] { context_.dialogs.OpenWithShell(pathOrUrl); }); });
    }
    return *helpWindow_;
}

QString THelpCommands::HelpPageOfTag(int tag) {
    const auto index = static_cast<unsigned>(tag);
    constexpr auto count = sizeof(kHelpPages) / sizeof(kHelpPages[0]);
    return QString::fromLatin1(index < count ? kHelpPages[index] : kHelpPages[0]);
}

void THelpCommands::ShowHelp(const QString& url) {
    TfrmHelp& help = HelpWindow();
    help.Navigate(url);
    help.show();
    help.raise();
    help.activateWindow();
}

// Help Topics and the samples show in the help window's engine; without one they go to
// the user's browser, where they look as they should.
void THelpCommands::Topic1Click() {
    context_.Guard([&] {
        if (WebEngine())
            ShowHelp(TfrmHelp::HomeUrl());
        else
            context_.dialogs.OpenWithShell(GetProgramFolder() + QStringLiteral("help/index.html"));
    });
}

void THelpCommands::ViewSample1Click() {
    context_.Guard([&] {
        const QString samples = GetProgramFolder() + QStringLiteral("samples/index.html");
        if (WebEngine())
            ShowHelp(LocalPathToFileUrl(samples));
        else
            context_.dialogs.OpenWithShell(samples);
    });
}

// The help button of the group that holds the focused field, or the page's first where
// the page tabs have the focus; Help Topics outside the pages.
void THelpCommands::ContextHelp1Click() {
    if (QToolButton* help = pages_.HelpButtonFor(QApplication::focusWidget()))
        SpeedButton_OnClick_LaunchHelpDoc(help);
    else
        Topic1Click();
}

void THelpCommands::SpeedButton_OnClick_LaunchHelpDoc(QObject* sender) {
    context_.Guard([&] {
        const int tag = sender ? sender->property("Tag").toInt() : 0;
        ShowHelp(LocalPathToFileUrl(GetProgramFolder() + QStringLiteral("help/") + HelpPageOfTag(tag)));
    });
}

void THelpCommands::Homepage1Click() {
    context_.Guard([&] { context_.dialogs.OpenWithShell(QString::fromLatin1(kHomePageAddress)); });
}

void THelpCommands::ContactUs1Click() {
    context_.Guard([&] { context_.dialogs.OpenWithShell(QString::fromLatin1(kSupportAddress)); });
}

void THelpCommands::About1Click() {
    context_.Guard([&] {
        IUserDialogs& dialogs = context_.dialogs;
        TformAbout about([&dialogs](const QString& address) { dialogs.OpenWithShell(address); }, &context_.window);
        dialogs.ExecModal(about);
    });
}

}  // namespace qm
