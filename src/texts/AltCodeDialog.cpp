#include "texts/AltCodeDialog.h"

#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/Settings.h"
#include "texts/PersonalEdit.h"

namespace texts {

namespace {
const QString kSetting = QStringLiteral("LastSpecialChar");
constexpr int kMaxLength = 3;
}  // namespace

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

bool insertAltCode(TPersonalEdit &editor)
{
    QString value = platform::ReadSetting(kSetting, QString());
    if (!platform::dialogs().inputQuery(QStringLiteral("Speciaal teken invoegen"), QStringLiteral("ALT-Code"), value,
                                        kMaxLength))
        return false;
    value.truncate(kMaxLength);
    int code = 0;
    switch (parseAltCode(value, &code)) {
    case AltCodeAnswer::NotANumber: return false;
    case AltCodeAnswer::OutOfRange: platform::showError(QStringLiteral("Foutief code!")); return false;
    case AltCodeAnswer::Valid: break;
    }
    editor.InsertText(QString(platform::oemToUnicode(static_cast<unsigned char>(code))));
    platform::WriteSetting(kSetting, QString::number(code));
    return true;
}

}  // namespace texts
