#pragma once
// Backend messages of protocol 3.0 and 2.0, decoded one complete message at a
// time into a protocol-neutral Message.
//
// DESIGN
// 3.0 messages carry their length: the decoder checks it before the body is
// there (below 4 means framing is lost; types that cannot be long are capped
// at kShortMessageCap), waits until the whole message has arrived, decodes the
// body within its bounds and checks that the body was used up exactly. A body
// whose content does not fit its declared length is reported as a Malformed
// message and skipped by its length, so the stream stays in sync.
// 2.0 messages carry no length: the decoder reads them tentatively field by
// field and rewinds when the data ends early. Their texts are capped at
// kStringCap, so garbage cannot make the buffer grow without end.
// Data rows are not copied: their values are views into the input buffer,
// valid until the caller asks for the next message.

#include "db/PgBuffer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace db::pg {

enum class Kind {
    Authentication,  // 'R': code; data = salt (MD5) or SASL payload
    ParameterStatus,  // 'S' (3.0): text = name, data = value
    BackendKeyData,  // 'K': process id and secret key, not used
    ReadyForQuery,  // 'Z': the backend waits for the next statement; code = status byte (3.0), 0 in 2.0
    RowDescription,  // 'T': fields = column names
    DataRow,  // 'D', and 'B' in 2.0: fields = values (data null for NULL)
    CommandComplete,  // 'C': text = completion tag
    ErrorResponse,  // 'E': text = message as "SEVERITY:  text"
    NoticeResponse,  // 'N': text as for errors
    CopyInResponse,  // 'G': the backend waits for COPY data the client never sends
    Ignored,  // understood but not acted on: notifications, empty query, copy out data, ...
    Malformed  // 3.0 body that contradicts its length; text says why; skipped
};

// One value or name; data == nullptr for SQL NULL.
struct Field {
    const char *data = nullptr;
    std::int32_t size = 0;
};

struct Message {
    Kind kind = Kind::Ignored;
    char type = 0;  // the type byte as received
    std::int32_t code = 0;  // Authentication: the request code
    std::string_view text;  // see Kind; views into the input buffer or into ownText
    std::string_view data;  // see Kind
    std::vector<Field> fields;  // RowDescription, DataRow; reused between messages
    std::string ownText;  // storage for texts composed by the decoder
};

enum class DecodeStatus {
    Message,  // one message decoded and consumed
    NeedMore,  // the next message is not complete; nothing consumed
    Error  // framing is lost; the connection cannot be used any more
};

class Decoder {
public:
    static constexpr std::int32_t kShortMessageCap = 30000;  // 3.0 types that cannot be long
    static constexpr std::int32_t kLongMessageCap = 0x40000000;  // 1 GiB: the largest value plus headers
    static constexpr std::size_t kStringCap = 1024 * 1024;  // 2.0 texts: names, tags, messages

    explicit Decoder(int protocolMajor = 3) : m_major(protocolMajor) {}

    int protocolMajor() const { return m_major; }
    // Column count of the last row description; 2.0 rows need it to be read.
    int columnCount() const { return m_columns; }
    void reset() { m_columns = 0; }

    // Decodes the next message at the buffer's cursor into m. See DecodeStatus;
    // on Error, error() says what was wrong.
    DecodeStatus next(InputBuffer &in, Message &m);
    const std::string &error() const { return m_error; }

private:
    DecodeStatus next3(InputBuffer &in, Message &m);
    DecodeStatus next2(InputBuffer &in, Message &m);
    DecodeStatus fail(std::string why);

    int m_major;
    int m_columns = 0;
    std::string m_error;
};

// The printable name of a type byte for error texts ("'Q'" or "0x05").
std::string typeName(char type);

}  // namespace db::pg
