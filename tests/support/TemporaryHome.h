#pragma once
// A throw-away home for one test: HOME and the XDG folders point into a fresh
// temporary folder while the object lives, and back to what they were afterwards.
// Qt's standard paths read these variables on every call, and child processes
// (xdg-mime, the stand-in browsers) inherit them, so the program's folders and
// settings land in here.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <map>

namespace qm::test {

class TemporaryHome {
public:
    // Where the XDG data and config homes are.
    enum class XdgFolders {
        // XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME and XDG_CURRENT_DESKTOP are
        // unset, so the defaults under HOME apply, as on a fresh account.
        UnderHome,
        // XDG_DATA_HOME and XDG_CONFIG_HOME name folders of their own beside HOME
        // (Root()/data and Root()/config); the other variables are left as they are.
        BesideHome,
    };

    explicit TemporaryHome(XdgFolders folders = XdgFolders::UnderHome);
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    QString Root() const { return dir_.path(); }
    QString Home() const { return Root() + QStringLiteral("/home"); }
    QString DataHome() const;
    QString ConfigHome() const;
    // Where the program keeps its per-user data, with a trailing "/".
    QString DataFolder() const { return DataHome() + QStringLiteral("/Tarnwell/Quillamere/1.0/"); }
    QString TemplatesFolder() const { return DataFolder() + QStringLiteral("Templates/"); }
    // The store of the boolean settings.
    QString SettingsFile() const { return ConfigHome() + QStringLiteral("/Tarnwell/Quillamere-1.0.ini"); }

    // Sets an environment variable for the rest of this home's life; an empty value
    // unsets it.
    void Set(const char* name, const QByteArray& value);

private:
    QTemporaryDir dir_;
    XdgFolders folders_;
    std::map<QByteArray, std::pair<bool, QByteArray>> saved_;  // name -> (was set, old value)
};

// Writes a file, creating its folder; the test fails on error.
void WriteBytes(const QString& path, const QByteArray& content);
// The file's bytes; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);
// Writes an executable shell script.
void WriteScript(const QString& path, const QByteArray& body);

}  // namespace qm::test
