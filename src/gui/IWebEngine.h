#pragma once
// The embedded web engine as the windows see it.
//
// The engine (Qt WebEngine, a Chromium) lives in a plugin of its own,
// quillamere-webengine beside the program, which WebEngineHost loads the first time a
// window needs it: loading the engine costs more start-up time than the rest of the
// program, and a window without the preview pane or help open must not pay it. The
// plugin implements these interfaces and nothing else of the engine is seen outside
// it, so the program also builds and runs without it (the preview pane then says why,
// the size estimate falls back to its formula, help shows in a plain text viewer).

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QtPlugin>
#include <functional>
#include <optional>

class QWidget;

namespace qm {

// One answer of the served scheme: the bytes and their MIME type.
struct TWebResource {
    QByteArray mimeType;
    QByteArray data;
};
// Asked for every request of the served scheme, with the request's path; nothing
// answers "not found".
using TWebResourceSource = std::function<std::optional<TWebResource>(const QString& path)>;

// What a view tells its owner; any of them may be left empty.
struct TWebViewEvents {
    // A load finished; ok is false when it failed.
    std::function<void(bool ok)> loadFinished;
    // The view painted after a load finished: the page is on screen.
    std::function<void()> pageShown;
    // The pointer is over a link (its address), or has left it (an empty address).
    std::function<void(const QUrl& url)> linkHovered;
    // The page wants to show url in its main frame, or in a new window (newWindow).
    // Returning false keeps the page where it is; a new window is never opened.
    std::function<bool(const QUrl& url, bool newWindow)> navigationRequested;
    // The address or the history changed (Back and Forward may have changed).
    std::function<void()> historyChanged;
};

class IWebView {
public:
    virtual ~IWebView() = default;
    // The view's widget. The widget owns this object: deleting it deletes the view.
    virtual QWidget* Widget() = 0;
    virtual void Load(const QUrl& url) = 0;
    virtual QUrl Url() const = 0;
    virtual bool CanGoBack() const = 0;
    virtual bool CanGoForward() const = 0;
    virtual void Back() = 0;
    virtual void Forward() = 0;
    // Runs script in the page's main frame; done gets its result (an invalid QVariant
    // when the script failed).
    virtual void RunJavaScript(const QString& script, std::function<void(const QVariant&)> done) = 0;
};

class IWebEngine {
public:
    virtual ~IWebEngine() = default;
    // The scheme whose every request source answers. Called once, before the first
    // view is made.
    virtual void ServeScheme(const QByteArray& scheme, TWebResourceSource source) = 0;
    // A new view with a page of its own, under parent (or a hidden window of its own
    // without one). Its pages reach nothing but the served scheme and local files:
    // every other request is refused.
    virtual IWebView* CreateView(TWebViewEvents events, QWidget* parent) = 0;
};

}  // namespace qm

#define QM_WEB_ENGINE_IID "app.quillamere.WebEngine/1"
Q_DECLARE_INTERFACE(qm::IWebEngine, QM_WEB_ENGINE_IID)
