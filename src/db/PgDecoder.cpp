#include "db/PgDecoder.h"

#include <cstdio>

namespace db::pg {

namespace {

// Bounded reads inside one 3.0 message body. A read past the end fails and
// leaves the reader failed, so a handler can chain reads and check once.
class BodyReader {
public:
    explicit BodyReader(std::string_view body) : m_p(body.data()), m_end(body.data() + body.size()) {}

    bool byte(char &c)
    {
        if (!need(1))
            return false;
        c = *m_p++;
        return true;
    }
    bool int16(std::int16_t &v)
    {
        if (!need(2))
            return false;
        const auto *p = reinterpret_cast<const unsigned char *>(m_p);
        v = static_cast<std::int16_t>((p[0] << 8) | p[1]);
        m_p += 2;
        return true;
    }
    bool uint16(int &v)
    {
        std::int16_t s = 0;
        if (!int16(s))
            return false;
        v = static_cast<std::uint16_t>(s);
        return true;
    }
    bool int32(std::int32_t &v)
    {
        if (!need(4))
            return false;
        const auto *p = reinterpret_cast<const unsigned char *>(m_p);
        v = static_cast<std::int32_t>((std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
                                      (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]));
        m_p += 4;
        return true;
    }
    bool skip(std::size_t n)
    {
        if (!need(n))
            return false;
        m_p += n;
        return true;
    }
    bool bytes(std::size_t n, const char *&out)
    {
        out = m_p;
        return skip(n);
    }
    bool string(std::string_view &out)
    {
        if (m_failed)
            return false;
        const void *zero = std::memchr(m_p, '\0', static_cast<std::size_t>(m_end - m_p));
        if (!zero) {
            m_failed = true;
            return false;
        }
        out = std::string_view(m_p, static_cast<std::size_t>(static_cast<const char *>(zero) - m_p));
        m_p += out.size() + 1;
        return true;
    }
    std::string_view rest()
    {
        std::string_view r(m_p, static_cast<std::size_t>(m_end - m_p));
        m_p = m_end;
        return r;
    }
    bool atEnd() const { return !m_failed && m_p == m_end; }

private:
    bool need(std::size_t n)
    {
        if (m_failed || static_cast<std::size_t>(m_end - m_p) < n)
            m_failed = true;
        return !m_failed;
    }

    const char *m_p;
    const char *m_end;
    bool m_failed = false;
};

// Types whose 3.0 messages may legitimately be long.
bool mayBeLong(char type)
{
    switch (type) {
    case 'T':
    case 'D':
    case 'd':
    case 'V':
    case 'E':
    case 'N':
    case 'A': return true;
    default: return false;
    }
}

// "SEVERITY:  message", with detail and hint lines when present: the form a
// 2.0 backend sends, so both protocols show the same box texts.
bool decodeNotice3(BodyReader &r, Message &m)
{
    std::string_view severity, localized, message, position, detail, hint;
    for (;;) {
        char code = 0;
        if (!r.byte(code))
            return false;
        if (code == '\0')
            break;
        std::string_view value;
        if (!r.string(value))
            return false;
        switch (code) {
        case 'S': localized = value; break;
        case 'V': severity = value; break;
        case 'M': message = value; break;
        case 'P': position = value; break;
        case 'D': detail = value; break;
        case 'H': hint = value; break;
        default: break;
        }
    }
    m.ownText.assign(localized.empty() ? severity : localized);
    m.ownText.append(":  ").append(message);
    if (!position.empty())
        m.ownText.append(" at character ").append(position);
    if (!detail.empty())
        m.ownText.append("\nDETAIL:  ").append(detail);
    if (!hint.empty())
        m.ownText.append("\nHINT:  ").append(hint);
    m.text = m.ownText;
    return true;
}

bool decodeRowDescription3(BodyReader &r, Message &m)
{
    int n = 0;
    if (!r.uint16(n))
        return false;
    m.fields.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::string_view name;
        // name, table oid, column number, type oid, type size, type modifier, format
        if (!r.string(name) || !r.skip(4 + 2 + 4 + 2 + 4 + 2))
            return false;
        m.fields.push_back(Field{name.data(), static_cast<std::int32_t>(name.size())});
    }
    return true;
}

bool decodeDataRow3(BodyReader &r, Message &m)
{
    int n = 0;
    if (!r.uint16(n))
        return false;
    m.fields.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::int32_t len = 0;
        if (!r.int32(len))
            return false;
        Field f;
        if (len >= 0) {
            if (!r.bytes(static_cast<std::size_t>(len), f.data))
                return false;
            f.size = len;
        } else if (len != -1) {
            return false;
        }
        m.fields.push_back(f);
    }
    return true;
}

