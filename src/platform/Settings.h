#pragma once
// Per-user settings, the values the classic client kept under the registry
// key Software\Marbelt\Quillon: QSettings("Marbelt", "Quillon"), which is that
// registry key on Windows and a config file elsewhere. Values are strings.
// Tests redirect the store to a folder of their own with setSettingsFolder()
// or the environment variable QUILLON_SETTINGS_DIR.

#include <QString>

namespace platform {

enum class RegistryRoot {
    CurrentUser,  // per-user values; Software\Marbelt\Quillon is our own key
    LocalMachine  // machine-wide values such as Network\Logon
};

// The value `name` of the program's key, or defaultValue when it is missing or
// the store cannot be opened.
QString ReadSetting(const QString &name, const QString &defaultValue);

// Writes the string value `name`; does nothing when the store cannot be written.
void WriteSetting(const QString &name, const QString &text);

// As ReadSetting for any root and key path ("Network\\Logon"). Where the system
// has no machine-wide logon name (anything but Windows, or a Windows machine
// without the value), the operating system's user name stands in for
// LocalMachine Network\Logon UserName; other keys outside our own read as missing
// on systems without a registry.
QString ReadRegistryValue(RegistryRoot root, const QString &keyPath, const QString &name, const QString &defaultValue);

// The operating system's name for the logged-in user; empty when unknown.
QString osUserName();

// Keeps the per-user store in this folder instead of the user's profile
// (empty restores the default). Takes precedence over QUILLON_SETTINGS_DIR.
void setSettingsFolder(const QString &folder);

}  // namespace platform
