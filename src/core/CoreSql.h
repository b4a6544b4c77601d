#pragma once
// The statements of the client core (the main window's start-up, teams and
// address-book menu; the login name behind a user id), composed as text. No
// widgets and no connections: the callers run them through Query and the
// tests compare the text.

#include <QString>

namespace core {

QString UserRightsSql(int userId);  // tbluser.rights of the logged-in editor
// The editor's teams by name, "select *": id, naam, image, ... by position.
QString UserTeamsSql(int userId);
QString AddressBooksSql();  // id and name of every address book, by name
QString TeamSql(int teamId);  // naam and color of one team
QString LoginNameSql(int userId);  // for SubstituteUserName

}  // namespace core
