// Feeds arbitrary bytes to the bulletin-board mail reader as a whole message
// and as headers alone, renders the page (without an attachment folder, so
// nothing is written) and runs the decoders: none may crash or loop, and a
// headers-only read never yields more than the message's own part.

#include "incoming/Mail.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    incoming::TMail headers;
    headers.parse(bytes, true);
    if (headers.parts().size() != 1)
        std::abort();
    (void)headers.sender();
    incoming::TMail mail;
    mail.parse(bytes);
    QString subject, plain;
    (void)mail.renderPage(&subject, &plain);
    (void)incoming::DecodeQuotedPrintable(bytes);
    (void)incoming::DecodeBase64Lines(bytes);
    (void)incoming::DecodeHeaderWords(bytes);
    (void)incoming::StripTags(QString::fromUtf8(bytes));
    return 0;
}
