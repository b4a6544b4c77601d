#include "import/Xml.h"

#include "import/PlainText.h"

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/uri.h>

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

namespace qserver::import {

namespace {

// What one parse learns through libxml2's callbacks (the context's
// _private points at it).
struct ParseState {
    bool entityDeclared = false;
    bool bounded = false;  // a limit of the parser was hit: refused in any mode
    std::size_t errors = 0;  // errors that can damage content (namespace complaints do not)
    std::string firstError;
    std::vector<std::size_t> open;  // errors seen when each open element started
};

char kComplete;  // the address marks an element read completely (node->_private)

ParseState &stateOf(void *ctx)
{
    return *static_cast<ParseState *>(static_cast<xmlParserCtxtPtr>(ctx)->_private);
}

void refuseEntity(void *ctx, const xmlChar *, int, const xmlChar *, const xmlChar *, xmlChar *)
{
    stateOf(ctx).entityDeclared = true;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
}

void refuseUnparsedEntity(void *ctx, const xmlChar *, const xmlChar *, const xmlChar *, const xmlChar *)
{
    stateOf(ctx).entityDeclared = true;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
}

std::string trimmedMessage(const char *m)
{
    std::string s = m ? m : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s.empty() ? std::string("onleesbare XML") : s;
}

void noteError(void *ctx, xmlErrorPtr e)
{
    if (!e || e->level < XML_ERR_ERROR || e->domain == XML_FROM_NAMESPACE)
        return;
    ParseState &s = stateOf(ctx);
    if (e->code == XML_ERR_INTERNAL_ERROR || e->code == XML_ERR_NO_MEMORY || e->code == XML_ERR_ENTITY_LOOP)
        s.bounded = true;  // depth, huge text, memory: libxml2 stops there
    if (s.errors++ == 0) {
        s.firstError = trimmedMessage(e->message);
        if (e->line > 0)
            s.firstError += " (regel " + std::to_string(e->line) + ")";
    }
}

void startElement(void *ctx, const xmlChar *localname, const xmlChar *prefix, const xmlChar *uri, int nbNs,
                  const xmlChar **namespaces, int nbAttributes, int nbDefaulted, const xmlChar **attributes)
{
    xmlSAX2StartElementNs(ctx, localname, prefix, uri, nbNs, namespaces, nbAttributes, nbDefaulted, attributes);
    ParseState &s = stateOf(ctx);
    s.open.push_back(s.errors);
}

void endElement(void *ctx, const xmlChar *localname, const xmlChar *prefix, const xmlChar *uri)
{
    auto *ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    ParseState &s = stateOf(ctx);
    if (!s.open.empty()) {
        if (ctxt->node && s.open.back() == s.errors)
            ctxt->node->_private = &kComplete;
        s.open.pop_back();
    }
    xmlSAX2EndElementNs(ctx, localname, prefix, uri);
}

std::string lower(std::string s)
{
    for (char &c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The encoding named in an XML declaration at the start of ASCII-compatible
// bytes, "" when none.
std::string declaredEncoding(std::string_view b)
{
    if (b.substr(0, 5) != "<?xml")
        return {};
    const std::size_t end = b.find("?>");
    const std::string_view decl = b.substr(0, std::min<std::size_t>(end, 300));
    const std::size_t at = decl.find("encoding");
    if (at == std::string_view::npos)
        return {};
    std::size_t i = at + 8;
    while (i < decl.size() && (decl[i] == ' ' || decl[i] == '=' || decl[i] == '\t'))
        ++i;
    if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\''))
        return {};
    const std::size_t close = decl.find(decl[i], i + 1);
    return close == std::string_view::npos ? std::string() : std::string(decl.substr(i + 1, close - i - 1));
}

bool isWindows1252Family(const std::string &name)
{
    static constexpr std::string_view kNames[] = {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1",   "latin-1",
                                                  "l1",         "us-ascii",  "ascii",      "windows-1252", "cp1252",
                                                  "x-cp1252",   "iso-ir-100", "ibm819",    "cp819"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

bool viaIconv(std::string_view bytes, const std::string &from, std::string &out, std::string &error)
{
    iconv_t cd = iconv_open("UTF-8", from.c_str());
    if (cd == iconv_t(-1)) {
        error = "onbekende tekenset " + cutUtf8(from, 40);
        return false;
    }
    out.clear();
    std::string in(bytes);
    char *src = in.data();
    std::size_t left = in.size();
    char buf[8192];
    bool ok = true;
    while (left > 0) {
        char *dst = buf;
        std::size_t room = sizeof buf;
        const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, std::size_t(dst - buf));
        if (rc == std::size_t(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok)
        error = "de tekst past niet bij tekenset " + cutUtf8(from, 40) + " (byte " +
                std::to_string(bytes.size() - left) + ")";
    return ok;
}

// Rewrites what senders commonly get wrong in otherwise sound XML (see the
// header); CDATA sections, comments and processing instructions are left as
// they are, apart from the forbidden control characters.
std::string mend(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 64);
    std::size_t i = 0;
    auto skipTo = [&](std::string_view close) {
        const std::size_t end = s.find(close, i);
        const std::size_t stop = end == std::string_view::npos ? s.size() : end + close.size();
        for (; i < stop; ++i) {
            const unsigned char c = static_cast<unsigned char>(s[i]);
            out += c < 0x20 && c != '\t' && c != '\n' && c != '\r' ? ' ' : char(c);
        }
    };
    while (i < s.size()) {
        // Runs of ordinary bytes are copied whole.
        std::size_t j = i;
        while (j < s.size()) {
            const unsigned char b = static_cast<unsigned char>(s[j]);
            if (b == '&' || (b < 0x20 && b != '\t' && b != '\n' && b != '\r'))
                break;
            // Only "<!" and "<?" open what is copied by other rules.
            if (b == '<' && j + 1 < s.size() && (s[j + 1] == '!' || s[j + 1] == '?'))
                break;
            ++j;
        }
        out.append(s.substr(i, j - i));
        i = j;
        if (i >= s.size())
            break;
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '<' && s.compare(i, 9, "<![CDATA[") == 0) {
            skipTo("]]>");
        } else if (c == '<' && s.compare(i, 4, "<!--") == 0) {
            skipTo("-->");
        } else if (c == '<' && s.compare(i, 2, "<?") == 0) {
            skipTo("?>");
        } else if (c == '&') {
            std::size_t j = i + 1;
            const bool numeric = j < s.size() && s[j] == '#';
            const bool hex = numeric && j + 1 < s.size() && (s[j + 1] == 'x' || s[j + 1] == 'X');
            j += numeric ? (hex ? 2 : 1) : 0;
            const std::size_t nameStart = j;
            while (j < s.size() && j - nameStart < 32 &&
                   (numeric ? (hex ? std::isxdigit(static_cast<unsigned char>(s[j]))
                                   : std::isdigit(static_cast<unsigned char>(s[j])))
                            : (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_' || s[j] == '.' ||
                               s[j] == '-')))
                ++j;
            const std::string_view nameView = s.substr(nameStart, j - nameStart);
            if (!numeric && j < s.size() && s[j] == ';' &&
                (nameView == "amp" || nameView == "lt" || nameView == "gt" || nameView == "quot" || nameView == "apos")) {
                out.append(s.substr(i, j + 1 - i));  // the common case, without a copy of the name
                i = j + 1;
                continue;
            }
            const std::string name(nameView);
            if (name.empty() || j >= s.size() || s[j] != ';') {
                out += "&amp;";  // a lone "&", as in a link's query
                ++i;
                continue;
            }
            if (numeric) {
                const unsigned long cp = name.size() > 8 ? 0x110000 : std::strtoul(name.c_str(), nullptr, hex ? 16 : 10);
                const bool valid = cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
                                   (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
                out += valid ? std::string(s.substr(i, j + 1 - i)) : std::string("&#32;");
            } else if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos") {
                out.append(s.substr(i, j + 1 - i));
            } else if (const htmlEntityDesc *e = htmlEntityLookup(reinterpret_cast<const xmlChar *>(name.c_str()))) {
                out += "&#" + std::to_string(e->value) + ";";
            } else {
                out += "&amp;";  // an unknown name stays as written
                out.append(s.substr(i + 1, j - i));
            }
            i = j + 1;
        } else {
            out += c < 0x20 && c != '\t' && c != '\n' && c != '\r' ? ' ' : char(c);
            ++i;
        }
    }
    return out;
}

// One libxml2 pass over mended UTF-8.
XmlRead parsePass(const std::string &utf8, const XmlOptions &options, bool recover)
{
    XmlRead r;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) {
        r.error = "geen geheugen";
        return r;
    }
    ParseState state;
    ctxt->_private = &state;
    ctxt->sax->entityDecl = refuseEntity;
    ctxt->sax->unparsedEntityDecl = refuseUnparsedEntity;
    ctxt->sax->startElementNs = startElement;
    ctxt->sax->endElementNs = endElement;
    ctxt->sax->serror = noteError;
    // No NOENT (entities are not substituted), no DTDLOAD, no HUGE (libxml2
    // keeps its depth and text limits), NONET: nothing is fetched.
    int flags = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA;
    if (recover)
        flags |= XML_PARSE_RECOVER;
    const char *url = options.baseUrl.empty() ? nullptr : options.baseUrl.c_str();
    // The bytes are UTF-8 and the declaration says so (see readXml): no
    // encoding named here, so libxml2 reads them without another copy.
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, utf8.data(), int(utf8.size()), url, nullptr, flags);
    r.doc.reset(doc);
    if (state.entityDeclared) {
        r.error = "het document declareert entiteiten; dat wordt niet aanvaard";
        r.doc.reset();
    } else if (!doc || (!recover && !ctxt->wellFormed) || (recover && state.bounded)) {
        const xmlError *e = xmlCtxtGetLastError(ctxt);
        r.error = state.errors ? state.firstError : trimmedMessage(e ? e->message : nullptr);
        if (state.bounded || !state.errors) {
            r.error = trimmedMessage(e ? e->message : nullptr);
            if (e && e->line > 0)
                r.error += " (regel " + std::to_string(e->line) + ")";
        }
        r.doc.reset();
    } else if (!xmlDocGetRootElement(doc)) {
        r.error = "leeg document";
        r.doc.reset();
    } else if (!ctxt->wellFormed) {
        r.damage = state.firstError.empty() ? std::string("onleesbare XML") : state.firstError;
    }
    xmlFreeParserCtxt(ctxt);
    return r;
}

}  // namespace

