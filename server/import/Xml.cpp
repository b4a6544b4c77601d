#include "import/Xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace qserver::import {

namespace {
thread_local bool tEntityDeclared = false;

void refuseEntity(void *ctx, const xmlChar *, int, const xmlChar *, const xmlChar *, xmlChar *)
{
    tEntityDeclared = true;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
}

void refuseUnparsedEntity(void *ctx, const xmlChar *, const xmlChar *, const xmlChar *, const xmlChar *)
{
    tEntityDeclared = true;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
}

std::string trimmedMessage(const char *m)
{
    std::string s = m ? m : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s.empty() ? std::string("onleesbare XML") : s;
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

XmlDoc parseXml(std::string_view bytes, std::string &error)
{
    if (bytes.size() > 0x7fffffff) {
        error = "te groot";
        return nullptr;
    }
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) {
        error = "geen geheugen";
        return nullptr;
    }
    ctxt->sax->entityDecl = refuseEntity;
    ctxt->sax->unparsedEntityDecl = refuseUnparsedEntity;
    tEntityDeclared = false;
    // No NOENT (entities are not substituted), no DTDLOAD, no HUGE (libxml2
    // keeps its depth and text limits), NONET: nothing is fetched.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA;
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, bytes.data(), int(bytes.size()), nullptr, nullptr, options);
    XmlDoc out(doc);
    if (tEntityDeclared) {
        error = "het document declareert entiteiten; dat wordt niet aanvaard";
        out.reset();
    } else if (!doc || !ctxt->wellFormed) {
        const xmlError *e = xmlCtxtGetLastError(ctxt);
        error = trimmedMessage(e ? e->message : nullptr);
        if (e && e->line > 0)
            error += " (regel " + std::to_string(e->line) + ")";
        out.reset();
    } else if (!xmlDocGetRootElement(doc)) {
        error = "leeg document";
        out.reset();
    }
    xmlFreeParserCtxt(ctxt);
    return out;
}

XmlNode *rootElement(_xmlDoc *doc)
{
    return xmlDocGetRootElement(doc);
}

std::string localName(const XmlNode *n)
{
    return n && n->name ? reinterpret_cast<const char *>(n->name) : "";
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

XmlNode *child(const XmlNode *n, std::string_view name)
{
    for (XmlNode *c = firstElement(n); c; c = nextElement(c))
        if (localName(c) == name)
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

}  // namespace qserver::import
