// SPDX-License-Identifier: MIT
#include "SfmlErrors.h"

#include <SFML/System/Err.hpp>

#include <veltrane/core/LogManager.h>
#include <veltrane/core/LogStreamBuffer.h>

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

void routeSfmlErrors() {
    SfmlRoute& route = sfmlRoute();
    if (route.routed) {
        return;
    }
    route.p_saved = sf::err().rdbuf(&route.buffer);
    route.routed = true;
}

void restoreSfmlErrors() {
    sfmlRoute().restore();
}

}  // namespace vl
