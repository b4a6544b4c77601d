#include "publish/Render.h"

#include <kainjow/mustache.hpp>

#include <charconv>

namespace qserver::publish {

namespace mu = kainjow::mustache;

namespace {

mu::data lineList(const std::vector<std::string> &lines, std::size_t from, std::size_t to)
{
    mu::data list{mu::data::type::list};
    for (std::size_t i = from; i < to && i < lines.size(); ++i) {
        mu::data line;
        line.set("regel", lines[i]);
        list.push_back(line);
    }
    return list;
}

mu::data textData(const TextRow &t, std::size_t index, std::size_t count, int &length)
{
    const std::vector<std::string> lines = storedTextLines(t.body);
    length = pageLength(t.editorSettings, length);
    mu::data d;
    d.set("nummer", std::to_string(index + 1));
    d.set("id", std::to_string(t.id));
    d.set("kop", t.kop);
    d.set("regels", lineList(lines, 0, lines.size()));
    std::string body;
    for (std::size_t i = 0; i < lines.size(); ++i)
        body += (i ? "\n" : "") + lines[i];
    d.set("body", body);
    d.set("paginas", std::to_string(t.paginacount));
    mu::data blocks{mu::data::type::list};
    for (std::size_t from = 0, n = 1; from < lines.size(); from += std::size_t(length), ++n) {
        mu::data block;
        block.set("nummer", std::to_string(n));
        block.set("regels", lineList(lines, from, from + std::size_t(length)));
        blocks.push_back(block);
    }
    d.set("blokken", blocks);
    d.set("datum", t.datum);
    d.set("tijd", t.tijd);
    d.set("auteur", t.author);
    d.set("template", t.templateName);
    mu::data fields;
    for (const NameValue &v : parseValues(t.extra))
        if (!v.name.empty())
            fields.set(v.name, v.value);
    d.set("velden", fields);
    mu::data clocks{mu::data::type::list};
    for (const ClockEntry &c : clockEntries(t.klok)) {
        mu::data k;
        k.set("van", c.startDate);
        k.set("tot", c.endDate);
        k.set("begintijd", c.startTime);
        k.set("eindtijd", c.endTime);
        k.set("dagelijksvan", c.dailyFrom);
        k.set("dagelijkstot", c.dailyUntil);
        k.set("dagen", c.weekdays);
        clocks.push_back(k);
    }
    d.set("klokken", clocks);
    d.set("eerste", index == 0);
    d.set("laatste", index + 1 == count);
    return d;
}

}  // namespace

int pageLength(const std::string &editorSettings, int previous)
{
    const auto v = editorSetting(editorSettings, "pagelength");
    if (!v)
        return previous;
    int n = 0;
    const auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), n);
    return ec == std::errc() && end == v->data() + v->size() && n > 0 ? n : previous;
}

std::optional<std::string> renderFile(const std::string &templateText, const FileRow &file, const RubricData &rubric,
                                      const Moment &moment, std::string &error)
{
    mu::mustache tmpl{templateText};
    if (!tmpl.is_valid()) {
        error = tmpl.error_message();
        return std::nullopt;
    }
    mu::data root;
    mu::data when;
    when.set("datum", moment.datum);
    when.set("tijd", moment.tijd);
    when.set("door", moment.by);
    root.set("publicatie", when);

    mu::data f;
    f.set("id", std::to_string(file.id));
    f.set("naam", file.naam);
    f.set("lokaal", file.localName);
    f.set("remote", file.remoteName);
    root.set("bestand", f);

    mu::data params;
    mu::data paramList{mu::data::type::list};
    for (const NameValue &p : fileParameters(file.templateDefinition, file.settings)) {
        if (p.name.empty())
            continue;
        params.set(p.name, p.value);
        mu::data item;
        item.set("naam", p.name);
        item.set("waarde", p.value);
        paramList.push_back(item);
    }
    root.set("parameters", params);
    root.set("parameterlijst", paramList);

    mu::data r;
    r.set("id", std::to_string(rubric.id));
    r.set("naam", rubric.naam);
    r.set("programma", rubric.programmes.empty() ? std::string() : rubric.programmes.front().naam);
    mu::data programmes{mu::data::type::list};
    for (const Programme &p : rubric.programmes) {
        mu::data item;
        item.set("id", std::to_string(p.id));
        item.set("naam", p.naam);
        programmes.push_back(item);
    }
    r.set("programmas", programmes);
    r.set("paginas", std::to_string(rubric.paginacount));
    r.set("aantal", std::to_string(rubric.texts.size()));
    root.set("rubriek", r);

    mu::data texts{mu::data::type::list};
    int length = 200;  // as the printer starts each job
    for (std::size_t i = 0; i < rubric.texts.size(); ++i)
        texts.push_back(textData(rubric.texts[i], i, rubric.texts.size(), length));
    root.set("teksten", texts);
    root.set("geenteksten", rubric.texts.empty());

    std::string out = tmpl.render(root);
    if (!tmpl.is_valid()) {
        error = tmpl.error_message();
        return std::nullopt;
    }
    return out;
}

}  // namespace qserver::publish
