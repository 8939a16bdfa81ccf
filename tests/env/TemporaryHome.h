#pragma once
// A throw-away home for one test: HOME and the XDG folders point into a fresh
// temporary folder while the object lives, and back to what they were afterwards.
// Qt's standard paths read these variables on every call, and child processes
// (xdg-mime, the stand-in browsers) inherit them.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <map>

namespace qm::test {

class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    QString Root() const { return dir_.path(); }
    QString Home() const { return Root() + QStringLiteral("/home"); }
    QString DataHome() const { return Home() + QStringLiteral("/.local/share"); }
    QString ConfigHome() const { return Home() + QStringLiteral("/.config"); }

    // Sets an environment variable for the rest of this home's life.
    void Set(const char* name, const QByteArray& value);

private:
    QTemporaryDir dir_;
    std::map<QByteArray, std::pair<bool, QByteArray>> saved_;  // name -> (was set, old value)
};

// Writes a file, creating its folder; the test fails on error.
void WriteFile(const QString& path, const QByteArray& content);
QByteArray ReadFile(const QString& path);
// Writes an executable shell script.
void WriteScript(const QString& path, const QByteArray& body);

}  // namespace qm::test
