#pragma once
// Quoting of text values for SQL composed as text. Every session of the
// database client runs with standard_conforming_strings off (TPostgres
// verifies it at log-in), so backslashes are escapes inside ordinary string
// literals and this quoting is complete.

#include <QString>

// Returns text with every "'" written as "\'" and every "\" as "\\"; all other
// characters unchanged. Callers put the result between single quotes.
QString SqlEscape(const QString &text);
