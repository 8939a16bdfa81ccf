#include "support/TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace qm::test {

TemporaryHome::TemporaryHome(XdgFolders folders) : folders_(folders) {
    EXPECT_TRUE(dir_.isValid());
    QDir().mkpath(Home());
    Set("HOME", Home().toUtf8());
    if (folders_ == XdgFolders::BesideHome) {
        Set("XDG_DATA_HOME", DataHome().toUtf8());
        Set("XDG_CONFIG_HOME", ConfigHome().toUtf8());
        return;
    }
    // Left to their defaults under HOME, as on a fresh account; tests that need another
    // place set them.
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_CURRENT_DESKTOP"})
        Set(name, {});
}

TemporaryHome::~TemporaryHome() {
    for (const auto& [name, old] : saved_) {
        if (old.first) qputenv(name.constData(), old.second);
        else qunsetenv(name.constData());
    }
}

QString TemporaryHome::DataHome() const {
    return folders_ == XdgFolders::BesideHome ? Root() + QStringLiteral("/data")
                                              : Home() + QStringLiteral("/.local/share");
}

QString TemporaryHome::ConfigHome() const {
    return folders_ == XdgFolders::BesideHome ? Root() + QStringLiteral("/config")
                                              : Home() + QStringLiteral("/.config");
}

void TemporaryHome::Set(const char* name, const QByteArray& value) {
    if (!saved_.count(name)) saved_[name] = {qEnvironmentVariableIsSet(name), qgetenv(name)};
    if (value.isEmpty()) qunsetenv(name);
    else qputenv(name, value);
}

void WriteBytes(const QString& path, const QByteArray& content) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath())) << path.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(content), content.size());
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void WriteScript(const QString& path, const QByteArray& body) {
    WriteBytes(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
}

}  // namespace qm::test
