#pragma once
// Rendering one target file from its export template (mustache, logic-less).
//
// DESIGN. The data a template sees is built here and nowhere else, so
// server/README.md can list it from one place:
//
//   publicatie   datum ("yyyymmdd"), tijd ("hh:nn:ss"), door (login name)
//   bestand      id, naam, lokaal, remote
//   parameters   the file's parameters by name ({{parameters.titel}}), and
//   parameterlijst   the same as a list of {naam, waarde}
//   rubriek      id, naam, programma (the first in name order), programmas
//                [{id, naam}], paginas, aantal
//   teksten      in cycle order: nummer (from 1), id, kop, regels [{regel}],
//                body (the lines joined by LF), paginas, blokken [{nummer,
//                regels [{regel}]}] (the lines in on-air pages of the
//                template's pagelength), datum, tijd, auteur, template,
//                velden (the text's field values by name), klokken
//                [{van, tot, begintijd, eindtijd, dagelijksvan,
//                dagelijkstot, dagen}], eerste, laatste (true/false)
//   geenteksten  true when the rubric holds no text
//
// {{name}} escapes &, <, >, " and ' (HTML and XML); {{{name}}} writes the
// value as it is (plain text files).

#include "publish/Formats.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qserver::publish {

struct TextRow {
    std::int64_t id = 0;
    std::string kop;
    std::string body;  // stored form
    std::string datum, tijd;
    int paginacount = 0;
    std::string templateName;
    std::string editorSettings;  // tbltemplate.editor of the text's template
    std::string extra;  // value string of the text's fields
    std::string klok;  // clock list
    std::string author;  // login name of wie
};

struct Programme {
    std::int64_t id = 0;
    std::string naam;
};

struct RubricData {
    std::int64_t id = 0;
    bool found = false;  // the working copy exists
    std::string naam;
    std::string txt;  // content string as read
    int paginacount = 0;
    int onderwerpcount = 0;
    std::vector<Programme> programmes;
    std::vector<TextRow> texts;  // in cycle order; texts without a row or kop left out
    std::string error;  // the content string does not read
};

struct FileRow {
    std::int64_t id = 0;
    std::string naam;
    std::string localName;
    std::string remoteName;
    std::int64_t templateId = 0;
    bool templateFound = false;
    std::string templateName;  // tblexporttemplate.naam: the template file
    std::string templateDefinition;  // tblexporttemplate.settings
    std::int64_t rubricId = 0;
    std::string settings;  // value string of the parameters
};

struct Moment {
    std::string datum;  // yyyymmdd
    std::string tijd;  // hh:nn:ss
    std::string by;  // login name of the requester
};

// Renders `templateText` for one file. nullopt and `error` when the template
// does not parse or rendering fails.
std::optional<std::string> renderFile(const std::string &templateText, const FileRow &file, const RubricData &rubric,
                                      const Moment &moment, std::string &error);

// The page length a text template's editor settings give ("pagelength"),
// or `previous` when they give no positive number (as the printer keeps it).
int pageLength(const std::string &editorSettings, int previous);

}  // namespace qserver::publish
