// SPDX-License-Identifier: MIT
#include <veltrane/core/EventRoutes.h>

#include <vector>

namespace vl {

namespace {

struct Route {
    EventRoutes::Claims claims;
    EventRoutes::ManagerAccess access;
};

// Built on first use: routes are added while sources are still being initialised.
std::vector<Route>& routes() {
    static std::vector<Route> s_routes;
    return s_routes;
}

}  // namespace

int EventRoutes::add(Claims claims, ManagerAccess access) {
    routes().push_back(Route{claims, access});
    return 0;
}

Manager* EventRoutes::find(const std::string& event_type) {
    for (const Route& route : routes()) {
        if (route.claims(event_type)) {
            return &route.access();
        }
    }
    return nullptr;
}

}  // namespace vl
