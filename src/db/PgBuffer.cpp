#include "db/PgBuffer.h"

#include <algorithm>
#include <string>

namespace db::pg {

InputBuffer::StringStatus InputBuffer::getString(std::string_view &out, std::size_t maxLength)
{
    const std::size_t look = std::min(available(), maxLength + 1);
    const char *start = m_data.data() + m_cursor;
    const void *zero = std::memchr(start, '\0', look);
    if (!zero)
        return available() > maxLength ? StringStatus::TooLong : StringStatus::NeedMore;
    const std::size_t n = static_cast<std::size_t>(static_cast<const char *>(zero) - start);
    out = std::string_view(start, n);
    m_cursor += n + 1;
    return StringStatus::Ok;
}

char *InputBuffer::prepareFill(std::size_t minFree, std::size_t *room)
{
    if (m_data.size() - m_end < minFree) {
        // Compact first: consumed bytes are dead.
        if (m_begin > 0) {
            const std::size_t keep = m_end - m_begin;
            std::memmove(m_data.data(), m_data.data() + m_begin, keep);
            m_cursor -= m_begin;
            m_end = keep;
            m_begin = 0;
        }
        if (m_data.size() - m_end < minFree) {
            std::size_t size = m_data.size();
            while (size - m_end < minFree)
                size *= 2;
            m_data.resize(size);
        }
    }
    *room = m_data.size() - m_end;
    return m_data.data() + m_end;
}

void InputBuffer::assign(std::string_view bytes)
{
    clear();
    std::size_t room = 0;
    char *p = prepareFill(bytes.size(), &room);
    std::memcpy(p, bytes.data(), bytes.size());
    commitFill(bytes.size());
}

OutputMessage::OutputMessage(char type, bool withLength)
{
    if (type != 0)
        m_bytes.push_back(type);
    m_lengthAt = withLength ? m_bytes.size() : std::string::npos;
    if (withLength)
        addInt32(0);
}

OutputMessage &OutputMessage::addInt32(std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    const char b[4] = {char(u >> 24), char(u >> 16), char(u >> 8), char(u)};
    return addBytes(b, 4);
}

OutputMessage &OutputMessage::addFixed(std::string_view s, std::size_t size)
{
    const std::size_t n = std::min(s.size(), size);
    addBytes(s.data(), n);
    m_bytes.insert(m_bytes.end(), size - n, '\0');
    return *this;
}

const std::vector<char> &OutputMessage::finish()
{
    if (m_lengthAt != std::string::npos) {
        // The length counts itself but not the type byte.
        const auto u = static_cast<std::uint32_t>(m_bytes.size() - m_lengthAt);
        m_bytes[m_lengthAt] = char(u >> 24);
        m_bytes[m_lengthAt + 1] = char(u >> 16);
        m_bytes[m_lengthAt + 2] = char(u >> 8);
        m_bytes[m_lengthAt + 3] = char(u);
    }
    return m_bytes;
}

}  // namespace db::pg
