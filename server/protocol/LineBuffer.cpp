#include "protocol/LineBuffer.h"

namespace qserver {

LineBuffer::Result LineBuffer::next(std::string &line)
{
    const std::size_t from = m_start + m_scan;
    const std::size_t lf = m_data.find('\n', from);
    if (lf == std::string::npos) {
        m_scan = m_data.size() - m_start;
        if (m_scan > m_max + 1)  // +1: room for the CR of CR LF
            return Result::TooLong;
        // Compact once the consumed prefix dominates, so memory follows the
        // unread data rather than the connection's lifetime traffic.
        if (m_start > 0 && m_start >= m_data.size() / 2) {
            m_data.erase(0, m_start);
            m_start = 0;
        }
        return Result::NeedMore;
    }
    std::size_t end = lf;
    if (end > m_start && m_data[end - 1] == '\r')
        --end;
    if (end - m_start > m_max)
        return Result::TooLong;
    line.assign(m_data, m_start, end - m_start);
    m_start = lf + 1;
    m_scan = 0;
    if (m_start == m_data.size()) {
        m_data.clear();
        m_start = 0;
    }
    return Result::Line;
}

}  // namespace qserver
