#include "TestProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace qm::test {

TestProfile::TestProfile() {
    EXPECT_TRUE(dir_.isValid());
    QDir().mkpath(Root() + QStringLiteral("/home"));
    Set("HOME", (Root() + QStringLiteral("/home")).toUtf8());
    Set("XDG_DATA_HOME", DataHome().toUtf8());
    Set("XDG_CONFIG_HOME", ConfigHome().toUtf8());
}

TestProfile::~TestProfile() {
    for (const auto& [name, old] : saved_) {
        if (old.first) qputenv(name.constData(), old.second);
        else qunsetenv(name.constData());
    }
}

void TestProfile::Set(const char* name, const QByteArray& value) {
    if (!saved_.count(name)) saved_[name] = {qEnvironmentVariableIsSet(name), qgetenv(name)};
    qputenv(name, value);
}

void WriteFile(const QString& path, const QByteArray& content) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath())) << path.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(content), content.size());
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

}  // namespace qm::test
