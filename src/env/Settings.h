#pragma once
// The program's few settings. Two branches, told apart by their maker word:
// "Tarnwell" (the boolean settings below) and "KVX" (the link tip and the browser
// choice). On Windows they live in the registry under
// HKEY_CURRENT_USER\Software\<maker>\Quillamere\1.0; on Linux in one INI file per
// branch in the XDG config home, <config>/<maker>/Quillamere-1.0.ini (usually
// ~/.config/Tarnwell/Quillamere-1.0.ini and ~/.config/KVX/Quillamere-1.0.ini), with
// the same group and value names as the registry keys. Booleans are stored as 1/0 and
// read as true when non-zero; a value of the wrong type (anything but a whole number)
// reads as the default. Nothing is cached: every call opens the store again.
//
// Failures: a store that exists but cannot be read, or cannot be written, throws
// qm::Error naming the store ("<file>: cannot read the settings"); callers that must
// stay silent catch it.

#include <QString>
#include <QVariant>

#include <optional>

namespace qm {

// Group "Settings" of the Tarnwell branch: "ShowTempletsDialog",
// "ShowFlashLocalSecurityWarningTipDialog". A read of an absent value returns the
// default and writes nothing; it leaves the branch's store behind (created empty when
// it was missing, as the registry key would be), silently skipping that when it cannot.
bool ReadBoolSetting(const QString& name, bool defaultValue);
void WriteBoolSetting(const QString& name, bool value);
// A whole number of the same group (the live preview's width); the default when absent
// or not a 32-bit whole number. Reads never create anything.
int ReadIntSetting(const QString& name, int defaultValue);
void WriteIntSetting(const QString& name, int value);

// Values of the KVX branch, e.g. group "Settings" value "ShowLinkTipDialog", or group
// "Web Browsers". Reads never create anything.
bool ReadKvxBool(const QString& group, const QString& name, bool defaultValue);
void WriteKvxBool(const QString& group, const QString& name, bool value);
// True when the group holds at least one value.
bool KvxGroupExists(const QString& group);
// The stored value, or defaultValue when absent. From an INI file every value comes
// back as text.
QVariant ReadKvxValue(const QString& group, const QString& name, const QVariant& defaultValue = {});
void WriteKvxValue(const QString& group, const QString& name, const QVariant& value);
// A 32-bit integer value; nothing when it is absent or not a whole number in range.
std::optional<int> ReadKvxInt(const QString& group, const QString& name);

// Where a branch is kept: the INI file's path on Linux, the registry key on Windows.
QString SettingsStoreLocation(const QString& maker);

}  // namespace qm
