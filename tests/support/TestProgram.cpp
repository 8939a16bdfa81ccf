#include "support/TestProgram.h"

#include <QDir>
#include <QFile>

namespace qm::test {

void SetUpTestProgram(const QString& home, ProgramHomeFolders extras) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray root = home.toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CONFIG_HOME", root + "/config");
    if (extras.documents) qputenv("XDG_DOCUMENTS_DIR", root + "/Documents");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    if (extras.runtimeSubfolder) {
        const QString runtime = home + QStringLiteral("/runtime");
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else {
        qputenv("XDG_RUNTIME_DIR", root);
    }
}

}  // namespace qm::test
