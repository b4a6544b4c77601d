#pragma once
// Cutting tokens off the front of server lines and list-item texts. List items
// throughout the client carry the row id first ("12 Brand in de haven"), and
// server lines start with their kind ("agenda update 7"); TakeWhile and
// TakeUntil with the sets below take those apart.
//
// The sets hold single-byte characters only: a character above 255 is never a
// member, so a name of Letters stops at "é" just as it always did.

#include <QChar>
#include <QString>

#include <array>
#include <cstdint>
#include <initializer_list>

namespace core {

class CharSet {
public:
    constexpr CharSet() = default;
    constexpr CharSet(std::initializer_list<char16_t> members)
    {
        for (char16_t c : members)
            add(c);
    }
    // Every character from `from` to `to`, both included.
    static constexpr CharSet range(char16_t from, char16_t to)
    {
        CharSet s;
        for (char16_t c = from; c <= to; ++c)
            s.add(c);
        return s;
    }
    constexpr CharSet operator|(const CharSet &other) const
    {
        CharSet s;
        for (std::size_t i = 0; i < m_bits.size(); ++i)
            s.m_bits[i] = m_bits[i] | other.m_bits[i];
        return s;
    }
    constexpr bool contains(char16_t c) const { return c < 256 && (m_bits[c / 64] >> (c % 64)) & 1u; }
    bool contains(QChar c) const { return contains(c.unicode()); }

private:
    constexpr void add(char16_t c)
    {
        if (c < 256)
            m_bits[c / 64] |= std::uint64_t(1) << (c % 64);
    }
    std::array<std::uint64_t, 4> m_bits{};
};

inline constexpr CharSet Letters = CharSet::range(u'A', u'Z') | CharSet::range(u'a', u'z');  // kinds, user names
inline constexpr CharSet Digits = CharSet::range(u'0', u'9') | CharSet{u'-'};  // ids, which may be negative
inline constexpr CharSet Blanks = CharSet{u'\n', u'\r', u' '};  // separators

// Removes from the front of text the longest run of characters in set and
// returns it (possibly empty).
QString TakeWhile(QString &text, const CharSet &set);

// Removes from the front of text the longest run of characters not in set and
// returns it; the stopping character stays in text.
QString TakeUntil(QString &text, const CharSet &set);

}  // namespace core
