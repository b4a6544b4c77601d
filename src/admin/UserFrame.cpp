#include "admin/UserFrame.h"

#include "admin/AdminSql.h"
#include "admin/AdminWidgets.h"
#include "common/PasswordHash.h"
#include "core/Database.h"
#include "core/Global.h"
#include "core/Guarded.h"
#include "core/Helpers.h"
#include "db/Postgres.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

namespace {

// An edit that turns what is typed into lower case, as the desk's login
// names and passwords are.
QLineEdit *lowerCaseEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        const QString lower = text.toLower();
        if (lower != text) {
            const int at = edit->cursorPosition();
            edit->setText(lower);
            edit->setCursorPosition(at);
        }
    });
    return edit;
}

QLabel *header(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

}  // namespace

TUserFrame::TUserFrame(QWidget *parent)
    : QFrame(parent), ListBox1(EntryList(QStringLiteral("ListBox1"), this)),
      username(lowerCaseEdit(QStringLiteral("username"), this)),
      password(lowerCaseEdit(QStringLiteral("password"), this)),
      eind(new QCheckBox(QStringLiteral("Eindredacteur"), this)),
      sysop(new QCheckBox(QStringLiteral("System operator"), this)),
      m_teams(new QGroupBox(QStringLiteral("Redacties"), this)),
      available(EntryList(QStringLiteral("available"), m_teams)),
      redacties(EntryList(QStringLiteral("redacties"), m_teams)),
      Button3(Button(QStringLiteral("Button3"), QStringLiteral(">"), m_teams)),
      Button4(Button(QStringLiteral("Button4"), QStringLiteral("<"), m_teams))
{
    setObjectName(QStringLiteral("TUserFrame"));
    username->setReadOnly(true);
    eind->setObjectName(QStringLiteral("eind"));
    sysop->setObjectName(QStringLiteral("sysop"));
    password->setPlaceholderText(QStringLiteral("ongewijzigd"));

    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Redacteuren"), this);
    outer->addWidget(group);
    auto *top = new QHBoxLayout(group);
    top->addWidget(ListBox1, 1);

    auto *details = new QVBoxLayout;
    auto *editor = new QGroupBox(QStringLiteral("Redacteur"), group);
    auto *grid = new QGridLayout(editor);
    grid->addWidget(new QLabel(QStringLiteral("Loginnaam"), editor), 0, 0);
    grid->addWidget(username, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Wachtwoord"), editor), 1, 0);
    grid->addWidget(password, 1, 1);
    auto *note = new QLabel(QStringLiteral("Wachtwoorden zijn niet hoofdlettergevoelig."), editor);
    note->setObjectName(QStringLiteral("hoofdletters"));
    grid->addWidget(note, 2, 1);
    grid->addWidget(eind, 3, 1);
    grid->addWidget(sysop, 4, 1);
    auto *buttons = new QHBoxLayout;
    auto *save = Button(QStringLiteral("Button1"), QStringLiteral("&Opslaan"), editor);
    auto *add = Button(QStringLiteral("Button2"), QStringLiteral("Nieuw"), editor);
    auto *remove = Button(QStringLiteral("Button5"), QStringLiteral("Verwijderen"), editor);
    buttons->addWidget(save);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    grid->addLayout(buttons, 5, 0, 1, 2);
    auto *unblock = Button(QStringLiteral("Button6"), QStringLiteral("Blokkade opheffen"), editor);
    grid->addWidget(unblock, 6, 0, 1, 2, Qt::AlignLeft);
    details->addWidget(editor);
    details->addWidget(m_teams, 1);
    top->addLayout(details, 2);

    // The team lists are placed by hand: the left one keeps half of the
    // width beside the button column.
    m_teams->setMinimumHeight(180);
    for (const char *text : {"Beschikbaar", "Toegekend"})
        header(QString::fromLatin1(text), m_teams)->setObjectName(QStringLiteral("header"));
    m_teams->installEventFilter(this);

    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] { core::Guarded([this] { ListBox1Click(); }); });
    connect(save, &QPushButton::clicked, this, [this] { core::Guarded([this] { Button1Click(); }); });
    connect(add, &QPushButton::clicked, this, [this] { core::Guarded([this] { Button2Click(); }); });
    connect(remove, &QPushButton::clicked, this, [this] { core::Guarded([this] { Button5Click(); }); });
    connect(unblock, &QPushButton::clicked, this, [this] { core::Guarded([this] { Button6Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { core::Guarded([this] { Button3Click(); }); });
    connect(Button4, &QPushButton::clicked, this, [this] { core::Guarded([this] { Button4Click(); }); });
    Load();
}

void TUserFrame::Load()
{
    const int index = ListBox1->currentRow();
    SetEntries(ListBox1, QueryEntries(UserListSql()));
    SelectRow(ListBox1, index);
    if (ListBox1->currentRow() >= 0)
        ListBox1Click();
}

void TUserFrame::ListBox1Click()
{
    const auto id = SelectedId(ListBox1);
    if (!id)
        return;
    m_userId = *id;
    const auto rs = core::Query(UserSql(m_userId));
    const QStringList row = rs->RowCount() > 0 ? rs->Row(0) : QStringList();
    username->setText(row.value(0));
    password->clear();
    const QString rights = core::PadRights(row.value(1));
    eind->setChecked(rights.at(0) == QLatin1Char('x'));
    sysop->setChecked(rights.at(1) == QLatin1Char('x'));
    loadTeams();
}

void TUserFrame::loadTeams()
{
    SetEntries(available, QueryEntries(AvailableTeamsSql(m_userId)));
    SetEntries(redacties, QueryEntries(UserTeamsSql(m_userId)));
}

void TUserFrame::Button1Click()
{
    if (m_userId < 0)
        return;
    QString hash;
    if (!password->text().isEmpty()) {
        hash = QString::fromStdString(quillon::HashPassword(core::PasswordAsStored(password->text()).toStdString()));
        if (hash.isEmpty()) {
            platform::showError(QStringLiteral("Het wachtwoord kon niet versleuteld worden; er is niets opgeslagen."));
            return;
        }
    }
    if (core::Execute(UpdateUserSql(m_userId, hash, RightsString(eind->isChecked(), sysop->isChecked()))))
        password->clear();
}

void TUserFrame::Button2Click()
{
    QString name;
    if (!platform::dialogs().inputQuery(QStringLiteral("Gebruiker invoegen"), QStringLiteral("Naam van de redacteur"),
                                        name))
        return;
    core::Execute(InsertUserSql(name));
    Load();
}

void TUserFrame::Button5Click()
{
    const auto id = SelectedId(ListBox1);
    if (!id || !platform::confirm(QStringLiteral("Redacteur verwijderen?")))
        return;
    for (const QString &sql : DeleteUserSql(*id))
        core::Execute(sql);
    Load();
}

// The lock-out lives in the server, which forgets it by itself after a while.
void TUserFrame::Button6Click()
{
    if (m_userId < 0)
        return;
    const QString name = username->text();
    if (core::SendCommand(QStringLiteral("ontgrendel ") + name))
        platform::showInformation(QStringLiteral("De aanmeldblokkade van ") + name +
                                  QStringLiteral(" is opgeheven."));
    else
        platform::showError(QStringLiteral("De aanmeldblokkade van ") + name +
                            QStringLiteral(" kon niet worden opgeheven."));
}

void TUserFrame::Button3Click()
{
    const auto team = SelectedId(available);
    if (!team || m_userId < 0)
        return;
    core::Execute(AddMembershipSql(*team, m_userId));
    loadTeams();
}

void TUserFrame::Button4Click()
{
    const auto team = SelectedId(redacties);
    if (!team || m_userId < 0)
        return;
    core::Execute(RemoveMembershipSql(*team, m_userId));
    loadTeams();
}

bool TUserFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_teams && event->type() == QEvent::Resize)
        layoutTeams();
    return QFrame::eventFilter(watched, event);
}

// Half of the width beside the 40-pixel button column for each list.
void TUserFrame::layoutTeams()
{
    const QRect r = m_teams->contentsRect().adjusted(6, 20, -6, -6);
    const int buttons = 40;
    const int half = std::max(0, (r.width() - buttons) / 2);
    const auto headers = m_teams->findChildren<QLabel *>(QStringLiteral("header"));
    const int headerHeight = headers.isEmpty() ? 0 : headers.first()->sizeHint().height();
    if (headers.size() == 2) {
        headers.at(0)->setGeometry(r.left(), r.top(), half, headerHeight);
        headers.at(1)->setGeometry(r.left() + half + buttons, r.top(), r.width() - half - buttons, headerHeight);
    }
    const int listTop = r.top() + headerHeight + 2;
    available->setGeometry(r.left(), listTop, half, r.bottom() - listTop);
    redacties->setGeometry(r.left() + half + buttons, listTop, r.width() - half - buttons, r.bottom() - listTop);
    const int mid = listTop + (r.bottom() - listTop) / 2;
    Button3->setGeometry(r.left() + half + 6, mid - 28, buttons - 12, 24);
    Button4->setGeometry(r.left() + half + 6, mid + 4, buttons - 12, 24);
}

}  // namespace admin
