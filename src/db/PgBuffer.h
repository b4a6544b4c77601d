#pragma once
// Bytes in and bytes out of the database protocol.
//
// DESIGN
// InputBuffer keeps three offsets into one growable block:
//   begin   first byte not yet consumed by a complete message
//   cursor  the tentative read position of the message being decoded
//   end     end of the received data
// A decoder reads from cursor; when a message turns out to be incomplete it
// rewinds to begin and asks for more data, so half a message is never acted
// on. commit() moves begin past a decoded message. Filling compacts the
// block (moves the unconsumed bytes to the front) and grows it when one
// message is larger than the block. Invariant: begin <= cursor <= end <= size.
//
// OutputMessage builds one frontend message in network byte order, so every
// request goes out in a single write.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace db::pg {

class InputBuffer {
public:
    explicit InputBuffer(std::size_t initialCapacity = 256 * 1024) : m_data(initialCapacity) {}

    // Bytes left for the message being decoded.
    std::size_t available() const { return m_end - m_cursor; }
    // Bytes received and not consumed by a complete message.
    std::size_t unconsumed() const { return m_end - m_begin; }
    const char *cursorData() const { return m_data.data() + m_cursor; }

    // Tentative reads; each returns false (and reads nothing) when the bytes
    // are not all there yet.
    bool getByte(char &c)
    {
        if (available() < 1)
            return false;
        c = m_data[m_cursor++];
        return true;
    }
    bool getInt16(std::int16_t &v)
    {
        if (available() < 2)
            return false;
        const auto *p = reinterpret_cast<const unsigned char *>(m_data.data() + m_cursor);
        v = static_cast<std::int16_t>((p[0] << 8) | p[1]);
        m_cursor += 2;
        return true;
    }
    bool getInt32(std::int32_t &v)
    {
        if (available() < 4)
            return false;
        const auto *p = reinterpret_cast<const unsigned char *>(m_data.data() + m_cursor);
        v = static_cast<std::int32_t>((std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
                                      (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]));
        m_cursor += 4;
        return true;
    }
    // n bytes at the cursor; the view stays valid until the next fill.
    bool getBytes(std::size_t n, std::string_view &out)
    {
        if (available() < n)
            return false;
        out = std::string_view(m_data.data() + m_cursor, n);
        m_cursor += n;
        return true;
    }

    enum class StringStatus {
        Ok,  // out holds the text; the zero byte is consumed
        NeedMore,  // no zero byte yet and the text is still within the cap
        TooLong  // no zero byte within maxLength bytes: framing is lost
    };
    // A zero-terminated text of at most maxLength bytes (zero excluded).
    StringStatus getString(std::string_view &out, std::size_t maxLength);

    // The message decoded since the last commit is complete: consume it.
    void commit() { m_begin = m_cursor; }
    // The message is incomplete: read it again from its start later.
    void rewind() { m_cursor = m_begin; }

    // Room for at least minFree more bytes at the end; returns where to
    // write and stores the room in *room. Moves unconsumed bytes to the
    // front, which invalidates views handed out before.
    char *prepareFill(std::size_t minFree, std::size_t *room);
    // n bytes were written at the pointer prepareFill returned.
    void commitFill(std::size_t n) { m_end += n; }

    // Forgets everything (a new connection).
    void clear() { m_begin = m_cursor = m_end = 0; }

    // Test hook: replaces the contents with bytes.
    void assign(std::string_view bytes);

private:
    std::vector<char> m_data;
    std::size_t m_begin = 0;  // first unconsumed byte
    std::size_t m_cursor = 0;  // tentative read position
    std::size_t m_end = 0;  // end of received data
};

// One frontend message, built in network byte order.
class OutputMessage {
public:
    // type 0: a message without a type byte (startup packet, 2.0 password).
    // withLength: a length word follows the type (every 3.0 message, the
    // startup packets and 2.0 password packets; not 2.0 queries).
    OutputMessage(char type, bool withLength);

    OutputMessage &addByte(char c)
    {
        m_bytes.push_back(c);
        return *this;
    }
    OutputMessage &addInt32(std::int32_t v);
    OutputMessage &addBytes(const char *p, std::size_t n)
    {
        m_bytes.insert(m_bytes.end(), p, p + n);
        return *this;
    }
    OutputMessage &addString(std::string_view s)  // text and a zero byte
    {
        addBytes(s.data(), s.size());
        return addByte('\0');
    }
    // A fixed-size field: the text and a zero byte, cut to size (the zero is
    // left out when the text fills the field), padded with zero bytes.
    OutputMessage &addFixed(std::string_view s, std::size_t size);

    // The finished message; fills in the length word.
    const std::vector<char> &finish();

private:
    std::vector<char> m_bytes;
    std::size_t m_lengthAt;  // offset of the length word, or npos
};

}  // namespace db::pg