void XmlDocFree::operator()(_xmlDoc *d) const
{
    xmlFreeDoc(d);
}

void initXml()
{
    xmlInitParser();
}

bool toUtf8(std::string_view b, const std::string &charset, std::string &out, std::string &error)
{
    std::string name;
    if (b.substr(0, 3) == "\xEF\xBB\xBF") {
        b.remove_prefix(3);
        name = "utf-8";
    } else if (b.substr(0, 2) == "\xFF\xFE" || b.substr(0, 2) == "\xFE\xFF") {
        name = "utf-16";  // iconv reads the mark
    } else if (b.substr(0, 4) == std::string_view("<\0?\0", 4)) {
        name = "utf-16le";
    } else if (b.substr(0, 4) == std::string_view("\0<\0?", 4)) {
        name = "utf-16be";
    } else {
        name = lower(declaredEncoding(b));
        if (name.empty())
            name = lower(charset);
        if (name.empty())
            name = "utf-8";
    }
    if (name == "utf-8" || name == "utf8") {
        const std::size_t bad = firstInvalidUtf8(b);
        if (bad != std::string_view::npos) {
            error = "geen geldige UTF-8 (byte " + std::to_string(bad) + ")";
            return false;
        }
        out.assign(b);
        return true;
    }
    if (isWindows1252Family(name)) {
        out.clear();
        out.reserve(b.size() + b.size() / 8);
        for (unsigned char c : b)
            appendCodePoint(out, c < 0x80 ? c : windows1252(c));
        return true;
    }
    return viaIconv(b, name, out, error);
}

