#include "protocol/MessageLog.h"

namespace qserver {

void MessageLog::addClient(ClientId id)
{
    Client &c = m_clients[id];
    c.nextIndex = m_nextIndex;
    c.own.clear();
    c.dropped = 0;
}

void MessageLog::removeClient(ClientId id)
{
    m_clients.erase(id);
}

void MessageLog::broadcast(ClientId from, std::string line)
{
    m_shared.push_back({m_nextSeq++, m_nextIndex++, from, std::move(line)});
    if (m_shared.size() > m_limit)
        m_shared.pop_front();
}

void MessageLog::send(ClientId to, std::string line)
{
    const auto it = m_clients.find(to);
    if (it == m_clients.end())
        return;
    Client &c = it->second;
    c.own.emplace_back(m_nextSeq++, std::move(line));
    if (c.own.size() > m_limit) {
        c.own.pop_front();
        ++c.dropped;
    }
}

std::size_t MessageLog::drain(ClientId id, std::string &out)
{
    const auto it = m_clients.find(id);
    if (it == m_clients.end())
        return 0;
    Client &c = it->second;

    // Shared lines the log no longer holds were dropped for this client.
    const std::uint64_t firstKept = m_shared.empty() ? m_nextIndex : m_shared.front().index;
    if (c.nextIndex < firstKept) {
        c.dropped += firstKept - c.nextIndex;
        c.nextIndex = firstKept;
    }
    std::size_t s = std::size_t(c.nextIndex - firstKept);  // first shared line to deliver
    std::size_t o = 0;                                     // first own line to deliver
    const std::size_t sharedWaiting = m_shared.size() - s;
    const std::size_t total = sharedWaiting + c.own.size();

    // Over the limit: skip the oldest lines in merged order.
    std::size_t skip = total > m_limit ? total - m_limit : 0;
    c.dropped += skip;
    while (skip > 0) {
        if (o < c.own.size() && (s >= m_shared.size() || c.own[o].first < m_shared[s].seq))
            ++o;
        else
            ++s;
        --skip;
    }
    while (s < m_shared.size() || o < c.own.size()) {
        if (o < c.own.size() && (s >= m_shared.size() || c.own[o].first < m_shared[s].seq)) {
            out += c.own[o].second;
            ++o;
        } else {
            if (m_shared[s].from == id) {
                ++s;
                continue;
            }
            out += m_shared[s].line;
            ++s;
        }
        out += '\n';
    }
    c.own.clear();
    c.nextIndex = m_nextIndex;
    const std::size_t dropped = c.dropped;
    c.dropped = 0;
    return dropped;
}

}  // namespace qserver
