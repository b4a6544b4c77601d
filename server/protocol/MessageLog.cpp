#include "protocol/MessageLog.h"

#include "protocol/Relay.h"

#include <algorithm>

namespace qserver {

namespace {
constexpr std::size_t kMaxKept = 100;  // role lines kept in a digest; they are rare

std::string firstWord(const std::string &line, std::size_t &end)
{
    end = line.find(' ');
    if (end == std::string::npos)
        end = line.size();
    return line.substr(0, end);
}
}  // namespace

void MessageLog::addClient(ClientId id)
{
    m_clients[id] = Client{};
}

void MessageLog::removeClient(ClientId id)
{
    m_clients.erase(id);
}

bool MessageLog::broadcast(ClientId from, std::string line)
{
    if (endsReply(line))
        return false;
    const Line shared = std::make_shared<const std::string>(std::move(line));
    for (auto &[id, client] : m_clients)
        if (id != from)
            push(client, shared);
    return true;
}

bool MessageLog::send(ClientId to, std::string line)
{
    if (endsReply(line))
        return false;
    const auto it = m_clients.find(to);
    if (it != m_clients.end())
        push(it->second, std::make_shared<const std::string>(std::move(line)));
    return true;
}

void MessageLog::push(Client &c, const Line &line)
{
    c.queue.push_back(line);
    c.bytes += line->size() + 1;
    while (!c.queue.empty() && (c.queue.size() > m_lineLimit || c.bytes > m_byteLimit)) {
        const Line oldest = c.queue.front();
        c.queue.pop_front();
        c.bytes -= oldest->size() + 1;
        fold(c.digest, *oldest);
    }
}

void MessageLog::fold(Digest &d, const std::string &line)
{
    ++d.folded;
    std::size_t end = 0;
    const std::string kind = firstWord(line, end);
    if (kind == "agenda" || kind == "todo" || kind == "klaar") {
        // Relayed lines are exactly "kind verb id" (Relay.h).
        const std::size_t verbEnd = line.find(' ', end + 1);
        if (verbEnd != std::string::npos) {
            const std::string verb = line.substr(end + 1, verbEnd - end - 1);
            const std::string key = kind + " " + line.substr(verbEnd + 1);
            const auto it = d.rows.find(key);
            if (it == d.rows.end()) {
                if (d.rows.size() >= m_lineLimit) {
                    // A digest as long as a queue: the oldest row is forgotten.
                    d.rows.erase(d.rowOrder.front());
                    d.rowOrder.erase(d.rowOrder.begin());
                }
                d.rows.emplace(key, verb);
                d.rowOrder.push_back(key);
            } else {
                // A row created meanwhile stays "new": the client fetches it whole.
                const bool created = it->second == "new" || it->second == "hnew";
                const bool changed = verb == "update" || verb == "hupdate";
                if (!(created && changed))
                    it->second = verb;
            }
            return;
        }
    } else if (kind == "viewchanged") {
        if (std::find(d.views.begin(), d.views.end(), line) == d.views.end() && d.views.size() < kMaxKept)
            d.views.push_back(line);
        return;
    } else if (kind == "users") {
        d.users = line;
        return;
    } else if (kind == "eindredacteur" || kind == "wijgereindredactie" || kind == "down") {
        d.kept.push_back(line);
        if (d.kept.size() > kMaxKept)
            d.kept.pop_front();
        return;
    } else if (kind == "job") {
        ++d.jobLines;
        return;
    }
    ++d.otherLines;
}

std::size_t MessageLog::drain(ClientId id, std::string &out)
{
    const auto it = m_clients.find(id);
    if (it == m_clients.end())
        return 0;
    Client &c = it->second;
    Digest &d = c.digest;
    out.reserve(out.size() + c.bytes);  // one allocation for the queued lines of a busy second
    if (d.folded > 0) {
        for (const std::string &key : d.rowOrder) {
            const std::size_t space = key.find(' ');
            out += key.substr(0, space) + " " + d.rows[key] + key.substr(space) + "\n";
        }
        for (const std::string &v : d.views)
            out += v + "\n";
        if (!d.users.empty())
            out += d.users + "\n";
        for (const std::string &k : d.kept)
            out += k + "\n";
        if (d.jobLines > 0)
            out += "job refresh\njob log " + std::to_string(d.jobLines) + " regels van taken overgeslagen\n";
        if (d.otherLines > 0)
            out += "chat " + std::to_string(d.otherLines) + " berichten gemist: de wachtrij was vol\n";
    }
    for (const Line &line : c.queue) {
        out += *line;
        out += '\n';
    }
    const std::size_t folded = d.folded;
    c.queue.clear();
    c.bytes = 0;
    c.digest = Digest{};
    return folded;
}

}  // namespace qserver
