#pragma once
// The message lines waiting for each client until its next command reply.
//
// DESIGN: a broadcast goes to every other logged-in client, so copying it
// into each client's queue would make one broadcast cost O(clients). Instead
// broadcasts are appended once to a shared log and every client keeps a
// cursor into it; lines for one client alone (direct messages, role
// hand-over) go to that client's private queue. Both carry numbers from one
// counter, and a drain merges them, so a client sees lines in the order the
// server produced them. Each client may have at most `limit` lines waiting:
// beyond that the oldest are dropped and counted, and the shared log never
// keeps more than `limit` broadcasts, which bounds memory whatever the
// clients do.

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>

namespace qserver {

class MessageLog {
public:
    using ClientId = std::uint64_t;  // 0 is "the server itself"

    explicit MessageLog(std::size_t limit) : m_limit(limit) {}

    // Starts queueing for `id`; it receives only lines produced from now on.
    void addClient(ClientId id);
    void removeClient(ClientId id);
    bool hasClient(ClientId id) const { return m_clients.count(id) != 0; }

    // Queues `line` for every client except `from`.
    void broadcast(ClientId from, std::string line);

    // Queues `line` for `to` alone (ignored when `to` is not a client).
    void send(ClientId to, std::string line);

    // Appends every line waiting for `id` to `out`, each followed by LF, and
    // empties its queue. Returns the number of lines dropped for `id` since
    // the previous drain because its queue was over the limit.
    std::size_t drain(ClientId id, std::string &out);

    std::size_t limit() const { return m_limit; }

private:
    struct Shared {
        std::uint64_t seq;     // position among all lines produced
        std::uint64_t index;   // position among shared lines (contiguous)
        ClientId from;
        std::string line;
    };
    struct Client {
        std::uint64_t nextIndex = 0;                             // first shared line not yet drained
        std::deque<std::pair<std::uint64_t, std::string>> own;   // (seq, line) for this client only
        std::size_t dropped = 0;                                 // lines lost since the last drain
    };

    std::size_t m_limit;
    std::uint64_t m_nextSeq = 1;
    std::uint64_t m_nextIndex = 0;  // index the next shared line gets
    std::deque<Shared> m_shared;
    std::unordered_map<ClientId, Client> m_clients;
};

}  // namespace qserver
