#pragma once
// XML from outside (feeds, agency files) read with libxml2, defensively.
//
// DESIGN: a document is parsed whole before anything is taken from it, so a
// file that breaks off halfway gives an error and nothing partial. What a
// hostile file can try is refused by the parser setup: no network access, no
// external DTD or entity loaded, and a document that declares any entity at
// all is stopped at the declaration (entity expansion, "billion laughs").
// libxml2 itself bounds the nesting depth (256) and the size of one text
// node and checks the declared character encoding (invalid UTF-8 is an
// error). Callers only walk the tree with the helpers below.

#include <memory>
#include <string>
#include <string_view>

struct _xmlDoc;
struct _xmlNode;

namespace qserver::import {

using XmlNode = _xmlNode;

struct XmlDocFree {
    void operator()(_xmlDoc *d) const;
};
using XmlDoc = std::unique_ptr<_xmlDoc, XmlDocFree>;

// Call once from the main thread before any thread parses (libxml2's own
// set-up is not safe to race).
void initXml();

// Parses `bytes`; null and `error` (the parser's message, or why the
// document was refused) when it is not well-formed or declares entities.
XmlDoc parseXml(std::string_view bytes, std::string &error);

XmlNode *rootElement(_xmlDoc *doc);
std::string localName(const XmlNode *n);
// The first element child called `name` (namespace ignored), or null.
XmlNode *child(const XmlNode *n, std::string_view name);
// The first element called `name` below `n` in document order, or null.
XmlNode *descendant(const XmlNode *n, std::string_view name);
// The next element sibling after `n` (null when none).
XmlNode *nextElement(const XmlNode *n);
XmlNode *firstElement(const XmlNode *n);
// Text content of `n` ("" for null).
std::string text(const XmlNode *n);
// Attribute `name` of `n` without namespace ("" when absent).
std::string attribute(const XmlNode *n, const char *name);
// The children of `n` written back as markup (for XHTML and NITF bodies).
std::string innerMarkup(const XmlNode *n);

}  // namespace qserver::import
