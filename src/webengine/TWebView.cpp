#include "webengine/TWebView.h"

#include <QEvent>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace qm {

namespace {

// The page asks its view's owner before it goes anywhere: the preview stays on its
// page, help follows its own pages and hands the rest to the user's browser.
class TWebPage final : public QWebEnginePage {
public:
    TWebPage(QWebEngineProfile& profile, std::function<bool(const QUrl&, bool)> navigationRequested, QObject* parent)
        : QWebEnginePage(&profile, parent), navigationRequested_(std::move(navigationRequested)) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        // Frames inside a page (the sample pages' menus) load as the page says.
        if (!isMainFrame || !navigationRequested_) return true;
        return navigationRequested_(url, false);
    }
    // A link with a target of its own was asked for already (newWindowRequested).
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    // What a page writes to its console is the page's matter, not the program's log.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

private:
    std::function<bool(const QUrl&, bool)> navigationRequested_;
};

}  // namespace

TWebView::TWebView(QWebEngineProfile& profile, TWebViewEvents events, QWidget* parent)
    : QWebEngineView(parent), events_(std::move(events)) {
    setObjectName(QStringLiteral("WebEngineView"));
    auto* page = new TWebPage(profile, events_.navigationRequested, this);
    setPage(page);
    connect(page, &QWebEnginePage::loadFinished, this, &TWebView::LoadFinished);
    connect(page, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
        if (events_.linkHovered) events_.linkHovered(QUrl(url));
    });
    connect(page, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest& request) {
        if (events_.navigationRequested) events_.navigationRequested(request.requestedUrl(), true);
    });
    connect(page, &QWebEnginePage::urlChanged, this, [this] {
        if (events_.historyChanged) events_.historyChanged();
    });
    // A page whose renderer went away is a load that failed: whoever waits for it
    // learns so.
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] { LoadFinished(false); });
}

TWebView::~TWebView() {
    // Nothing the page still tells reaches the owner, who may be going too.
    page()->disconnect(this);
    if (watchedSurface_) watchedSurface_->removeEventFilter(this);
}

bool TWebView::CanGoBack() const {
    return history()->canGoBack();
}

bool TWebView::CanGoForward() const {
    return history()->canGoForward();
}

void TWebView::RunJavaScript(const QString& script, std::function<void(const QVariant&)> done) {
    page()->runJavaScript(script, [done = std::move(done)](const QVariant& result) {
        if (done) done(result);
    });
}

void TWebView::LoadFinished(bool ok) {
    // The engine draws into a surface widget of its own, made with the first page; its
    // next paint after a load shows the loaded page.
    if (QWidget* surface = focusProxy(); surface && surface != watchedSurface_) {
        if (watchedSurface_) watchedSurface_->removeEventFilter(this);
        surface->installEventFilter(this);
        watchedSurface_ = surface;
    }
    awaitingPaint_ = ok;
    // The engine may have handed over the loaded page's frame before it told of the
    // load's end, and then paints nothing more: the surface is painted again all the
    // same, with the page's latest frame.
    if (ok && watchedSurface_) watchedSurface_->update();
    if (events_.loadFinished) events_.loadFinished(ok);
    if (events_.historyChanged) events_.historyChanged();
}

bool TWebView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedSurface_ && event->type() == QEvent::Paint && awaitingPaint_) {
        awaitingPaint_ = false;
        // Told once the paint is done, not before it.
        QTimer::singleShot(0, this, [this] {
            if (events_.pageShown) events_.pageShown();
        });
    }
    return QWebEngineView::eventFilter(watched, event);
}

}  // namespace qm
