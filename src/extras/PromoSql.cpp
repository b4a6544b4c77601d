#include "extras/PromoSql.h"

#include "db/SqlEscape.h"

namespace extras {

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + SqlEscape(text) + QLatin1Char('\'');
}

const QString Row = QString::number(PromoWeekRow);

}  // namespace

QString PromoListSql()
{
    return QStringLiteral("select id,naam from tblpromo order by naam");
}

QString LoadPlanSql()
{
    return QStringLiteral("select moment from tblpromoweek where datum = ") + Row;
}

QString CreatePlanSql()
{
    return QStringLiteral("insert into tblpromoweek (datum,moment) select ") + Row +
           QStringLiteral(",'' where not exists (select datum from tblpromoweek where datum = ") + Row +
           QLatin1Char(')');
}

QString StorePlanSql(const QString &moment)
{
    return QStringLiteral("update tblpromoweek set moment = ") + quoted(moment) + QStringLiteral(" where datum = ") +
           Row;
}

QString InsertPromoSql(const QString &name)
{
    return QStringLiteral("insert into tblpromo (naam) values (") + quoted(name) + QLatin1Char(')');
}

QString LoadPromoSql(int id)
{
    return QStringLiteral("select * from tblpromo where id = ") + QString::number(id);
}

QString UpdatePromoSql(int id, const QString &naam, const QString &kort, const QString &lang)
{
    return QStringLiteral("update tblpromo set naam = ") + quoted(naam) + QStringLiteral(", kort = ") + quoted(kort) +
           QStringLiteral(", lang = ") + quoted(lang) + QStringLiteral(" where id = ") + QString::number(id);
}

QString DeletePromoSql(int id)
{
    return QStringLiteral("delete from tblpromo where id = ") + QString::number(id);
}

}  // namespace extras
