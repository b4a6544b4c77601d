#include "texts/AltCodeDialog.h"

#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "texts/PersonalEdit.h"

#include <QSettings>

namespace texts {

namespace {
const QString kSetting = QStringLiteral("LastSpecialChar");
constexpr int kMaxLength = 3;
}  // namespace

SettingAccess userSettings()
{
    return {[](const QString &name, const QString &def) {
                return QSettings(QStringLiteral("Marbelt"), QStringLiteral("Quillon")).value(name, def).toString();
            },
            [](const QString &name, const QString &value) {
                QSettings(QStringLiteral("Marbelt"), QStringLiteral("Quillon")).setValue(name, value);
            }};
}

AltCodeAnswer parseAltCode(const QString &answer, int *code)
{
    bool ok = false;
    const int n = answer.trimmed().toInt(&ok, 10);
    if (!ok)
        return AltCodeAnswer::NotANumber;
    if (n < 32 || n > 255)
        return AltCodeAnswer::OutOfRange;
    *code = n;
    return AltCodeAnswer::Valid;
}

bool insertAltCode(TPersonalEdit &editor, const SettingAccess &settings)
{
    QString value = settings.read ? settings.read(kSetting, QString()) : QString();
    if (!platform::dialogs().inputQuery(QStringLiteral("Speciaal teken invoegen"), QStringLiteral("ALT-Code"),
                                        value))
        return false;
    // The input field takes at most three characters.
    value.truncate(kMaxLength);
    int code = 0;
    switch (parseAltCode(value, &code)) {
    case AltCodeAnswer::NotANumber:
        return false;
    case AltCodeAnswer::OutOfRange:
        platform::showError(QStringLiteral("Foutief code!"));
        return false;
    case AltCodeAnswer::Valid:
        break;
    }
    editor.InsertText(QString(platform::oemToUnicode(static_cast<unsigned char>(code))));
    if (settings.write)
        settings.write(kSetting, QString::number(code));
    return true;
}

}  // namespace texts
