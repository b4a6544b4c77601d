#include "platform/Invoer.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace platform {

TInvoer::TInvoer(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Invoerdialoog"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFixedHeight(Memo1->fontMetrics().height() + 12);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("&Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("&Afbreken"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TInvoer::enforceMaxLength);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);
    resize(360, sizeHint().height());
}

void TInvoer::prepare(const QString &caption, const QString &prompt, const QString &text, int maxLength)
{
    setWindowTitle(caption);
    Label1->setText(prompt);
    m_maxLength = maxLength;
    Memo1->setPlainText(text);
    enforceMaxLength();
    Memo1->selectAll();
    Memo1->setFocus();
}

QString TInvoer::text() const
{
    return Memo1->toPlainText();
}

bool TInvoer::ask(const QString &caption, const QString &prompt, QString &text, int maxLength)
{
    prepare(caption, prompt, text, maxLength);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (exec() != QDialog::Accepted)
        return false;
    text = this->text();
    return true;
}

bool TInvoer::eventFilter(QObject *watched, QEvent *event)
{
    // One line only: Enter presses the default button instead of breaking the line.
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Button1->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TInvoer::enforceMaxLength()
{
    // Pasted text may hold line breaks or exceed the limit; keep one line within it.
    QString t = Memo1->toPlainText();
    QString fixed = t;
    fixed.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (m_maxLength > 0 && fixed.size() > m_maxLength)
        fixed.truncate(m_maxLength);
    if (fixed != t) {
        const QSignalBlocker block(Memo1);
        Memo1->setPlainText(fixed);
        QTextCursor c = Memo1->textCursor();
        c.movePosition(QTextCursor::End);
        Memo1->setTextCursor(c);
    }
}

}  // namespace platform
