#include "locks/LockTable.h"

namespace qserver {

std::optional<LockTable::Owner> LockTable::acquire(const std::string &name, Owner owner)
{
    const auto [it, inserted] = m_locks.try_emplace(name, owner);
    if (!inserted && it->second != owner)
        return it->second;
    m_held[owner].insert(name);
    return std::nullopt;
}

bool LockTable::release(const std::string &name, Owner owner)
{
    const auto it = m_locks.find(name);
    if (it == m_locks.end() || it->second != owner)
        return false;
    m_locks.erase(it);
    const auto held = m_held.find(owner);
    if (held != m_held.end()) {
        held->second.erase(name);
        if (held->second.empty())
            m_held.erase(held);
    }
    return true;
}

std::size_t LockTable::releaseAll(Owner owner)
{
    const auto held = m_held.find(owner);
    if (held == m_held.end())
        return 0;
    const std::size_t n = held->second.size();
    for (const std::string &name : held->second)
        m_locks.erase(name);
    m_held.erase(held);
    return n;
}

std::optional<LockTable::Owner> LockTable::holder(const std::string &name) const
{
    const auto it = m_locks.find(name);
    if (it == m_locks.end())
        return std::nullopt;
    return it->second;
}

std::size_t LockTable::heldBy(Owner owner) const
{
    const auto held = m_held.find(owner);
    return held == m_held.end() ? 0 : held->second.size();
}

}  // namespace qserver
