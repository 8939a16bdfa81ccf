#pragma once
// The program's few settings. Two branches, told apart by their maker word:
// "Tarnwell" (the boolean settings below) and "KVX" (the link tip and the browser
// choice). On Windows they live in the registry under
// HKEY_CURRENT_USER\Software\<maker>\Quillamere\1.0; on Linux in one INI file per
// branch in the XDG config home, with the same group and value names. Booleans are
// stored as 1/0; a value of the wrong type reads as the default.

#include <QString>
#include <QVariant>

namespace qm {

// Group "Settings" of the Tarnwell branch: "ShowTempletsDialog",
// "ShowFlashLocalSecurityWarningTipDialog".
bool ReadBoolSetting(const QString& name, bool defaultValue);
void WriteBoolSetting(const QString& name, bool value);

// Values of the KVX branch, e.g. group "Settings" value "ShowLinkTipDialog", or group
// "Web Browsers".
bool ReadKvxBool(const QString& group, const QString& name, bool defaultValue);
void WriteKvxBool(const QString& group, const QString& name, bool value);
bool KvxGroupExists(const QString& group);
QVariant ReadKvxValue(const QString& group, const QString& name, const QVariant& defaultValue = {});
void WriteKvxValue(const QString& group, const QString& name, const QVariant& value);

}  // namespace qm
