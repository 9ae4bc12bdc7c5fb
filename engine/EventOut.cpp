// SPDX-License-Identifier: MIT
#include "EventOut.h"

namespace vl {

EventOut::EventOut() {
    setType(OUT_EVENT);
}

}  // namespace vl
