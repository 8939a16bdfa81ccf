#include "gui/TfrmHelp.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "env/AppFolders.h"
#include "gui/ControlValues.h"
#include "gui/WebEngineHost.h"

namespace qm {

namespace {

// A help page, or a page beside it (the samples): a local HTML file.
bool IsLocalPage(const QUrl& url) {
    if (!url.isLocalFile()) return false;
    const QString path = url.path().toLower();
    return path.endsWith(QLatin1String(".htm")) || path.endsWith(QLatin1String(".html"));
}

QString ForTheDesktop(const QUrl& url) {
    return url.isLocalFile() ? url.toLocalFile() : url.toString();
}

}  // namespace

TfrmHelp::TfrmHelp(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("TfrmHelp"));
    setWindowTitle(QStringLiteral("Help"));
    // Closing the main window ends the program even while help is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    const auto button = [this](const char* name, QStyle::StandardPixmap icon, const QString& hint,
                               const QKeySequence& keys, void (TfrmHelp::*handler)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(hint + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) + QLatin1Char(')'));
        b->setText(hint);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, handler);
        auto* shortcut = new QAction(this);
        shortcut->setShortcut(keys);
        connect(shortcut, &QAction::triggered, this, handler);
        addAction(shortcut);
        return b;
    };
    tlbtnHelpBack = button("tlbtnHelpBack", QStyle::SP_ArrowBack, QStringLiteral("Back"),
                           QKeySequence(Qt::ALT | Qt::Key_Left), &TfrmHelp::Back);
    tlbtnHelpForward = button("tlbtnHelpForward", QStyle::SP_ArrowForward, QStringLiteral("Forward"),
                              QKeySequence(Qt::ALT | Qt::Key_Right), &TfrmHelp::Forward);
    tlbtnHelpHome = button("tlbtnHelpHome", QStyle::SP_DirHomeIcon, QStringLiteral("Home"),
                           QKeySequence(Qt::ALT | Qt::Key_Home), &TfrmHelp::Home);
    lblOpenInBrowser = new QLabel(QStringLiteral("<a href=\"open\">Open in browser</a>"), this);
    lblOpenInBrowser->setObjectName(QStringLiteral("lblOpenInBrowser"));
    lblOpenInBrowser->setToolTip(QStringLiteral("Show this page in your web browser"));
    connect(lblOpenInBrowser, &QLabel::linkActivated, this, &TfrmHelp::OpenInBrowser);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 10, 4);
    bar->addWidget(tlbtnHelpBack);
    bar->addWidget(tlbtnHelpForward);
    bar->addWidget(tlbtnHelpHome);
    bar->addStretch(1);
    bar->addWidget(lblOpenInBrowser);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    // Wide enough for the contents beside a topic.
    resize(940, 660);
    UpdateButtons();
    // Escape hides the window wherever the focus is in it: the page's view takes the
    // keys it is given for the page, but a shortcut of the window comes before them.
    auto* hideHelp = new QAction(this);
    hideHelp->setObjectName(QStringLiteral("actHideHelp"));
    hideHelp->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(hideHelp, &QAction::triggered, this, &QWidget::hide);
    addAction(hideHelp);
}

TfrmHelp::~TfrmHelp() {
    delete viewWidget_;  // before the window it tells goes
}

QString TfrmHelp::HomeUrl() {
    return LocalPathToFileUrl(GetProgramFolder() + QStringLiteral("help/index.html"));
}

void TfrmHelp::MakeViewer() {
    if (view_ || WebBrowser1) return;
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    if (IWebEngine* engine = WebEngine()) {
        TWebViewEvents events;
        events.loadFinished = [this](bool ok) { emit PageLoaded(ok); };
        events.navigationRequested = [this](const QUrl& url, bool newWindow) {
            return NavigationRequested(url, newWindow);
        };
        events.historyChanged = [this] { UpdateButtons(); };
        view_ = engine->CreateView(std::move(events), this);
        viewWidget_ = view_->Widget();
        viewWidget_->setObjectName(QStringLiteral("WebBrowser1"));
        layout->addWidget(viewWidget_, 1);
        return;
    }
    WebBrowser1 = new QTextBrowser(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setOpenExternalLinks(true);
    WebBrowser1->setFrameShape(QFrame::NoFrame);
    connect(WebBrowser1, &QTextBrowser::historyChanged, this, &TfrmHelp::UpdateButtons);
    layout->addWidget(WebBrowser1, 1);
}

void TfrmHelp::Navigate(const QString& url) {
    MakeViewer();
    requested_ = url;
    if (view_) {
        view_->Load(QUrl(url));
    } else {
        WebBrowser1->setSource(QUrl(url));
        emit PageLoaded(!WebBrowser1->document()->isEmpty());
    }
    UpdateButtons();
}

QString TfrmHelp::CurrentUrl() const {
    if (view_ && !view_->Url().isEmpty()) return view_->Url().toString();
    if (WebBrowser1) return WebBrowser1->source().toString();
    return requested_;
}

bool TfrmHelp::CanGoBack() const {
    return view_ ? view_->CanGoBack() : WebBrowser1 && WebBrowser1->isBackwardAvailable();
}

bool TfrmHelp::CanGoForward() const {
    return view_ ? view_->CanGoForward() : WebBrowser1 && WebBrowser1->isForwardAvailable();
}

void TfrmHelp::Back() {
    if (view_)
        view_->Back();
    else if (WebBrowser1)
        WebBrowser1->backward();
}

void TfrmHelp::Forward() {
    if (view_)
        view_->Forward();
    else if (WebBrowser1)
        WebBrowser1->forward();
}

void TfrmHelp::Home() {
    Navigate(HomeUrl());
}

bool TfrmHelp::NavigationRequested(const QUrl& url, bool newWindow) {
    if (!newWindow && IsLocalPage(url)) return true;
    emit OpenExternally(ForTheDesktop(url));
    return false;
}

void TfrmHelp::UpdateButtons() {
    tlbtnHelpBack->setEnabled(CanGoBack());
    tlbtnHelpForward->setEnabled(CanGoForward());
}

void TfrmHelp::OpenInBrowser() {
    const QString current = CurrentUrl();
    emit OpenExternally(ForTheDesktop(QUrl(current.isEmpty() ? HomeUrl() : current)));
}

// A key the focused part passed on (the shortcut above takes it first when the key
// comes from the window system).
void TfrmHelp::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace qm
