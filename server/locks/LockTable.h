#pragma once
// Named record locks ("agenda_12", "todo_7", "tijden" ...).
//
// DESIGN: a lock has at most one holder, a connection. Taking a lock the
// connection already holds succeeds again (clients re-lock a record they keep
// open). Every lock of a connection goes when it goes, so a crashed client
// cannot keep records locked; the per-owner index keeps that O(locks held).

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace qserver {

class LockTable {
public:
    using Owner = std::uint64_t;

    // Grants `name` to `owner` when it is free or already `owner`'s;
    // otherwise returns the holder and changes nothing.
    std::optional<Owner> acquire(const std::string &name, Owner owner);

    // Frees `name` when `owner` holds it; false (and no change) otherwise.
    bool release(const std::string &name, Owner owner);

    // Frees every lock of `owner`; returns how many there were.
    std::size_t releaseAll(Owner owner);

    std::optional<Owner> holder(const std::string &name) const;
    // How many locks `owner` holds.
    std::size_t heldBy(Owner owner) const;
    std::size_t size() const { return m_locks.size(); }

private:
    std::unordered_map<std::string, Owner> m_locks;  // lock name -> holder
    std::unordered_map<Owner, std::unordered_set<std::string>> m_held;  // holder -> its lock names
};

}  // namespace qserver
