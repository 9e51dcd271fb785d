#pragma once

#include <cstddef>
#include <string_view>

namespace mopira {

// Splits file content into lines the way the program's files are read: a line ends at LF,
// a CR right before that LF is not part of the line, and the last line needs no line end.
// Every other byte, NUL included, belongs to the line.
class CLineReader {
public:
    explicit CLineReader(std::string_view bytes) : m_bytes(bytes) {}

    // Stores the next line and returns true; returns false at the end of the content and
    // then leaves `line` empty.
    bool Next(std::string_view& line) {
        if (m_pos >= m_bytes.size()) {
            line = {};
            return false;
        }
        const std::size_t end = m_bytes.find('\n', m_pos);
        if (end == std::string_view::npos) {
            line = m_bytes.substr(m_pos);
            m_pos = m_bytes.size();
            return true;
        }
        std::size_t length = end - m_pos;
        if (length > 0 && m_bytes[end - 1] == '\r') {
            --length;
        }
        line = m_bytes.substr(m_pos, length);
        m_pos = end + 1;
        return true;
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

}  // namespace mopira
