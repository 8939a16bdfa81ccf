#include "env/AppFolders.h"

#include "model/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qm {

namespace {

constexpr const char* kRetrieveAppDataFailed =
    "Failed to retrieve application data path! Please contact vendor for help! Thank you!";
constexpr const char* kRetrieveDocumentsFailed =
    "Failed to retrieve my documents path! Please contact vendor for help! Thank you!";
constexpr const char* kCreateDataFolderFailed =
    "Failed to create data folder at application data path! Please contact vendor for help! Thank you!";
constexpr const char* kCreatePreviewFolderFailed =
    "Failed to create preview folder at application data path! Please contact vendor for help! Thank you!";
constexpr const char* kCreateTempFolderFailed =
    "Failed to create temp folder at application data path! Please contact vendor for help! Thank you!";

bool IsFolder(const QString& path) {
    return QFileInfo(path).isDir();
}

// Creates one level; a folder that appeared meanwhile (another copy of the program)
// counts as created.
bool EnsureFolder(const QString& path) {
    return IsFolder(path) || QDir().mkdir(path) || IsFolder(path);
}

// The platform's per-user base folder for application data or documents. On Windows
// the roaming application data (what the shell calls CSIDL_APPDATA), on Linux the XDG
// data home or the XDG documents folder. Empty when the path is unknown.
QString BaseLocation(QStandardPaths::StandardLocation location) {
#ifdef Q_OS_WIN
    if (location == QStandardPaths::GenericDataLocation)
        return QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
#endif
    return QStandardPaths::writableLocation(location);
}

// The base folder, made where it is missing: a fresh Linux account may not have it yet,
// and the XDG rules say a program that needs the data home creates it (the documents
// folder is created the same way). Empty when the path is unknown or is not a folder
// and cannot be made one.
QString BaseFolder(QStandardPaths::StandardLocation location) {
    const QString path = BaseLocation(location);
    if (path.isEmpty()) return {};
    if (!IsFolder(path)) QDir().mkpath(path);
    return IsFolder(path) ? path : QString();
}

constexpr const char* kProductLevels[] = {"Tarnwell", "Quillamere", "1.0"};

// base + "Tarnwell/Quillamere/1.0/", each level created when missing.
QString ProductFolderUnder(const QString& base) {
    QString path = base;
    for (const char* level : kProductLevels) {
        path = AddTrailingBackslash(path) + QLatin1String(level);
        if (!EnsureFolder(path)) throw Error(kCreateDataFolderFailed);
    }
    return AddTrailingBackslash(path);
}

// The product's folder under the base folder of location, made where it is missing.
// Asked at every open and save: a folder that is there already costs one look.
QString ProductFolder(QStandardPaths::StandardLocation location, const char* unknownBase) {
    if (const QString base = BaseLocation(location); !base.isEmpty()) {
        QString whole = AddTrailingBackslash(base);
        for (const char* level : kProductLevels) whole += QLatin1String(level) + QLatin1Char('/');
        if (IsFolder(whole)) return whole;
    }
    const QString base = BaseFolder(location);
    if (base.isEmpty()) throw Error(unknownBase);
    return ProductFolderUnder(base);
}

QString SubFolderOfData(const char* name, const char* failure) {
    const QString path = GetAppDataFolder() + QLatin1String(name);
    if (!EnsureFolder(path)) throw Error(failure);
    return AddTrailingBackslash(path);
}

}  // namespace

QString AddTrailingBackslash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString GetAppDataFolder() {
    return ProductFolder(QStandardPaths::GenericDataLocation, kRetrieveAppDataFailed);
}

QString GetPreviewFolder() {
    return SubFolderOfData("Preview", kCreatePreviewFolderFailed);
}

QString GetTempFolder() {
    return SubFolderOfData("Temp", kCreateTempFolderFailed);
}

QString GetTemplatesFolder() {
    return GetAppDataFolder() + QStringLiteral("Templates/");
}

QString GetDocumentsFolder() {
    return ProductFolder(QStandardPaths::DocumentsLocation, kRetrieveDocumentsFailed);
}

QString GetProgramFolder() {
    if (QCoreApplication::instance()) return AddTrailingBackslash(QCoreApplication::applicationDirPath());
    // Without an application object (a tool or a test that has none) ask the kernel.
    return AddTrailingBackslash(QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath());
}

}  // namespace qm
