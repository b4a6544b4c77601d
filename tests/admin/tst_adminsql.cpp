// The statements of the settings pages, the table editor and the SQL
// window's row alignment, as text: the exact wording the database and the
// server's publishing job expect, and text values escaped everywhere (new
// login and team names included).

#include "admin/AdminSql.h"
#include "admin/AdminWidgets.h"
#include "admin/PostgresForm.h"

#include <QtTest>

using namespace admin;

class TestAdminSql : public QObject {
    Q_OBJECT
private slots:
    void statements_data();
    void statements();
    void rights_data();
    void rights();
    void entries();
    void alignedRows();
};

void TestAdminSql::statements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    const QString odd = "O'Neil \\ co";  // a quote and a backslash
    const QString oddEscaped = "O\\'Neil \\\\ co";

    // editors
    QTest::newRow("editor, no password read") << UserSql(7) << "select loginnaam,rights from tbluser where userid = 7";
    QTest::newRow("save, password kept") << UpdateUserSql(7, "", "x---------------")
                                         << "update tbluser set rights = 'x---------------' where userid = 7";
    QTest::newRow("save, new hash") << UpdateUserSql(7, "$scrypt$h", "-x--------------")
                                    << "update tbluser set password = '$scrypt$h' , rights = '-x--------------' where "
                                       "userid = 7";
    QTest::newRow("new editor, escaped") << InsertUserSql(odd)
                                         << "insert into tbluser (loginnaam) values ('" + oddEscaped + "')";
    QTest::newRow("delete editor: memberships")
        << DeleteUserSql(7).value(0) << "delete from tblredactieuser where userid = 7";
    QTest::newRow("delete editor: editor") << DeleteUserSql(7).value(1) << "delete from tbluser where userid = 7";
    QTest::newRow("available teams") << AvailableTeamsSql(7)
                                     << "select id,naam from tblredactie where id not in (select redactieid from "
                                        "tblredactieuser where userid = 7) order by naam";
    QTest::newRow("membership in") << AddMembershipSql(2, 7) << "insert into tblredactieuser values (2,7)";
    QTest::newRow("membership out") << RemoveMembershipSql(2, 7)
                                    << "delete from tblredactieuser where redactieid = 2 and userid = 7";
    // teams
    QTest::newRow("new team, escaped") << InsertTeamSql(odd)
                                       << "insert into tblredactie (naam,color) values ('" + oddEscaped + "','000000')";
    QTest::newRow("rename team") << RenameTeamSql(3, odd)
                                 << "update tblredactie set naam = '" + oddEscaped + "' where id = 3";
    QTest::newRow("delete team") << DeleteTeamSql(3).join(";")
                                 << "delete from tblredactie where id = 3;delete from tblredactieuser where "
                                    "redactieid = 3;delete from tblagenda where redactie = 3";
    QTest::newRow("remove programme") << RemoveProgrammeSql(3, 4)
                                      << "delete from tblredactierubriek where redactieid = 3 and zenderid = 4";
    QTest::newRow("remove publishing") << RemovePublishSql(3, 4)
                                       << "delete from tblredpubrub where redid = 3 and progid = 4";
    // table editor
    QTest::newRow("rows") << TableRowsSql("tblwoonplaats", "naam") << "select * from tblwoonplaats order by naam";
    QTest::newRow("edit row") << UpdateRowSql("tblx", {"naam", "nummer"}, {odd, "12"}, 5)
                              << "update tblx set naam='" + oddEscaped + "',nummer='12' where id = 5";
    QTest::newRow("new row") << InsertRowSql("tblx", {"naam", "nummer"}, {odd, ""})
                             << "insert into tblx (naam,nummer) values ('" + oddEscaped + "','')";
    QTest::newRow("delete row") << DeleteRowSql("tblx", 5) << "delete from tblx where id = 5";
    // templates
    QTest::newRow("save template") << UpdateTemplateSql(9, "n'", "e", "c", "i")
                                   << "update tbltemplate set naam = 'n\\'',editor = 'e', content = 'c', initial = "
                                      "'i' where id = 9";
    QTest::newRow("new template") << InsertTemplateSql("kopie van x", "c\\", "e")
                                  << "insert into tbltemplate (naam,content,editor) values ('kopie van "
                                     "x','c\\\\','e')";
    QTest::newRow("a programme's rubrics")
        << ProgrammeRubricsSql(2)
        << "select id,naam from tblrubriek where id in (select rubriek from tblzenderrubriek where zender = 2) group "
           "by id,naam order by naam";
    QTest::newRow("template from team") << TakeTemplateFromTeamSql(1, 9)
                                        << "delete from tblredactietemplate where redactie = 1 and template = 9";
    // programmes and rubrics
    QTest::newRow("links, trailing blank")
        << ProgrammeLinksSql(2)
        << "select rub.id,rub.naam from tblrubriek rub, tblzenderrubriek zen where rub.id = zen.rubriek and "
           "zen.zender = 2 and not rub.onair ";
    QTest::newRow("rubric, working copy")
        << InsertRubricSql("41", odd).value(0)
        << "insert into tblrubriek (id,naam,onair) values (41,'" + oddEscaped + "',false)";
    QTest::newRow("rubric, on-air copy") << InsertRubricSql("41", odd).value(1)
                                         << "insert into tblrubriek (id,naam,onair) values (41,'" + oddEscaped +
                                                "',true)";
    QTest::newRow("unlink, trailing blank")
        << UnlinkRubricSql(2, 41) << "delete from tblzenderrubriek where zender = 2 and rubriek = 41 ";
    // targets and export
    QTest::newRow("save target") << UpdateTargetSql(4, odd, "Ftp", "host=a")
                                 << "update tbldoel set naam = '" + oddEscaped +
                                        "', module = 'Ftp',settings = 'host=a' where id = 4";
    QTest::newRow("delete target with its links") << DeleteTargetSql(4).join(";")
                                                  << "delete from tbldoel where id = 4;delete from tblnaardoel where "
                                                     "doelid = 4";
    QTest::newRow("files of a target") << TargetFilesOfTargetSql(4)
                                       << "select d.id,d.naam from tbldoelfile d, tblnaardoel t where t.doelid = 4 "
                                          "and t.doelfileid = d.id order by d.naam";
    QTest::newRow("new target file")
        << InsertTargetFileSql("a'", "b", "c", "d", 2, 3)
        << "insert into tbldoelfile (naam,localfilename,remotefilename,settings,exporttemplate,rubriekid) values "
           "('a\\'','b','c','d',2,3)";
    QTest::newRow("save target file")
        << UpdateTargetFileSql(6, "a", "b", "c", "d", 2, 3)
        << "update tbldoelfile set naam = 'a',localfilename = 'b',remotefilename = 'c',settings = 'd', "
           "exporttemplate = 2, rubriekid = 3 where id = 6";
    QTest::newRow("not along") << NotAlongFilesSql(6)
                               << "select id,naam from tbldoelfile where id not in (select alsodoelfileid from "
                                  "tbldoeldepend where doelfileid = 6)";
    QTest::newRow("export template") << UpdateExportTemplateSql(2, "x.htm", odd)
                                     << "update tblexporttemplate set naam = 'x.htm', settings = '" + oddEscaped +
                                            "' where id = 2";
    QTest::newRow("a value holding %1 stays as typed") << InsertTargetSql("%1", "%2", "%3")
                                                       << "insert into tbldoel (naam,module,settings) values "
                                                          "('%1','%2','%3')";
}

