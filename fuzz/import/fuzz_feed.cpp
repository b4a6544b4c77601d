// Feeds arbitrary bytes to the feed and news-wire readers and the HTML-to-text
// conversion the server applies to what it fetches: none may crash or loop,
// a refused document yields no items, and every text that would be stored
// is valid UTF-8 without control characters other than CR LF.

#include "import/Feed.h"
#include "import/PlainText.h"
#include "import/Wire.h"
#include "import/Xml.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
void checkText(const std::string &s, bool oneLine)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 && !(!oneLine && (c == '\r' || c == '\n')))
            std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static bool init = (qserver::import::initXml(), true);
    (void)init;
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto feed = qserver::import::parseFeed(bytes, "https://a.example/f.xml", 0, 1000);
    if (!feed.ok && !feed.items.empty())
        std::abort();
    for (const auto &i : feed.items) {
        checkText(i.kop, true);
        checkText(i.body, false);
    }
    const auto wire = qserver::import::parseWire(bytes, 0);
    if (!wire.ok && !wire.items.empty())
        std::abort();
    checkText(qserver::import::htmlToText(bytes), false);
    (void)qserver::import::parseDate(bytes.substr(0, 80));
    return 0;
}
