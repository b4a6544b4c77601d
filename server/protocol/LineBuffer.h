#pragma once
// Per-connection input framing for the line protocol.
//
// DESIGN: bytes arrive in arbitrary pieces; a line is complete only at LF.
// The buffer keeps the unconsumed bytes and a scan offset, so a long line that
// arrives byte by byte is scanned once, not once per piece. A trailing CR (the
// client ends its lines with CR LF) is not part of the line. A line longer
// than the cap is a protocol error: the caller logs it and drops the
// connection, because after an unbounded line the framing cannot be trusted.

#include <cstddef>
#include <string>
#include <string_view>

namespace qserver {

class LineBuffer {
public:
    enum class Result {
        Line,  // `line` holds one complete line
        NeedMore,  // no complete line buffered yet
        TooLong,  // the current line exceeds the cap; the buffer is unusable
    };

    explicit LineBuffer(std::size_t maxLineLength) : m_max(maxLineLength) {}

    void append(std::string_view bytes) { m_data.append(bytes); }

    // Takes the next complete line off the front. The line excludes LF and a
    // CR directly before it; it stays valid until the next call.
    Result next(std::string &line);

    // Bytes buffered but not yet returned as lines.
    std::size_t pending() const { return m_data.size() - m_start; }

private:
    std::string m_data;  // received bytes; [m_start, end) is unconsumed
    std::size_t m_start = 0;  // first byte of the current line
    std::size_t m_scan = 0;  // bytes of the current line already searched for LF
    std::size_t m_max;
};

}  // namespace qserver
