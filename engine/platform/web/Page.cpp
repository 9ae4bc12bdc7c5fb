// SPDX-License-Identifier: MIT
#include <veltrane/platform/Page.h>

extern "C" {
void vl_page_wait(int ms);  // page-library.js
}

namespace vl {
namespace platform {

void waitForPage(int ms) {
    vl_page_wait(ms < 0 ? 0 : ms);
}

}  // namespace platform
}  // namespace vl
