#include "net/Connection.h"

#include "Log.h"

#include <algorithm>

namespace qserver {

Connection::Connection(asio::ip::tcp::socket socket, ConnectionHandler &handler, std::uint64_t id, std::size_t maxLine,
                       std::size_t maxOutput, asio::ssl::context *tls)
    : m_socket(std::move(socket)), m_tlsContext(tls), m_graceTimer(m_socket.get_executor()), m_handler(handler),
      m_id(id), m_in(maxLine), m_maxOutput(maxOutput), m_connectedAt(std::chrono::steady_clock::now()),
      m_lastActivity(m_connectedAt)
{
    std::error_code ec;
    const auto ep = m_socket.remote_endpoint(ec);
    m_address = ec ? std::string("?") : ep.address().to_string();
    m_socket.set_option(asio::ip::tcp::no_delay(true), ec);
}

void Connection::start()
{
    if (!m_tlsContext) {
        doRead();
        return;
    }
    m_socket.async_wait(asio::ip::tcp::socket::wait_read, [self = shared_from_this()](const std::error_code &ec) {
        if (self->m_closed)
            return;
        if (ec) {
            self->close(ec.message());
            return;
        }
        self->startTlsOrPlain();
    });
}

void Connection::startTlsOrPlain()
{
    unsigned char first = 0;
    std::error_code ec;
    const std::size_t n = m_socket.receive(asio::buffer(&first, 1), asio::socket_base::message_peek, ec);
    if (ec || n == 0) {
        close(ec ? ec.message() : std::string("closed by client"));
        return;
    }
    if (first != 0x16) {
        doRead();
        return;
    }
    m_tls = std::make_unique<asio::ssl::stream<asio::ip::tcp::socket &>>(m_socket, *m_tlsContext);
    m_tls->async_handshake(asio::ssl::stream_base::server, [self = shared_from_this()](const std::error_code &e) {
        if (self->m_closed)
            return;
        if (e) {
            self->close("TLS handshake failed: " + e.message());
            return;
        }
        self->doRead();
    });
}

void Connection::doRead()
{
    if (m_reading || m_closed || m_closing)
        return;
    m_reading = true;
    auto done = [self = shared_from_this()](const std::error_code &ec, std::size_t n) {
        self->m_reading = false;
        if (self->m_closed)
            return;
        if (ec) {
            const bool ended = ec == asio::error::eof || ec == asio::ssl::error::stream_truncated;
            self->close(ended ? "closed by client" : ec.message());
            return;
        }
        self->m_in.append(std::string_view(self->m_readBuf.data(), n));
        self->processLines();
    };
    if (m_tls)
        m_tls->async_read_some(asio::buffer(m_readBuf), std::move(done));
    else
        m_socket.async_read_some(asio::buffer(m_readBuf), std::move(done));
}

void Connection::setOutputLimit(std::size_t bytes)
{
    m_maxOutput = bytes;
}

bool Connection::outputFull() const
{
    return pendingOutput() > std::min(kWritePiece, m_maxOutput / 2);
}

void Connection::processLines()
{
    std::string line;
    while (!m_busy && !m_closed && !m_closing && !outputFull()) {
        const LineBuffer::Result r = m_in.next(line);
        if (r == LineBuffer::Result::NeedMore)
            break;
        if (r == LineBuffer::Result::TooLong) {
            logWarning("connection " + std::to_string(m_id) + " from " + m_address +
                       ": line longer than the limit, connection closed");
            close("line too long");
            return;
        }
        m_lastActivity = std::chrono::steady_clock::now();
        m_handler.onLine(*this, line);
    }
    // While busy, or while the client does not take its replies, reading
    // waits: the buffered lines are the backlog. The write that drains the
    // output resumes it.
    if (!m_busy && !outputFull())
        doRead();
}

void Connection::setBusy(bool busy)
{
    m_busy = busy;
    if (!busy && !m_closed) {
        // Silence counts from the answer: a slow password check must not
        // leave a fresh session looking silent.
        m_lastActivity = std::chrono::steady_clock::now();
        // Resume on a fresh stack: the caller may be inside onLine.
        asio::post(m_socket.get_executor(), [self = shared_from_this()] { self->processLines(); });
    }
}

void Connection::write(std::string_view bytes)
{
    if (m_closed)
        return;
    m_out.append(bytes);
    if (pendingOutput() > m_maxOutput) {
        logWarning("connection " + std::to_string(m_id) + " from " + m_address +
                   ": client reads no replies, connection closed");
        close("output backlog over the limit");
        return;
    }
    doWrite();
}

void Connection::writeOwned(std::string &&bytes)
{
    if (m_closed || m_out.size() != m_outStart || bytes.size() + m_writing.size() > m_maxOutput) {
        write(std::string_view(bytes));
        return;
    }
    m_out = std::move(bytes);
    m_outStart = 0;
    doWrite();
}

void Connection::doWrite()
{
    if (m_writingActive || m_out.size() == m_outStart || m_closed)
        return;
    // One piece at a time: a large reply goes out in bounded writes, so the
    // loop turns between them and other clients are served meanwhile.
    const std::size_t n = std::min(kWritePiece, m_out.size() - m_outStart);
    m_writing.assign(m_out, m_outStart, n);
    m_outStart += n;
    if (m_outStart == m_out.size() || m_outStart > m_out.size() / 2) {
        m_out.erase(0, m_outStart);
        m_outStart = 0;
    }
    m_writingActive = true;
    auto done = [self = shared_from_this()](const std::error_code &ec, std::size_t) {
        self->m_writingActive = false;
        self->m_writing.clear();
        if (self->m_closed)
            return;
        if (ec) {
            self->close("write failed: " + ec.message());
            return;
        }
        if (self->m_out.size() > self->m_outStart) {
            self->doWrite();
        } else if (self->m_closing) {
            std::error_code ignored;
            self->m_socket.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
            self->close("closed by server");
            return;
        }
        // The client took its replies: lines held back meanwhile go on.
        if (!self->m_busy && !self->m_closing && !self->m_reading && !self->outputFull())
            self->processLines();
    };
    if (m_tls)
        asio::async_write(*m_tls, asio::buffer(m_writing), std::move(done));
    else
        asio::async_write(m_socket, asio::buffer(m_writing), std::move(done));
}

void Connection::closeAfterFlush()
{
    if (m_closed || m_closing)
        return;
    m_closing = true;
    if (!m_writingActive && m_out.size() == m_outStart) {
        close("closed by server");
        return;
    }
    m_graceTimer.expires_after(std::chrono::seconds(2));
    m_graceTimer.async_wait([self = shared_from_this()](const std::error_code &ec) {
        if (!ec && !self->m_closed)
            self->close("client did not take its last output");
    });
}

void Connection::close(const std::string &reason)
{
    if (m_closed)
        return;
    m_closed = true;
    std::error_code ignored;
    m_graceTimer.cancel();
    m_socket.close(ignored);
    m_closeReason = reason;
    asio::post(m_socket.get_executor(), [self = shared_from_this()] { self->m_handler.onClosed(*self); });
}

}  // namespace qserver
