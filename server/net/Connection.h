#pragma once
// One client connection on the event loop.
//
// DESIGN: when the server has a TLS context, the first byte a client sends
// decides: a TLS handshake record (0x16) starts TLS on this connection, any
// other byte (a command letter) means plain TCP, so old clients keep working
// on the same port. The byte is only peeked at, never consumed.
//
// The connection frames input into lines and hands each complete line
// to the coordinator, one at a time. While the coordinator works on a command
// off the loop (a database call), the connection is `busy`: further lines stay
// buffered and reading pauses, so replies leave strictly in command order and
// a client cannot make the server buffer without bound. Output is appended to
// one buffer and written by at most one async_write at a time, in pieces of
// at most kWritePiece bytes. Reading also pauses while the output waiting
// for the client is over half its limit (at most kWritePiece): a client that
// sends commands and reads no replies stops being read instead of making
// the server hold its replies. A connection is
// never destroyed inside its own handler: close() shuts the socket and posts
// the coordinator's clean-up; the handlers keep the object alive through
// shared_from_this until they have run.

#ifndef ASIO_STANDALONE
#define ASIO_STANDALONE
#endif
#include <asio.hpp>
#include <asio/ssl.hpp>

#include "net/Session.h"
#include "protocol/LineBuffer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace qserver {

class Connection;

// What the coordinator provides to connections.
class ConnectionHandler {
public:
    virtual ~ConnectionHandler() = default;
    virtual void onLine(Connection &c, const std::string &line) = 0;
    virtual void onClosed(Connection &c) = 0;  // once, after the socket closed; closeReason() says why
};

class Connection : public std::enable_shared_from_this<Connection> {
public:
    // `tls` may be null: plain TCP only.
    Connection(asio::ip::tcp::socket socket, ConnectionHandler &handler, std::uint64_t id, std::size_t maxLine,
               std::size_t maxOutput, asio::ssl::context *tls = nullptr);

    void start();

    // Queues bytes for the client.
    void write(std::string_view bytes);
    // The same, taking the string over when nothing else waits (a reply of a
    // busy second is not copied once more).
    void writeOwned(std::string &&bytes);

    // Marks a command as running off the loop / finished; finishing resumes
    // the lines buffered meanwhile.
    void setBusy(bool busy);
    bool busy() const { return m_busy; }

    // Closes once the queued output is written (bounded by a short grace time).
    void closeAfterFlush();
    // Closes at once; queued output is discarded.
    void close(const std::string &reason);
    bool closing() const { return m_closing || m_closed; }
    const std::string &closeReason() const { return m_closeReason; }

    // Output bytes not yet written to the socket.
    std::size_t pendingOutput() const { return m_out.size() - m_outStart + m_writing.size(); }
    // The most output that may wait for the client before it is dropped.
    void setOutputLimit(std::size_t bytes);

    std::uint64_t id() const { return m_id; }
    bool encrypted() const { return m_tls != nullptr; }
    const std::string &address() const { return m_address; }
    std::chrono::steady_clock::time_point connectedAt() const { return m_connectedAt; }
    std::chrono::steady_clock::time_point lastActivity() const { return m_lastActivity; }
    Session session;

private:
    void startTlsOrPlain();
    void doRead();
    void processLines();
    void doWrite();
    bool outputFull() const;

    asio::ip::tcp::socket m_socket;
    asio::ssl::context *m_tlsContext;
    std::unique_ptr<asio::ssl::stream<asio::ip::tcp::socket &>> m_tls;  // set once TLS was chosen
    asio::steady_timer m_graceTimer;
    ConnectionHandler &m_handler;
    std::uint64_t m_id;
    std::string m_address;
    LineBuffer m_in;
    std::array<char, 16384> m_readBuf{};
    static constexpr std::size_t kWritePiece = 64 * 1024;  // largest single write
    std::string m_out;  // waiting to be written from m_outStart on
    std::size_t m_outStart = 0;
    std::string m_writing;  // being written by the current async_write
    std::size_t m_maxOutput;  // a client that reads nothing is dropped beyond this
    bool m_reading = false;
    bool m_writingActive = false;
    bool m_busy = false;
    bool m_closing = false;  // close after the output is written
    bool m_closed = false;
    std::string m_closeReason;
    std::chrono::steady_clock::time_point m_connectedAt;
    std::chrono::steady_clock::time_point m_lastActivity;
};

}  // namespace qserver
