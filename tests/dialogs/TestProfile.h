#pragma once
// A throw-away user profile for one test: HOME, XDG_DATA_HOME and XDG_CONFIG_HOME point
// into a fresh temporary folder while the object lives, and back afterwards. The
// environment layer asks Qt's standard paths on every call, so the program's folders
// and settings land in here.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>

namespace qm::test {

class TestProfile {
public:
    TestProfile();
    ~TestProfile();
    TestProfile(const TestProfile&) = delete;
    TestProfile& operator=(const TestProfile&) = delete;

    QString Root() const { return dir_.path(); }
    QString DataHome() const { return Root() + QStringLiteral("/data"); }
    QString ConfigHome() const { return Root() + QStringLiteral("/config"); }
    // Where the program keeps its per-user data, with a trailing "/".
    QString DataFolder() const { return DataHome() + QStringLiteral("/Tarnwell/Quillamere/1.0/"); }
    QString TemplatesFolder() const { return DataFolder() + QStringLiteral("Templates/"); }
    // The store of the boolean settings.
    QString SettingsFile() const { return ConfigHome() + QStringLiteral("/Tarnwell/Quillamere-1.0.ini"); }

    // Sets an environment variable for the rest of the profile's life.
    void Set(const char* name, const QByteArray& value);

private:
    QTemporaryDir dir_;
    std::map<QByteArray, std::pair<bool, QByteArray>> saved_;  // name -> (was set, old value)
};

// Writes a file, creating its folder; the test fails on error.
void WriteFile(const QString& path, const QByteArray& content);
// The file's bytes; empty when it cannot be read.
QByteArray ReadFile(const QString& path);

// Collects the messages handed to an error reporter.
struct ErrorLog {
    QStringList messages;
    auto Reporter() {
        return [this](const QString& message) { messages << message; };
    }
};

}  // namespace qm::test
