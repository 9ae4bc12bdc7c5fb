// SPDX-License-Identifier: MIT
#include <veltrane/core/LogStreamBuffer.h>

#include <utility>

#include <SFML/System/Err.hpp>

#include <veltrane/core/LogManager.h>

namespace vl {

namespace {

// Holds the library's own buffer while its stream writes into the log.
struct SfmlRoute {
    SfmlRoute() : buffer("SFML: "), p_saved(nullptr), routed(false) {}
    ~SfmlRoute() { restore(); }  // at exit: the library may still complain while it is torn down

    void restore() {
        if (!routed) {
            return;
        }
        buffer.flushLine();
        sf::err().rdbuf(p_saved);
        routed = false;
    }

    LogStreamBuffer buffer;
    std::streambuf* p_saved;
    bool routed;
};

SfmlRoute& sfmlRoute() {
    // Building the library's stream and the log first makes them outlive the route, so the route can
    // always hand the stream back before either goes away.
    sf::err();
    LogManager::getInstance();
    static SfmlRoute route;
    return route;
}

}  // namespace

void LogStreamBuffer::routeSfmlErrors() {
    SfmlRoute& route = sfmlRoute();
    if (route.routed) {
        return;
    }
    route.p_saved = sf::err().rdbuf(&route.buffer);
    route.routed = true;
}

void LogStreamBuffer::restoreSfmlErrors() {
    sfmlRoute().restore();
}

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
