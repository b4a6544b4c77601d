#include "texts/VersieSql.h"

#include "core/Dates.h"
#include "core/Tokens.h"
#include "db/SqlEscape.h"

namespace texts {

namespace {

constexpr QChar kSep = QChar(0xFF);

QString num(int n)
{
    return QString::number(n);
}
QString ymd(const QDateTime &m)
{
    return core::DateToYmd(m.date());
}
QString hhnn(const QDateTime &m)
{
    return core::FormatDateTime(QStringLiteral("hh:nn"), m.time());
}

std::optional<int> number(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

}  // namespace

QString TopicSql(int agendaId)
{
    return QStringLiteral("select kort,lang,bron from tblagenda where id = ") + num(agendaId);
}

QString VersionListSql(int agendaId)
{
    return QStringLiteral("select tblteksten.id,kop,tbltemplate.naam from tblteksten,tbltemplate where agendaid = ") +
           num(agendaId) + QStringLiteral(" ") + QStringLiteral("and tbltemplate.id = tblteksten.template");
}

QString OpenVersionSql(int versionId)
{
    return QStringLiteral("select * from tblteksten where id = ") + num(versionId);
}
QString VersionTemplateSql(int templateId)
{
    return QStringLiteral("select naam,content,editor from tbltemplate where id = ") + num(templateId);
}
QString NextTextIdSql()
{
    return QStringLiteral("select nextval('tblteksten_id_seq')");
}
QString BasisTextSql(int versionId)
{
    return QStringLiteral("select kop,body from tblteksten where id = ") + num(versionId);
}
QString InitialCommandsSql(int templateId)
{
    return QStringLiteral("select initial from tbltemplate where id = ") + num(templateId);
}
QString DeleteVersionSql(int versionId)
{
    return QStringLiteral("delete from tblteksten where id = ") + num(versionId);
}
QString MergeTemplateSql(const QString &name)
{
    return QStringLiteral("select content from tbltemplate where naam = '") + SqlEscape(name) + QStringLiteral("'");
}
QString ClockListSql(int versionId)
{
    return QStringLiteral("select klok from tblteksten where id = ") + num(versionId);
}
QString OldClocksSql(int versionId)
{
    return QStringLiteral("select * from tblklok where tekstid = ") + num(versionId);
}

QString SaveVersionSql(const VersionValues &v)
{
    // The clock list goes through SqlEscape too: one read from tblklok is
    // whatever text that table held.
    return QStringLiteral("update tblteksten set kop = '") + SqlEscape(v.kop) + QStringLiteral("', body = '") +
           SqlEscape(v.body) + QStringLiteral("', extra = '") + SqlEscape(v.extra) +
           QStringLiteral("', paginacount = ") + num(v.pageCount) + QStringLiteral(" ,datum = '") + ymd(v.moment) +
           QStringLiteral("', tijd = '") + hhnn(v.moment) + QStringLiteral("', wie = ") + num(v.userId) +
           QStringLiteral(", klok = '") + SqlEscape(v.klok) + QStringLiteral("' where id = ") + num(v.id) +
           QStringLiteral(" ");
}

QString InsertVersionSql(const NewVersionValues &v)
{
    return QStringLiteral("insert into tblteksten (id,agendaid,template,kop,body,wie,datum,tijd) values (") +
           num(v.id) + QStringLiteral(",") + num(v.agendaId) + QStringLiteral(",") + num(v.templateId) +
           QStringLiteral(",'") + SqlEscape(v.kop) + QStringLiteral("','") + SqlEscape(v.body) + QStringLiteral("',") +
           num(v.userId) + QStringLiteral(",'") + ymd(v.moment) + QStringLiteral("','") + hhnn(v.moment) +
           QStringLiteral("')");
}

QString HistoryListSql(int versionId)
{
    return QStringLiteral("select h.id,h.datum,h.tijd,coalesce(u.loginnaam,''),h.kop from tbltekstenhistorie h "
                          "left join tbluser u on u.userid = h.wie where h.tekstid = ") +
           num(versionId) + QStringLiteral(" order by h.id desc");
}

QString HistoryEntrySql(int historyId)
{
    return QStringLiteral("select kop,body,extra from tbltekstenhistorie where id = ") + num(historyId);
}

QString GoalsSql(int team)
{
    return QStringLiteral("select id,naam from tbltemplate where id in (select template from tblredactietemplate "
                          "where redactie = ") +
           num(team) + QStringLiteral(") and parent = -1 order by naam");
}

QString BasisVersionsSql(int agendaId)
{
    return QStringLiteral("select tblteksten.id,kop,tbltemplate.naam from tbltemplate, tblteksten where "
                          "tblteksten.template = tbltemplate.id and tblteksten.agendaid = ") +
           num(agendaId) + QStringLiteral(" ");
}

QString PossibilitiesSql(int goalId)
{
    return QStringLiteral("select * from tbltemplate where parent = ") + num(goalId) + QStringLiteral(" order by naam");
}

QString VersionTabText(const QString &id, const QString &kop, const QString &naam)
{
    return id + kSep + kop + QLatin1Char(' ') + kSep + naam + QLatin1Char(' ') + kSep;
}

QString BasisLineText(const QString &id, const QString &kop, const QString &naam)
{
    return id + kSep + kop + kSep + naam + kSep;
}

VersionLine ParseVersionLine(const QString &line)
{
    QString rest = line;
    VersionLine v;
    v.id = core::TakeWhile(rest, core::Digits);
    const QStringList fields = rest.split(kSep);
    v.kop = fields.value(1);
    v.naam = fields.value(2);
    for (QString *f : {&v.kop, &v.naam})
        if (f->endsWith(QLatin1Char(' ')))
            f->chop(1);
    return v;
}

void TEditorSettings::merge(const QList<EditorSetting> &pairs)
{
    for (const EditorSetting &p : pairs) {
        auto it = std::find_if(m_pairs.begin(), m_pairs.end(), [&](const EditorSetting &s) {
            return s.name.compare(p.name, Qt::CaseInsensitive) == 0;
        });
        if (it != m_pairs.end())
            it->value = p.value;
        else
            m_pairs << p;
    }
}

QString TEditorSettings::value(const QString &name) const
{
    for (const EditorSetting &s : m_pairs)
        if (s.name.trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return s.value;
    return {};
}

bool TEditorSettings::has(const QString &name) const
{
    for (const EditorSetting &s : m_pairs)
        if (s.name.trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

EditorSetup EvaluateEditorSettings(const TEditorSettings &settings)
{
    EditorSetup e;
    e.useMemo = settings.value(QStringLiteral("usememo")) == QLatin1String("yes");
    e.font = settings.value(QStringLiteral("font"));
    const struct {
        const char *name;
        std::optional<int> EditorSetup::*field;
    } numbers[] = {
        {"size", &EditorSetup::size}, {"width", &EditorSetup::width}, {"pagelength", &EditorSetup::pageLength}};
    for (const auto &n : numbers) {
        const QString name = QString::fromLatin1(n.name);
        if (!settings.has(name))
            continue;
        const auto value = number(settings.value(name));
        if (!value)
            break;
        e.*n.field = value;
    }
    return e;
}

}  // namespace texts
