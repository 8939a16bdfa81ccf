#pragma once
// A view of the engine with a page of its own, as IWebView describes it.

#include <QPointer>
#include <QWebEngineView>

#include "gui/IWebEngine.h"

class QWebEngineProfile;

namespace qm {

class TWebView final : public QWebEngineView, public IWebView {
    Q_OBJECT
public:
    TWebView(QWebEngineProfile& profile, TWebViewEvents events, QWidget* parent);
    ~TWebView() override;

    QWidget* Widget() override { return this; }
    void Load(const QUrl& url) override { load(url); }
    QUrl Url() const override { return url(); }
    bool CanGoBack() const override;
    bool CanGoForward() const override;
    void Back() override { back(); }
    void Forward() override { forward(); }
    void RunJavaScript(const QString& script, std::function<void(const QVariant&)> done) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadFinished(bool ok);

    TWebViewEvents events_;
    // A load has finished and its page is not yet painted.
    bool awaitingPaint_ = false;
    QPointer<QWidget> watchedSurface_;
};

}  // namespace qm
