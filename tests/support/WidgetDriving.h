#pragma once
// Driving lists and buttons from a test the way an editor's clicks do.

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QtTest>

namespace testsupport {

// The texts of a list's lines, top to bottom.
inline QStringList entries(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Selects the line whose text is text, as a click does.
inline void pick(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

// Clicks the push button named name inside parent.
inline void click(QWidget *parent, const char *name)
{
    auto *b = parent->findChild<QPushButton *>(name);
    QVERIFY2(b, name);
    QTest::mouseClick(b, Qt::LeftButton);
}

}  // namespace testsupport
