#include "core/Helpers.h"

#include "core/PauzeForm.h"
#include "platform/CodePage.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTextEdit>

namespace core {

namespace {

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - '0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - 'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - 'A' + 10;
    return -1;
}

QString decodeBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

ActiveApplicationHook &activeHook()
{
    static ActiveApplicationHook hook;
    return hook;
}

bool applicationIsActive()
{
    if (activeHook())
        return activeHook()();
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

// Panels and group boxes: the containers whose fields ClearInputs empties.
bool isContainer(const QWidget *w)
{
    const QMetaObject *meta = w->metaObject();
    return qobject_cast<const QGroupBox *>(w) || meta == &QWidget::staticMetaObject ||
           meta == &QFrame::staticMetaObject;
}

}  // namespace

QString PercentDecode(const QString &text)
{
    QString out;
    QByteArray pending;  // decoded bytes waiting to be read as text
    auto flush = [&] {
        if (!pending.isEmpty())
            out += decodeBytes(pending);
        pending.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'%' && i + 2 < text.size() && hexValue(text.at(i + 1)) >= 0 &&
            hexValue(text.at(i + 2)) >= 0) {
            pending.append(char(hexValue(text.at(i + 1)) * 16 + hexValue(text.at(i + 2))));
            i += 2;
            continue;
        }
        flush();
        out += text.at(i);
    }
    flush();
    return out;
}

QString PasswordAsStored(const QString &typed)
{
    return typed.toLower();
}

QString ParamListValue(const QString &list, const QString &key)
{
    const QString wanted = key.trimmed().toLower();
    QString name;
    QString token;
    for (QChar c : list) {
        if (c == u'=') {
            name = token.trimmed().toLower();
            token.clear();
        } else if (c == u';') {
            if (name == wanted)
                return token;
            token.clear();
        } else {
            token += c;
        }
    }
    return {};
}

void ClearInputs(QWidget *control)
{
    if (!control)
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->clear();
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(control)) {
        memo->clear();
    } else if (auto *rich = qobject_cast<QTextEdit *>(control)) {
        rich->clear();
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (combo->isEditable())
            combo->clearEditText();
        else
            combo->setCurrentIndex(-1);
    } else if (isContainer(control)) {
        const auto children = control->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *child : children)
            ClearInputs(child);
    }
}

QString OemToAnsi(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        out += c.unicode() < 256 ? platform::oemToUnicode(static_cast<unsigned char>(c.unicode())) : c;
    return out;
}

void ShowSearchNotice()
{
    if (!applicationIsActive())
        return;
    TPauzeForm::instance()->showNotice();
}

void HideSearchNotice()
{
    TPauzeForm::instance()->hide();
}

ActiveApplicationHook setActiveApplicationHook(ActiveApplicationHook hook)
{
    ActiveApplicationHook previous = std::move(activeHook());
    activeHook() = std::move(hook);
    return previous;
}

}  // namespace core
