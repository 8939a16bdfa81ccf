#pragma once
// The preview's pages as the engine fetches them, all from memory or read where they
// lie, nothing written: the page made from the document, the script and the movie
// from beside the program, the document's sounds from the Preview folder (where the
// panels stage them) or else the project's folder, and any other file of the project's
// folder as it is there. The page's address puts it where publishing would write it,
// so that the user's own relative links resolve against the project's folder.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

#include "gui/IWebEngine.h"

namespace qm {

class TPreviewSite {
public:
    // Answers the preview scheme (WebEngineHost) while it lives.
    TPreviewSite();
    ~TPreviewSite();
    TPreviewSite(const TPreviewSite&) = delete;
    TPreviewSite& operator=(const TPreviewSite&) = delete;

    // The folder the page lies in (ending in "/") and the page's file name.
    void SetLocation(const QString& folder, const QString& pageName);
    void SetPage(QByteArray page) { page_ = std::move(page); }
    const QByteArray& Page() const { return page_; }
    // The bare file names of the document's sounds.
    void SetSounds(QStringList names) { sounds_ = std::move(names); }

    // The page's address in the preview scheme.
    QUrl PageUrl() const;
    // What a request for path answers; nothing for a path outside the folder or a file
    // that is not there.
    std::optional<TWebResource> Resource(const QString& path) const;

    // Where an address of the preview's page leads the user: the local file's address
    // for one in the preview scheme, any other as it is.
    static QString AddressOf(const QUrl& url);

private:
    QString folder_;
    QString pageName_;
    QByteArray page_;
    QStringList sounds_;
};

}  // namespace qm
