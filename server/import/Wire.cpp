#include "import/Wire.h"

#include "import/Feed.h"
#include "import/PlainText.h"
#include "import/Xml.h"

namespace qserver::import {

namespace {

constexpr std::size_t kMaxIdBytes = 400;
constexpr std::size_t kMaxRubriekBytes = 100;

void stamp(WireItem &item, const std::string &date, std::time_t fallback)
{
    const auto parsed = parseDate(date);
    const LocalStamp s = localStamp(parsed ? *parsed : fallback);
    item.datum = s.datum;
    item.time = s.time;
    item.kop = cutUtf8(item.kop, kMaxTitleBytes);
    item.body = cutUtf8(item.body, kMaxBodyBytes);
    item.rubriek = cutUtf8(item.rubriek, kMaxRubriekBytes);
}

bool checkId(WireResult &r, const WireItem &item)
{
    if (item.itemId.empty()) {
        r.error = r.format + "-bericht zonder id";
        return false;
    }
    if (item.itemId.size() > kMaxIdBytes) {
        r.error = r.format + "-bericht met een id van meer dan " + std::to_string(kMaxIdBytes) + " bytes";
        return false;
    }
    return true;
}

// NITF: head/docdata/doc-id@id-string, date.issue@norm, hedline/hl1,
// body.content, tobject@tobject.type.
bool readNitf(const XmlNode *nitf, WireResult &r, std::time_t fallback)
{
    WireItem item;
    const XmlNode *head = child(nitf, "head");
    const XmlNode *docdata = child(head, "docdata");
    item.itemId = joinLines(plainToText(attribute(child(docdata, "doc-id"), "id-string")));
    if (!checkId(r, item))
        return false;
    const XmlNode *body = child(nitf, "body");
    const XmlNode *hl1 = descendant(child(body, "body.head"), "hl1");
    item.kop = oneLine(innerMarkup(hl1 ? hl1 : child(head, "title")));
    item.body = htmlToText(innerMarkup(child(body, "body.content")));
    item.rubriek = joinLines(plainToText(attribute(child(head, "tobject"), "tobject.type")));
    std::string date = attribute(child(docdata, "date.issue"), "norm");
    if (date.empty())
        date = attribute(descendant(body, "story.date"), "norm");
    stamp(item, date, fallback);
    r.items.push_back(std::move(item));
    return true;
}

// NewsML-G2 newsItem: @guid, itemMeta/versionCreated, contentMeta/headline,
// contentMeta/subject/name, contentSet/inlineXML (often NITF or XHTML) or
// inlineData.
bool readNewsItem(const XmlNode *n, WireResult &r, std::time_t fallback)
{
    WireItem item;
    item.itemId = joinLines(plainToText(attribute(n, "guid")));
    if (!checkId(r, item))
        return false;
    const XmlNode *meta = child(n, "contentMeta");
    item.kop = oneLine(innerMarkup(child(meta, "headline")));
    item.rubriek = joinLines(plainToText(text(child(child(meta, "subject"), "name"))));
    const XmlNode *set = child(n, "contentSet");
    if (const XmlNode *inlineXml = child(set, "inlineXML")) {
        const XmlNode *content = descendant(inlineXml, "body.content");
        if (!content)
            content = descendant(inlineXml, "body");
        item.body = htmlToText(innerMarkup(content ? content : inlineXml));
    } else {
        item.body = plainToText(text(child(set, "inlineData")));
    }
    std::string date = text(child(child(n, "itemMeta"), "versionCreated"));
    if (date.empty())
        date = text(child(meta, "contentCreated"));
    stamp(item, date, fallback);
    r.items.push_back(std::move(item));
    return true;
}

}  // namespace

WireResult parseWire(std::string_view bytes, std::time_t fallback)
{
    WireResult r;
    XmlDoc doc = parseXml(bytes, r.error);
    if (!doc) {
        r.error = "geen leesbare XML: " + r.error;
        return r;
    }
    const XmlNode *root = rootElement(doc.get());
    const std::string name = localName(root);
    if (name == "nitf") {
        r.format = "NITF";
        r.ok = readNitf(root, r, fallback);
    } else if (name == "newsItem") {
        r.format = "NewsML-G2";
        r.ok = readNewsItem(root, r, fallback);
    } else if (name == "newsMessage") {
        r.format = "NewsML-G2";
        r.ok = true;
        const XmlNode *set = child(root, "itemSet");
        for (const XmlNode *c = firstElement(set); c && r.ok; c = nextElement(c))
            if (localName(c) == "newsItem")
                r.ok = readNewsItem(c, r, fallback);
        if (r.ok && r.items.empty()) {
            r.ok = false;
            r.error = "NewsML-G2-bericht zonder newsItem";
        }
    } else {
        r.error = "geen NewsML-G2 of NITF (het document begint met <" + cutUtf8(name, 40) + ">)";
    }
    if (!r.ok)
        r.items.clear();
    return r;
}

}  // namespace qserver::import