void TestAdminSql::statements()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(sql, expected);
}

void TestAdminSql::rights_data()
{
    QTest::addColumn<bool>("finalEditor");
    QTest::addColumn<bool>("administrator");
    QTest::addColumn<QString>("rights");
    QTest::newRow("none") << false << false << "----------------";
    QTest::newRow("final editor") << true << false << "x---------------";
    QTest::newRow("administrator") << false << true << "-x--------------";
    QTest::newRow("both") << true << true << "xx--------------";
}

void TestAdminSql::rights()
{
    QFETCH(bool, finalEditor);
    QFETCH(bool, administrator);
    QFETCH(QString, rights);
    QCOMPARE(RightsString(finalEditor, administrator), rights);
}

void TestAdminSql::entries()
{
    QCOMPARE(EntryName("12 Nieuws"), QString("Nieuws"));
    QCOMPARE(EntryName("-1 Geen ouder"), QString("Geen ouder"));
    QCOMPARE(EntryName("7 2 Meter Sessies"), QString("2 Meter Sessies"));
    QCOMPARE(EntryId("-1 Geen ouder"), -1);
    QCOMPARE(EntryId("12 Nieuws"), 12);
    QVERIFY_THROWS_EXCEPTION(std::exception, EntryId("Nieuws"));
}

void TestAdminSql::alignedRows()
{
    const QList<QStringList> rows{{"1", "marieke", "-x"}, {"12", "jo", "x-"}, {"3", "sanne", ""}};
    QCOMPARE(AlignedRows(rows), QStringList({"1  | marieke | -x", "12 | jo      | x-", "3  | sanne   |   "}));
    QVERIFY(AlignedRows({}).isEmpty());
}

QTEST_APPLESS_MAIN(TestAdminSql)
#include "tst_adminsql.moc"
