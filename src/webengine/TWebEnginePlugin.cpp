#include "webengine/TWebEnginePlugin.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

#include "webengine/TWebView.h"

namespace qm {

namespace {

// Answers the served scheme from the program's source; a path it does not know is not
// found.
class TSchemeHandler final : public QWebEngineUrlSchemeHandler {
public:
    TSchemeHandler(TWebResourceSource source, QObject* parent)
        : QWebEngineUrlSchemeHandler(parent), source_(std::move(source)) {}

    void requestStarted(QWebEngineUrlRequestJob* job) override {
        const auto resource = source_ ? source_(job->requestUrl().path(QUrl::FullyDecoded)) : std::nullopt;
        if (!resource) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto* body = new QBuffer(job);
        body->setData(resource->data);
        job->reply(resource->mimeType, body);
    }

private:
    TWebResourceSource source_;
};

// Lets through the served scheme and local files; every other request (the network,
// above all) is refused before it leaves.
class TRequestGate final : public QWebEngineUrlRequestInterceptor {
public:
    TRequestGate(QByteArray scheme, QObject* parent) : QWebEngineUrlRequestInterceptor(parent), scheme_(std::move(scheme)) {}

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QString scheme = info.requestUrl().scheme();
        const bool local = scheme == QLatin1String("file") || scheme == QLatin1String("data") ||
                           scheme == QLatin1String("blob") || (!scheme_.isEmpty() && scheme == QLatin1String(scheme_));
        info.block(!local);
    }

private:
    QByteArray scheme_;
};

}  // namespace

void TWebEnginePlugin::ServeScheme(const QByteArray& scheme, TWebResourceSource source) {
    if (profile_ || !scheme_.isEmpty()) return;  // the engine knows its schemes once started
    // A path like a file's, so that the page's relative addresses resolve as they would
    // in its folder; local like a file, so that nothing of it is fetched elsewhere.
    QWebEngineUrlScheme served(scheme);
    served.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    served.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed |
                    QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(served);
    scheme_ = scheme;
    source_ = std::move(source);
}

QWebEngineProfile& TWebEnginePlugin::Profile() {
    if (!profile_) {
        // Off the record: no cache, cookies or history on disk. It goes with the
        // application, after every view.
        profile_ = new QWebEngineProfile(QCoreApplication::instance());
        profile_->setUrlRequestInterceptor(new TRequestGate(scheme_, profile_));
        if (!scheme_.isEmpty()) profile_->installUrlSchemeHandler(scheme_, new TSchemeHandler(source_, profile_));
        QWebEngineSettings* settings = profile_->settings();
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
        profile_->setSpellCheckEnabled(false);
    }
    return *profile_;
}

IWebView* TWebEnginePlugin::CreateView(TWebViewEvents events, QWidget* parent) {
    return new TWebView(Profile(), std::move(events), parent);
}

}  // namespace qm
