#pragma once
// The message lines waiting for each client until its next command reply.
//
// DESIGN: every client has one queue, so it sees lines in the order the
// server produced them. A broadcast line is stored once and shared by the
// queues (a pointer per client), which keeps a broadcast cheap for the few
// hundred clients a newsroom has. A queue is bounded in lines and in bytes.
// What no longer fits is not cut away silently: the oldest lines are folded
// into a digest of lines the client already acts on, delivered first at the
// next drain, so a client that fell behind reloads instead of missing
// changes:
//   agenda|todo|klaar <verb> <id>   one line per row with the net verb ("new"
//                                   then "update" stays "new")
//   viewchanged <view>, users ...   once each (the roster: the newest)
//   eindredacteur, wijgereindredactie, down   kept as they are (few)
//   job lines                       "job refresh" and a "job log" count
//   anything else (chat, direct)    one "chat" line with the number missed
// Lines a client would read as the end of a reply are refused (Relay.h).

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace qserver {

class MessageLog {
public:
    using ClientId = std::uint64_t;  // 0 is "the server itself"

    explicit MessageLog(std::size_t lineLimit, std::size_t byteLimit = 1024 * 1024)
        : m_lineLimit(lineLimit), m_byteLimit(byteLimit)
    {}

    // Starts queueing for `id`; it receives only lines produced from now on.
    void addClient(ClientId id);
    void removeClient(ClientId id);
    bool hasClient(ClientId id) const { return m_clients.count(id) != 0; }

    // Queues `line` for every client except `from`. False (nothing queued)
    // for a line that would end a reply.
    bool broadcast(ClientId from, std::string line);

    // Queues `line` for `to` alone (ignored when `to` is not a client).
    // False for a line that would end a reply.
    bool send(ClientId to, std::string line);

    // Appends the digest and then every line waiting for `id` to `out`, each
    // followed by LF, and empties both. Returns how many lines were folded
    // into the digest since the previous drain.
    std::size_t drain(ClientId id, std::string &out);

    std::size_t lineLimit() const { return m_lineLimit; }
    std::size_t byteLimit() const { return m_byteLimit; }

private:
    using Line = std::shared_ptr<const std::string>;
    struct Digest {
        std::vector<std::string> rowOrder;  // "kind id", first fold first
        std::unordered_map<std::string, std::string> rows;  // "kind id" -> net verb
        std::vector<std::string> views;  // distinct viewchanged lines
        std::deque<std::string> kept;  // role and "down" lines
        std::string users;  // newest roster line
        std::size_t jobLines = 0;
        std::size_t otherLines = 0;
        std::size_t folded = 0;
    };
    struct Client {
        std::deque<Line> queue;
        std::size_t bytes = 0;
        Digest digest;
    };

    void push(Client &c, const Line &line);
    void fold(Digest &d, const std::string &line);

    std::size_t m_lineLimit;
    std::size_t m_byteLimit;
    std::unordered_map<ClientId, Client> m_clients;
};

}  // namespace qserver
