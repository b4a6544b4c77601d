#include "platform/Settings.h"

#include <QDir>
#include <QSettings>

#include <memory>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

const QString kOrganisation = QStringLiteral("Marbelt");
const QString kApplication = QStringLiteral("Quillon");

QString &folderOverride()
{
    static QString folder;
    return folder;
}

QString settingsFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return qEnvironmentVariable("QUILLON_SETTINGS_DIR");
}

// The store is opened per call, as the key was: a value written by another
// window is seen at once and nothing stays open between calls.
std::unique_ptr<QSettings> openUserSettings()
{
    const QString folder = settingsFolder();
    if (!folder.isEmpty())
        return std::make_unique<QSettings>(
            QDir(folder).filePath(kOrganisation + u'/' + kApplication + QStringLiteral(".conf")), QSettings::IniFormat);
    return std::make_unique<QSettings>(kOrganisation, kApplication);
}

QString normalisedKey(const QString &keyPath)
{
    QString k = keyPath;
    k.replace(u'/', u'\\');
    while (k.startsWith(u'\\'))
        k.remove(0, 1);
    while (k.endsWith(u'\\'))
        k.chop(1);
    return k;
}

bool isOwnKey(RegistryRoot root, const QString &keyPath)
{
    return root == RegistryRoot::CurrentUser &&
           normalisedKey(keyPath).compare(QStringLiteral("Software\\Marbelt\\Quillon"), Qt::CaseInsensitive) == 0;
}

bool isLogonName(RegistryRoot root, const QString &keyPath, const QString &name)
{
    return root == RegistryRoot::LocalMachine &&
           normalisedKey(keyPath).compare(QStringLiteral("Network\\Logon"), Qt::CaseInsensitive) == 0 &&
           name.compare(QStringLiteral("UserName"), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString ReadSetting(const QString &name, const QString &defaultValue)
{
    const auto settings = openUserSettings();
    if (settings->status() != QSettings::NoError)
        return defaultValue;
    const QVariant value = settings->value(name);
    return value.isValid() ? value.toString() : defaultValue;
}

void WriteSetting(const QString &name, const QString &text)
{
    const auto settings = openUserSettings();
    if (settings->status() != QSettings::NoError || !settings->isWritable())
        return;
    settings->setValue(name, text);
    settings->sync();
}

QString ReadRegistryValue(RegistryRoot root, const QString &keyPath, const QString &name, const QString &defaultValue)
{
    if (isOwnKey(root, keyPath))
        return ReadSetting(name, defaultValue);
#ifdef Q_OS_WIN
    const QString rootName =
        root == RegistryRoot::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER") : QStringLiteral("HKEY_LOCAL_MACHINE");
    QSettings key(rootName + u'\\' + normalisedKey(keyPath), QSettings::NativeFormat);
    const QVariant value = key.value(name);
    if (value.isValid())
        return value.toString();
#endif
    if (isLogonName(root, keyPath, name)) {
        const QString user = osUserName();
        return user.isEmpty() ? defaultValue : user;
    }
    return defaultValue;
}

QString osUserName()
{
    for (const char *variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString value = qEnvironmentVariable(variable).trimmed();
        if (!value.isEmpty())
            return value;
    }
#ifdef Q_OS_UNIX
    if (const passwd *entry = getpwuid(getuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
#endif
    return {};
}

void setSettingsFolder(const QString &folder)
{
    folderOverride() = folder;
}

}  // namespace platform
