#pragma once
// The statements of the promo planner, composed as text; names and
// descriptions pass through SqlEscape. The planner works on the week row
// with datum 0 only.

#include <QString>

namespace extras {

inline constexpr int PromoWeekRow = 0;  // tblpromoweek.datum of the plan

QString PromoListSql();
QString LoadPlanSql();
// Creates the week row (empty) unless it is there; run before storing.
QString CreatePlanSql();
QString StorePlanSql(const QString &moment);
QString InsertPromoSql(const QString &name);
QString LoadPromoSql(int id);  // "select *": read by field name
QString UpdatePromoSql(int id, const QString &naam, const QString &kort, const QString &lang);
QString DeletePromoSql(int id);

}  // namespace extras
