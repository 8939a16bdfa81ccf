#pragma once
// The plugin that brings the web engine: one off-the-record profile for every view of
// the program (nothing of the engine's is written to disk), the served scheme, and a
// gate that refuses every request that is neither that scheme nor a local file, so
// that no page shown by the program ever reaches the network.

#include <QObject>
#include <QPointer>

#include "gui/IWebEngine.h"

class QWebEngineProfile;

namespace qm {

class TWebEnginePlugin final : public QObject, public IWebEngine {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QM_WEB_ENGINE_IID)
    Q_INTERFACES(qm::IWebEngine)
public:
    void ServeScheme(const QByteArray& scheme, TWebResourceSource source) override;
    IWebView* CreateView(TWebViewEvents events, QWidget* parent) override;

private:
    QWebEngineProfile& Profile();

    QByteArray scheme_;
    TWebResourceSource source_;
    QPointer<QWebEngineProfile> profile_;
};

}  // namespace qm