void clearMessage(Message &m, char type)
{
    m.kind = Kind::Ignored;
    m.type = type;
    m.code = 0;
    m.text = {};
    m.data = {};
    m.fields.clear();
}

}  // namespace

std::string typeName(char type)
{
    const auto u = static_cast<unsigned char>(type);
    char buf[8];
    if (u >= 0x21 && u < 0x7f)
        std::snprintf(buf, sizeof buf, "'%c'", type);
    else
        std::snprintf(buf, sizeof buf, "0x%02x", u);
    return buf;
}

DecodeStatus Decoder::fail(std::string why)
{
    m_error = std::move(why);
    return DecodeStatus::Error;
}

DecodeStatus Decoder::next(InputBuffer &in, Message &m)
{
    in.rewind();
    return m_major == 2 ? next2(in, m) : next3(in, m);
}

DecodeStatus Decoder::next3(InputBuffer &in, Message &m)
{
    char type = 0;
    std::int32_t length = 0;
    if (!in.getByte(type) || !in.getInt32(length)) {
        in.rewind();
        return DecodeStatus::NeedMore;
    }
    // The length is checked before waiting for the body: a wrong one means
    // the stream is out of step and nothing after it can be trusted.
    if (length < 4)
        return fail("invalid length " + std::to_string(length) + " of message " + typeName(type));
    if (length > (mayBeLong(type) ? kLongMessageCap : kShortMessageCap))
        return fail("message " + typeName(type) + " too long (" + std::to_string(length) + " bytes)");
    std::string_view body;
    if (!in.getBytes(static_cast<std::size_t>(length - 4), body)) {
        in.rewind();
        return DecodeStatus::NeedMore;
    }
    in.commit();

    clearMessage(m, type);
    BodyReader r(body);
    bool ok = true;
    switch (type) {
    case 'R':  // Authentication request
        m.kind = Kind::Authentication;
        ok = r.int32(m.code);
        m.data = r.rest();
        break;
    case 'S':  // ParameterStatus
        m.kind = Kind::ParameterStatus;
        ok = r.string(m.text) && r.string(m.data);
        break;
    case 'K': {  // BackendKeyData
        std::int32_t pid = 0, key = 0;
        m.kind = Kind::BackendKeyData;
        ok = r.int32(pid) && r.int32(key);
        break;
    }
    case 'Z': {  // ReadyForQuery, with the transaction status byte ('I', 'T' or 'E')
        char status = 0;
        m.kind = Kind::ReadyForQuery;
        ok = r.byte(status);
        m.code = static_cast<unsigned char>(status);
        break;
    }
    case 'T':  // RowDescription
        m.kind = Kind::RowDescription;
        ok = decodeRowDescription3(r, m);
        if (ok)
            m_columns = static_cast<int>(m.fields.size());
        break;
    case 'D':  // DataRow
        m.kind = Kind::DataRow;
        ok = decodeDataRow3(r, m);
        break;
    case 'C':  // CommandComplete
        m.kind = Kind::CommandComplete;
        ok = r.string(m.text);
        break;
    case 'E':  // ErrorResponse
    case 'N':  // NoticeResponse
        m.kind = type == 'E' ? Kind::ErrorResponse : Kind::NoticeResponse;
        ok = decodeNotice3(r, m);
        break;
    case 'G':  // CopyInResponse: format and column formats, not needed
        m.kind = Kind::CopyInResponse;
        r.rest();
        break;
    default:  // copy out, notifications, empty query, unknown types: skipped by length
        r.rest();
        break;
    }
    if (!ok || !r.atEnd()) {
        m.kind = Kind::Malformed;
        m.ownText = "malformed message " + typeName(type) + " of " + std::to_string(length) + " bytes";
        m.text = m.ownText;
        m.fields.clear();
    }
    return DecodeStatus::Message;
}

