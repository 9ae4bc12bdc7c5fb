// SPDX-License-Identifier: MIT
#include <veltrane/core/LogStreamBuffer.h>

#include <utility>

#include <veltrane/core/LogManager.h>

namespace vl {

LogStreamBuffer::LogStreamBuffer(std::string prefix) : m_prefix(std::move(prefix)) {
    m_line.reserve(MAX_LINE);
}

LogStreamBuffer::~LogStreamBuffer() {
    flushLine();
}

void LogStreamBuffer::flushLine() {
    if (m_line.empty()) {
        return;
    }
    LogManager::getInstance().writeLog("%s%s", m_prefix.c_str(), m_line.c_str());
    m_line.clear();
}

LogStreamBuffer::int_type LogStreamBuffer::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof())) {
        return traits_type::not_eof(ch);
    }
    const char c = traits_type::to_char_type(ch);
    if (c == '\n') {
        flushLine();
    } else if (c != '\r') {
        m_line += c;
        if (m_line.size() >= MAX_LINE) {
            flushLine();
        }
    }
    return ch;
}

std::streamsize LogStreamBuffer::xsputn(const char* p_s, std::streamsize count) {
    for (std::streamsize i = 0; i < count; i++) {
        overflow(traits_type::to_int_type(p_s[i]));
    }
    return count;
}

}  // namespace vl
