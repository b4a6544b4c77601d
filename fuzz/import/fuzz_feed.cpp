// Feeds arbitrary bytes to the feed and news-wire readers and the HTML-to-text
// conversion the server applies to what it fetches: none may crash or loop,
// a refused document yields no items, and every text that would be stored
// is valid UTF-8 without control characters other than CR LF (no C1 ones
// either). The first byte picks the HTTP charset and whether the rest is
// wrapped as JSON Feed or as a damaged RSS document, so the encodings, the
// JSON reader and the recovery pass are reached as often as the plain path.

#include "import/Feed.h"
#include "import/PlainText.h"
#include "import/Wire.h"
#include "import/Xml.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
void checkText(const std::string &s, bool oneLine)
{
    if (qserver::import::firstInvalidUtf8(s) != std::string::npos)
        std::abort();
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 && !(!oneLine && (c == '\r' || c == '\n')))
            std::abort();
        if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(s[i + 1]) <= 0x9F)
            std::abort();  // U+0080 to U+009F
    }
}

void checkFeed(const qserver::import::FeedResult &feed)
{
    if (!feed.ok && !feed.items.empty())
        std::abort();
    for (const auto &i : feed.items) {
        checkText(i.kop, true);
        checkText(i.body, false);
        if (i.kop.empty() || i.key.empty())
            std::abort();
        std::string scheme = i.url.substr(0, 8);
        for (char &c : scheme)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (!i.url.empty() && scheme.rfind("http://", 0) != 0 && scheme.rfind("https://", 0) != 0)
            std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static bool init = (qserver::import::initXml(), true);
    (void)init;
    if (size == 0)
        return 0;
    static const char *const kCharsets[] = {"", "iso-8859-1", "windows-1252", "utf-16", "iso-8859-15", "x-unknown"};
    const unsigned char mode = data[0];
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);
    const std::string charset = kCharsets[(mode & 0x0F) % 6];
    std::string input(bytes);
    if ((mode & 0x30) == 0x10)
        input = "{\"version\":\"https://jsonfeed.org/version/1.1\",\"items\":[" + input;
    else if ((mode & 0x30) == 0x20)
        input = "<rss version=\"2.0\"><channel><item><title>a</title><guid>g</guid></item><item>" + input;
    checkFeed(qserver::import::parseFeed(input, "https://a.example/f.xml", 0, 1000, charset));
    const auto wire = qserver::import::parseWire(bytes, 0);
    if (!wire.ok && !wire.items.empty())
        std::abort();
    checkText(qserver::import::htmlToText(bytes), false);
    (void)qserver::import::parseDate(bytes.substr(0, 80));
    return 0;
}