XmlRead readXml(std::string_view bytes, const XmlOptions &options)
{
    XmlRead r;
    if (bytes.size() > 0x3fffffff) {
        r.error = "te groot";
        return r;
    }
    std::string utf8;
    if (!toUtf8(bytes, options.charset, utf8, r.error))
        return r;
    std::string mended = mend(utf8);
    const std::string declared = lower(declaredEncoding(mended));
    if (!declared.empty() && declared != "utf-8" && declared != "utf8") {
        const std::size_t at = mended.find(declaredEncoding(mended), mended.find("encoding"));
        mended.replace(at, declared.size(), "UTF-8");
    }
    r = parsePass(mended, options, false);
    if (r.doc || !options.recover || r.error.find("entiteiten") != std::string::npos)
        return r;
    XmlRead second = parsePass(mended, options, true);
    if (!second.doc) {
        second.error = r.error.empty() ? second.error : r.error;
        return second;
    }
    if (second.damage.empty())
        second.damage = r.error;
    return second;
}

XmlDoc parseXml(std::string_view bytes, std::string &error)
{
    XmlRead r = readXml(bytes, XmlOptions{});
    error = r.error;
    return std::move(r.doc);
}

XmlNode *rootElement(_xmlDoc *doc)
{
    return xmlDocGetRootElement(doc);
}

