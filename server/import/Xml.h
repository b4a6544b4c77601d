#pragma once
// XML from outside (feeds, agency files) read with libxml2, defensively.
//
// DESIGN: the bytes are first made UTF-8 by us (the encoding named by a
// byte order mark, else the XML declaration, else the HTTP charset, else
// UTF-8; ISO-8859-1 and ASCII are read as Windows-1252, as senders mean
// them), then mended where senders commonly break XML without damaging
// anything else: HTML's named character references become numeric ones, a
// "&" that starts no reference is the character itself, and the control
// characters XML forbids become blanks. Then libxml2 parses the whole
// document. A document that is still not well-formed may be parsed again in
// recovery mode (the caller asks): the tree then holds what could be read,
// and every element says whether it was read completely (its end tag seen,
// no error inside it), so a caller never takes half an element.
//
// What a hostile file can try is refused by the parser setup, in both
// passes: no network access, no external DTD or entity loaded, and a
// document that declares any entity at all is stopped at the declaration
// (entity expansion, "billion laughs"). libxml2 itself bounds the nesting
// depth (256) and the size of one text node; hitting a bound refuses the
// document in recovery mode too. Callers only walk the tree with the
// helpers below.

#include <cstddef>
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

struct XmlRead {
    XmlDoc doc;  // null: refused (see error)
    std::string error;  // why refused
    std::string damage;  // not empty: not well-formed, read in recovery mode; the parser's first complaint
};

struct XmlOptions {
    std::string charset;  // from the HTTP Content-Type, "" when none
    std::string baseUrl;  // the document's own address, for relative links
    bool recover = false;  // read a document that is not well-formed as far as it goes
};

XmlRead readXml(std::string_view bytes, const XmlOptions &options);

// Parses `bytes` strictly; null and `error` (the parser's message, or why
// the document was refused) when it is not well-formed or declares entities.
XmlDoc parseXml(std::string_view bytes, std::string &error);

// `bytes` as UTF-8 by the rules above; false and `error` when the encoding
// is unknown or the bytes do not fit it. Exposed for the tests.
bool toUtf8(std::string_view bytes, const std::string &charset, std::string &out, std::string &error);

XmlNode *rootElement(_xmlDoc *doc);
std::string localName(const XmlNode *n);
// The namespace of `n` ("" for none).
std::string_view nsOf(const XmlNode *n);
// True when `n` was read completely (always, in a well-formed document).
bool complete(const XmlNode *n);
// The first element child called `name` (namespace ignored), or null.
XmlNode *child(const XmlNode *n, std::string_view name);
// The first element child called `name` in namespace `ns` ("" for none).
XmlNode *childNs(const XmlNode *n, std::string_view ns, std::string_view name);
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
// The base address for links in `n`: xml:base where given, else the
// document's address ("" when neither).
std::string baseOf(const XmlNode *n);

}  // namespace qserver::import
