// SPDX-License-Identifier: MIT
#include <veltrane/world/EventOut.h>

namespace vl {

EventOut::EventOut() {
    setType(OUT_EVENT);
}

}  // namespace vl
