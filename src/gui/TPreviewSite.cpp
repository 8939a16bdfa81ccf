#include "gui/TPreviewSite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include "env/AppFolders.h"
#include "gui/WebEngineHost.h"

namespace qm {

namespace {

// A file's bytes when it is a regular file of a sensible size.
std::optional<TWebResource> ReadFile(const QString& path) {
    constexpr qint64 kLargest = qint64{64} << 20;
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kLargest) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return TWebResource{QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).name().toUtf8(),
                        file.readAll()};
}

}  // namespace

TPreviewSite::TPreviewSite() {
    AddPreviewSource(this, [this](const QString& path) { return Resource(path); });
}

TPreviewSite::~TPreviewSite() {
    RemovePreviewSource(this);
}

void TPreviewSite::SetLocation(const QString& folder, const QString& pageName) {
    folder_ = AddTrailingBackslash(QDir::cleanPath(folder));
    pageName_ = pageName;
}

QUrl TPreviewSite::PageUrl() const {
    QUrl url;
    url.setScheme(QString::fromLatin1(kPreviewScheme));
    url.setPath(folder_ + pageName_);
    return url;
}

std::optional<TWebResource> TPreviewSite::Resource(const QString& path) const {
    const QString clean = QDir::cleanPath(path);
    if (folder_.isEmpty() || !clean.startsWith(folder_)) return std::nullopt;
    const QString name = clean.mid(folder_.size());
    if (name == pageName_) return TWebResource{QByteArrayLiteral("text/html"), page_};
    if (name == QLatin1String("swfhelper.js") || name == QLatin1String("zelvanbar.swf"))
        return ReadFile(GetProgramFolder() + name);
    if (sounds_.contains(name))
        if (auto staged = ReadFile(GetPreviewFolder() + name)) return staged;
    return ReadFile(clean);
}

QString TPreviewSite::AddressOf(const QUrl& url) {
    if (url.scheme() != QLatin1String(kPreviewScheme)) return url.toString();
    QUrl file = QUrl::fromLocalFile(url.path(QUrl::FullyDecoded));
    file.setQuery(url.query());
    file.setFragment(url.fragment());
    return file.toString();
}

}  // namespace qm
