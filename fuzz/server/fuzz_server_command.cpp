// Feeds arbitrary bytes through the server's input path: the line buffer in
// random-sized pieces, then the command parser on every line, and the
// argument splitter and version comparison on the parts. Checks the
// invariants the server relies on: no crash, a line never contains LF, an
// Invalid command always says why, and a broadcast the relay lets through
// never reads as the end of a reply.

#include "protocol/Command.h"
#include "protocol/LineBuffer.h"
#include "protocol/Relay.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    qserver::LineBuffer buffer(256 + data[0]);
    std::size_t at = 1;
    std::string line;
    while (at < size) {
        const std::size_t piece = 1 + data[at] % 64;
        const std::size_t n = piece < size - at ? piece : size - at;
        buffer.append(std::string_view(reinterpret_cast<const char *>(data + at), n));
        at += n;
        while (true) {
            const auto r = buffer.next(line);
            if (r != qserver::LineBuffer::Result::Line) {
                if (r == qserver::LineBuffer::Result::TooLong)
                    return 0;
                break;
            }
            if (line.find('\n') != std::string::npos)
                std::abort();
            const qserver::Command c = qserver::parseCommand(line);
            if (c.kind == qserver::CommandKind::Invalid && c.error.empty())
                std::abort();
            if (const auto relayed = qserver::relayableBroadcast(c.rest); relayed && qserver::endsReply(*relayed))
                std::abort();
            (void)qserver::splitArguments(c.rest);
            (void)qserver::compareVersions(c.arg, "1.3.4.1");
        }
    }
    return 0;
}