std::string localName(const XmlNode *n)
{
    return n && n->name ? reinterpret_cast<const char *>(n->name) : "";
}

std::string_view nsOf(const XmlNode *n)
{
    return n && n->ns && n->ns->href ? std::string_view(reinterpret_cast<const char *>(n->ns->href))
                                     : std::string_view();
}

bool complete(const XmlNode *n)
{
    return n && n->_private == &kComplete;
}

XmlNode *firstElement(const XmlNode *n)
{
    for (xmlNodePtr c = n ? n->children : nullptr; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            return c;
    return nullptr;
}

XmlNode *nextElement(const XmlNode *n)
{
    for (xmlNodePtr c = n ? n->next : nullptr; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            return c;
    return nullptr;
}

namespace {
// The name without a copy: the lookups below run for every field of every item.
std::string_view nameOf(const XmlNode *n)
{
    return n && n->name ? std::string_view(reinterpret_cast<const char *>(n->name)) : std::string_view();
}
}  // namespace

XmlNode *child(const XmlNode *n, std::string_view name)
{
    for (XmlNode *c = firstElement(n); c; c = nextElement(c))
        if (nameOf(c) == name)
            return c;
    return nullptr;
}

XmlNode *childNs(const XmlNode *n, std::string_view ns, std::string_view name)
{
    for (XmlNode *c = firstElement(n); c; c = nextElement(c))
        if (nameOf(c) == name && nsOf(c) == ns)
            return c;
    return nullptr;
}

XmlNode *descendant(const XmlNode *n, std::string_view name)
{
    for (XmlNode *c = firstElement(n); c; c = nextElement(c)) {
        if (localName(c) == name)
            return c;
        if (XmlNode *d = descendant(c, name))
            return d;
    }
    return nullptr;
}

std::string text(const XmlNode *n)
{
    if (!n)
        return {};
    xmlChar *t = xmlNodeGetContent(n);
    std::string s = t ? reinterpret_cast<const char *>(t) : "";
    xmlFree(t);
    return s;
}

std::string attribute(const XmlNode *n, const char *name)
{
    if (!n)
        return {};
    xmlChar *v = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar *>(name));
    if (!v) {
        // Namespaced attributes (rdf:about, xml:lang ...) by their local name.
        for (xmlAttrPtr a = n->properties; a; a = a->next) {
            if (a->name && std::string_view(reinterpret_cast<const char *>(a->name)) == name) {
                v = xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(a));
                break;
            }
        }
    }
    std::string s = v ? reinterpret_cast<const char *>(v) : "";
    xmlFree(v);
    return s;
}

std::string innerMarkup(const XmlNode *n)
{
    if (!n)
        return {};
    std::string out;
    xmlBufferPtr buf = xmlBufferCreate();
    for (xmlNodePtr c = n->children; c; c = c->next) {
        xmlBufferEmpty(buf);
        if (xmlNodeDump(buf, n->doc, c, 0, 0) >= 0)
            out.append(reinterpret_cast<const char *>(xmlBufferContent(buf)), std::size_t(xmlBufferLength(buf)));
    }
    xmlBufferFree(buf);
    return out;
}

std::string baseOf(const XmlNode *n)
{
    if (!n)
        return {};
    xmlChar *b = xmlNodeGetBase(n->doc, n);
    std::string s = b ? reinterpret_cast<const char *>(b) : "";
    xmlFree(b);
    return s;
}

}  // namespace qserver::import
