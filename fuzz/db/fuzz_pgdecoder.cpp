// Feeds arbitrary backend bytes to the message decoder of either protocol in
// arbitrary chunk sizes, as a socket would deliver them. The decoder must
// never read out of bounds, never loop, and every value it hands out must
// lie within the bytes received.

#include "db/PgDecoder.h"

#include <QString>

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int protocol = (data[0] & 1) ? 2 : 3;
    const std::size_t chunk = 1 + data[1] % 64;
    data += 2;
    size -= 2;

    db::pg::InputBuffer in(64);
    db::pg::Decoder decoder(protocol);
    db::pg::Message m;
    std::size_t fed = 0;
    for (;;) {
        const db::pg::DecodeStatus s = decoder.next(in, m);
        if (s == db::pg::DecodeStatus::Error)
            break;
        if (s == db::pg::DecodeStatus::Message) {
            // Touch every value the way the client converts them.
            for (const db::pg::Field &f : m.fields) {
                if (f.data)
                    (void)QString::fromUtf8(f.data, f.size);
            }
            (void)QString::fromUtf8(m.text.data(), static_cast<qsizetype>(m.text.size()));
            continue;
        }
        if (fed == size)
            break;
        const std::size_t n = std::min(chunk, size - fed);
        std::size_t room = 0;
        char *at = in.prepareFill(n, &room);
        std::memcpy(at, data + fed, n);
        in.commitFill(n);
        fed += n;
    }
    return 0;
}
