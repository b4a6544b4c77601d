#include "support/ScriptedDialogs.h"

#include <QTest>

namespace testsupport {

QString boxTypeName(platform::BoxType type)
{
    switch (type) {
    case platform::BoxType::Error: return QStringLiteral("Error");
    case platform::BoxType::Warning: return QStringLiteral("Warning");
    case platform::BoxType::Information: return QStringLiteral("Information");
    case platform::BoxType::Confirmation: return QStringLiteral("Confirmation");
    }
    return {};
}

ScriptedDialogs::ScriptedDialogs()
{
    m_previous = platform::setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    platform::setDialogs(m_previous);
}

void ScriptedDialogs::expectBox(platform::BoxType type, const QString &text, platform::ModalResult answer)
{
    Step s;
    s.kind = QStringLiteral("box");
    s.type = type;
    s.text = text;
    s.result = answer;
    m_script.append(s);
}

void ScriptedDialogs::expectInput(const QString &prompt, const QString &answer, bool ok)
{
    Step s;
    s.kind = QStringLiteral("input");
    s.text = prompt;
    s.answer = answer;
    s.ok = ok;
    m_script.append(s);
}

void ScriptedDialogs::expectColor(const QColor &answer, bool ok)
{
    Step s;
    s.kind = QStringLiteral("color");
    s.color = answer;
    s.ok = ok;
    m_script.append(s);
}

void ScriptedDialogs::expectOpenFile(const QString &answer)
{
    Step s;
    s.kind = QStringLiteral("open");
    s.answer = answer;
    m_script.append(s);
}

void ScriptedDialogs::expectSaveFile(const QString &answer)
{
    Step s;
    s.kind = QStringLiteral("save");
    s.answer = answer;
    m_script.append(s);
}

void ScriptedDialogs::expectPrint(bool ok)
{
    Step s;
    s.kind = QStringLiteral("print");
    s.ok = ok;
    m_script.append(s);
}

QStringList ScriptedDialogs::problems() const
{
    QStringList out = m_unexpected;
    for (qsizetype i = m_next; i < m_script.size(); ++i)
        out.append(QStringLiteral("expected but not shown: %1 %2").arg(m_script[i].kind, m_script[i].text));
    return out;
}

const ScriptedDialogs::Step *ScriptedDialogs::take(const QString &kind, const QString &description)
{
    m_shown.append(description);
    if (m_next >= m_script.size() || m_script[m_next].kind != kind) {
        m_unexpected.append(QStringLiteral("unexpected: ") + description);
        QTest::qFail(qPrintable(QStringLiteral("unexpected prompt: ") + description), __FILE__, __LINE__);
        return nullptr;
    }
    return &m_script[m_next++];
}

platform::ModalResult ScriptedDialogs::messageBox(platform::BoxType type, const QString &text, platform::BoxButtons)
{
    const QString description = QStringLiteral("box %1: %2").arg(boxTypeName(type), text);
    m_shown.append(description);
    if (m_next < m_script.size() && m_script[m_next].kind == QLatin1String("box") && m_script[m_next].type == type &&
        m_script[m_next].text == text)
        return m_script[m_next++].result;
    m_unexpected.append(QStringLiteral("unexpected: ") + description);
    QTest::qFail(qPrintable(QStringLiteral("unexpected prompt: ") + description), __FILE__, __LINE__);
    return platform::ModalResult::Cancel;
}

bool ScriptedDialogs::inputQuery(const QString &caption, const QString &prompt, QString &value, int maxLength)
{
    m_lastCaption = caption;
    m_lastMaxLength = maxLength;
    const QString description = QStringLiteral("input: ") + prompt;
    m_shown.append(description);
    if (m_next < m_script.size() && m_script[m_next].kind == QLatin1String("input") &&
        m_script[m_next].text == prompt) {
        const Step &s = m_script[m_next++];
        if (s.ok)
            value = s.answer;
        return s.ok;
    }
    m_unexpected.append(QStringLiteral("unexpected: ") + description);
    QTest::qFail(qPrintable(QStringLiteral("unexpected prompt: ") + description), __FILE__, __LINE__);
    return false;
}

bool ScriptedDialogs::chooseColor(QColor &color)
{
    const Step *s = take(QStringLiteral("color"), QStringLiteral("color"));
    if (!s || !s->ok)
        return false;
    color = s->color;
    return true;
}

QString ScriptedDialogs::openFileName(const QString &caption, const QString &, const QString &)
{
    const Step *s = take(QStringLiteral("open"), QStringLiteral("open: ") + caption);
    return s ? s->answer : QString();
}

QString ScriptedDialogs::saveFileName(const QString &caption, const QString &, const QString &)
{
    const Step *s = take(QStringLiteral("save"), QStringLiteral("save: ") + caption);
    return s ? s->answer : QString();
}

bool ScriptedDialogs::printDialog(QPrinter &)
{
    const Step *s = take(QStringLiteral("print"), QStringLiteral("print"));
    return s && s->ok;
}

}  // namespace testsupport