// 2.0 reads: every field read returns false when the data ran out, and next2
// rewinds then. A text over the cap is lost framing, not "need more".
DecodeStatus Decoder::next2(InputBuffer &in, Message &m)
{
    char type = 0;
    if (!in.getByte(type))
        return DecodeStatus::NeedMore;
    clearMessage(m, type);

    bool tooLong = false;
    auto str = [&](std::string_view &out) {
        switch (in.getString(out, kStringCap)) {
        case InputBuffer::StringStatus::Ok: return true;
        case InputBuffer::StringStatus::NeedMore: return false;
        case InputBuffer::StringStatus::TooLong: tooLong = true; return false;
        }
        return false;
    };

    bool complete = true;
    std::int32_t i32 = 0;
    std::string_view sv;
    switch (type) {
    case 'R':  // AuthenticationRequest; MD5 and crypt carry a salt
        m.kind = Kind::Authentication;
        complete = in.getInt32(m.code);
        if (complete && m.code == 5)
            complete = in.getBytes(4, m.data);
        else if (complete && m.code == 4)
            complete = in.getBytes(2, m.data);
        break;
    case 'E':  // ErrorResponse
    case 'N':  // NoticeResponse
        m.kind = type == 'E' ? Kind::ErrorResponse : Kind::NoticeResponse;
        complete = str(m.text);
        break;
    case 'Z':  // ReadyForQuery
        m.kind = Kind::ReadyForQuery;
        break;
    case 'K':  // BackendKeyData
        m.kind = Kind::BackendKeyData;
        complete = in.getInt32(i32) && in.getInt32(i32);
        break;
    case 'I':  // EmptyQueryResponse
    case 'P':  // CursorResponse
        complete = str(sv);
        break;
    case 'A':  // NotificationResponse
        complete = in.getInt32(i32) && str(sv);
        break;
    case 'V': {  // FunctionResultResponse
        char flag = 0;
        complete = in.getByte(flag);
        if (complete && flag != '0') {
            complete = in.getInt32(i32);
            if (complete && (i32 < 0 || i32 > kLongMessageCap))
                return fail("invalid length " + std::to_string(i32) + " of a function result");
            complete = complete && in.getBytes(static_cast<std::size_t>(i32), sv) && in.getByte(flag);
        }
        break;
    }
    case 'T': {  // RowDescription
        std::int16_t n = 0;
        m.kind = Kind::RowDescription;
        complete = in.getInt16(n);
        if (complete && n < 0)
            return fail("invalid column count " + std::to_string(n));
        m.fields.reserve(static_cast<std::size_t>(n));
        std::int16_t i16 = 0;
        for (int i = 0; complete && i < n; ++i) {
            // name, type oid, type size, type modifier
            complete = str(sv) && in.getInt32(i32) && in.getInt16(i16) && in.getInt32(i32);
            if (complete)
                m.fields.push_back(Field{sv.data(), static_cast<std::int32_t>(sv.size())});
        }
        break;
    }
    case 'D':  // AsciiRow: each value length counts its own four bytes
    case 'B': {  // BinaryRow: each value length counts only the value
        m.kind = Kind::DataRow;
        const std::int32_t self = type == 'D' ? 4 : 0;
        const auto n = static_cast<std::size_t>(m_columns);
        std::string_view bitmap;
        complete = in.getBytes((n + 7) / 8, bitmap);
        m.fields.reserve(n);
        for (std::size_t i = 0; complete && i < n; ++i) {
            // Column 1 is the most significant bit of the first byte.
            const bool present = (static_cast<unsigned char>(bitmap[i / 8]) >> (7 - i % 8)) & 1;
            Field f;
            if (present) {
                complete = in.getInt32(i32);
                if (complete && (i32 < self || i32 > kLongMessageCap))
                    return fail("invalid value length " + std::to_string(i32) + " in a data row");
                complete = complete && in.getBytes(static_cast<std::size_t>(i32 - self), sv);
                f = Field{sv.data(), i32 - self};
            }
            m.fields.push_back(f);
        }
        break;
    }
    case 'C':  // CompletedResponse
        m.kind = Kind::CommandComplete;
        complete = str(m.text);
        break;
    case 'G':  // CopyInResponse
        m.kind = Kind::CopyInResponse;
        break;
    default:
        // 2.0 messages carry no length, so an unknown type (copy-out data
        // included) cannot be skipped: whatever follows would be read as
        // messages of its own.
        return fail("unknown message type " + typeName(type));
    }
    if (tooLong)
        return fail("text in message " + typeName(type) + " longer than " + std::to_string(kStringCap) + " bytes");
    if (!complete) {
        in.rewind();
        m.fields.clear();
        return DecodeStatus::NeedMore;
    }
    in.commit();
    if (m.kind == Kind::RowDescription)
        m_columns = static_cast<int>(m.fields.size());
    return DecodeStatus::Message;
}

}  // namespace db::pg
