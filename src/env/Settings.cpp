#include "env/Settings.h"

#include "model/Error.h"
#include "model/WholeNumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <limits>

namespace qm {

namespace {

const QString kTarnwell = QStringLiteral("Tarnwell");
const QString kKvx = QStringLiteral("KVX");
const QString kSettingsGroup = QStringLiteral("Settings");

#ifdef Q_OS_WIN
constexpr QSettings::Format kStoreFormat = QSettings::NativeFormat;
#else
constexpr QSettings::Format kStoreFormat = QSettings::IniFormat;
#endif

// The whole number a stored value holds: a registry integer, or text that is nothing
// but a whole number (an INI file keeps every value as text). Anything else (a word,
// a list, binary data) is "the wrong type".
std::optional<long long> WholeNumberOf(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return ParseWholeNumber(value.toString().trimmed().toStdString());
    default:
        return std::nullopt;
    }
}

// A whole number that fits 32 bits, or nothing.
std::optional<int> IntOf(const QVariant& value) {
    const auto number = WholeNumberOf(value);
    if (!number || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*number);
}

// One branch opened for one call. QSettings reads the whole store when it is made;
// a store that exists but cannot be read is reported at once.
class Branch {
public:
    explicit Branch(const QString& maker)
        : location_(SettingsStoreLocation(maker)), settings_(location_, kStoreFormat) {
        if (settings_.status() != QSettings::NoError)
            throw Error(QDir::toNativeSeparators(location_).toStdString(), 0, "cannot read the settings");
    }

    QVariant Value(const QString& group, const QString& name, const QVariant& defaultValue = {}) {
        return settings_.value(group + QLatin1Char('/') + name, defaultValue);
    }

    bool Bool(const QString& group, const QString& name, bool defaultValue) {
        const auto number = WholeNumberOf(Value(group, name));
        return number ? *number != 0 : defaultValue;
    }

    void SetValue(const QString& group, const QString& name, const QVariant& value) {
        settings_.setValue(group + QLatin1Char('/') + name, value);
        settings_.sync();
        if (settings_.status() != QSettings::NoError)
            throw Error(QDir::toNativeSeparators(location_).toStdString(), 0, "cannot write the settings");
    }

    bool GroupExists(const QString& group) { return settings_.childGroups().contains(group); }

    // Reading a boolean setting leaves its store behind even when nothing is stored
    // yet, the way opening the registry key creates it. Not being able to is no
    // reason to refuse the read.
    void LeaveStoreBehind(const QString& group) {
#ifdef Q_OS_WIN
        Q_UNUSED(group);  // opening the registry branch has created its key already
#else
        if (QFileInfo::exists(location_)) return;
        QDir().mkpath(QFileInfo(location_).absolutePath());
        QFile file(location_);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.write(QByteArray("[") + group.toUtf8() + "]\n");
#endif
    }

private:
    QString location_;
    QSettings settings_;
};

}  // namespace

QString SettingsStoreLocation(const QString& maker) {
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + maker + QStringLiteral("\\Quillamere\\1.0");
#else
    // Asked every time: the XDG variables are read anew, so a changed XDG_CONFIG_HOME
    // (tests use a temporary one) takes effect at once.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + maker +
           QStringLiteral("/Quillamere-1.0.ini");
#endif
}

bool ReadBoolSetting(const QString& name, bool defaultValue) {
    Branch branch(kTarnwell);
    branch.LeaveStoreBehind(kSettingsGroup);
    return branch.Bool(kSettingsGroup, name, defaultValue);
}

void WriteBoolSetting(const QString& name, bool value) {
    Branch(kTarnwell).SetValue(kSettingsGroup, name, value ? 1 : 0);
}

int ReadIntSetting(const QString& name, int defaultValue) {
    return IntOf(Branch(kTarnwell).Value(kSettingsGroup, name)).value_or(defaultValue);
}

void WriteIntSetting(const QString& name, int value) {
    Branch(kTarnwell).SetValue(kSettingsGroup, name, value);
}

bool ReadKvxBool(const QString& group, const QString& name, bool defaultValue) {
    return Branch(kKvx).Bool(group, name, defaultValue);
}

void WriteKvxBool(const QString& group, const QString& name, bool value) {
    Branch(kKvx).SetValue(group, name, value ? 1 : 0);
}

bool KvxGroupExists(const QString& group) {
    return Branch(kKvx).GroupExists(group);
}

QVariant ReadKvxValue(const QString& group, const QString& name, const QVariant& defaultValue) {
    return Branch(kKvx).Value(group, name, defaultValue);
}

void WriteKvxValue(const QString& group, const QString& name, const QVariant& value) {
    Branch(kKvx).SetValue(group, name, value);
}

std::optional<int> ReadKvxInt(const QString& group, const QString& name) {
    return IntOf(Branch(kKvx).Value(group, name));
}

}  // namespace qm
