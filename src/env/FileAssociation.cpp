#include "env/FileAssociation.h"

#include "AssociationTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace qm {

namespace {

QString DataHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

// The Desktop Entry rules for one argument of Exec: an argument holding a reserved
// character is put in double quotes, inside which ", `, $ and \ take a backslash;
// "%" is doubled everywhere, because it starts a field code.
QString QuoteExecArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument) needsQuotes = needsQuotes || reserved.contains(c);
    QString quoted;
    for (const QChar c : argument) {
        if (needsQuotes && (c == u'"' || c == u'`' || c == u'$' || c == u'\\')) quoted += u'\\';
        quoted += c;
        if (c == u'%') quoted += u'%';
    }
    return needsQuotes ? u'"' + quoted + u'"' : quoted;
}

// The escapes of every string value in a desktop entry; applied after the Exec
// quoting, so a backslash in a quoted path ends up as four.
QString EscapeStringValue(const QString& value) {
    QString escaped;
    for (const QChar c : value) {
        if (c == u'\\') escaped += QStringLiteral("\\\\");
        else if (c == u'\n') escaped += QStringLiteral("\\n");
        else if (c == u'\t') escaped += QStringLiteral("\\t");
        else if (c == u'\r') escaped += QStringLiteral("\\r");
        else escaped += c;
    }
    return escaped;
}

// Writes text unless the file already holds exactly it; true when written.
bool WriteIfChanged(const QString& path, const QByteArray& text) {
    {
        QFile existing(path);
        if (existing.open(QIODevice::ReadOnly) && existing.readAll() == text) return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text);
    return file.commit();
}

// Runs a freedesktop database tool when it is installed; true when it ran and
// succeeded. It only runs after a change, so its cost is not paid on every start.
bool RunTool(const QString& tool, const QString& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) return false;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, {folder});
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool MimeDatabaseKnowsOurType(const QString& mimeFolder) {
    return QFileInfo::exists(mimeFolder + QStringLiteral("/") + QLatin1String(kProjectMimeType) +
                             QStringLiteral(".xml"));
}

bool DesktopDatabaseKnowsOurEntry(const QString& applicationsFolder) {
    QFile cache(applicationsFolder + QStringLiteral("/mimeinfo.cache"));
    if (!cache.open(QIODevice::ReadOnly)) return false;
    const QByteArray expected = QByteArray(kProjectMimeType) + "=";
    for (const QByteArray& line : cache.readAll().split('\n'))
        if (line.startsWith(expected) && line.contains("quillamere.desktop")) return true;
    return false;
}

#ifdef Q_OS_WIN
void RegisterInRegistry(const QString& programPath) {
    const QString program = QDir::toNativeSeparators(programPath);
    QSettings classes(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"), QSettings::NativeFormat);
    // As the registry keys were always written: neither the path nor %1 in quotes; the
    // program joins the arguments of a path with blanks again.
    const std::pair<QString, QString> values[] = {
        {QStringLiteral("Quillamere.Document/DefaultIcon/Default"), program + QStringLiteral(",0")},
        {QStringLiteral("Quillamere.Document/shell/open/command/Default"), program + QStringLiteral(" %1")},
        {QStringLiteral(".zorbel/Default"), QStringLiteral("Quillamere.Document")},
    };
    for (const auto& [key, value] : values) {
        classes.setValue(key, value);
        classes.sync();
        if (classes.status() != QSettings::NoError) return;
    }
}
#endif

}  // namespace

QString UserMimePackagePath() {
    return DataHome() + QStringLiteral("/mime/packages/quillamere.xml");
}

QString UserDesktopEntryPath() {
    return DataHome() + QStringLiteral("/applications/quillamere.desktop");
}

QString MimePackageText() {
    return QString::fromUtf8(association_texts::kMimePackage);
}

QString DesktopEntryTextFor(const QString& programPath) {
    QStringList lines = QString::fromUtf8(association_texts::kDesktopEntry).split(u'\n');
    for (QString& line : lines) {
        if (line.startsWith(QStringLiteral("Exec=")))
            line = QStringLiteral("Exec=") + EscapeStringValue(QuoteExecArgument(programPath)) + QStringLiteral(" %f");
        else if (line.startsWith(QStringLiteral("TryExec=")))
            line = QStringLiteral("TryExec=") + EscapeStringValue(programPath);
    }
    return lines.join(u'\n');
}

FileAssociationResult RegisterFileAssociationFor(const QString& programPath) {
    FileAssociationResult result;
#ifdef Q_OS_WIN
    RegisterInRegistry(programPath);
#else
    if (DataHome().isEmpty()) return result;
    result.mimePackageWritten = WriteIfChanged(UserMimePackagePath(), MimePackageText().toUtf8());
    result.desktopEntryWritten = WriteIfChanged(UserDesktopEntryPath(), DesktopEntryTextFor(programPath).toUtf8());

    const QString mimeFolder = DataHome() + QStringLiteral("/mime");
    if (result.mimePackageWritten || !MimeDatabaseKnowsOurType(mimeFolder))
        result.mimeDatabaseRefreshed = RunTool(QStringLiteral("update-mime-database"), mimeFolder);
    const QString applicationsFolder = DataHome() + QStringLiteral("/applications");
    if (result.desktopEntryWritten || !DesktopDatabaseKnowsOurEntry(applicationsFolder))
        result.desktopDatabaseRefreshed = RunTool(QStringLiteral("update-desktop-database"), applicationsFolder);
#endif
    return result;
}

void RegisterFileAssociation() {
    // Registration is a courtesy to the desktop: nothing in it may stop the program.
    try {
        RegisterFileAssociationFor(QCoreApplication::applicationFilePath());
    } catch (...) {
    }
}

}  // namespace qm
