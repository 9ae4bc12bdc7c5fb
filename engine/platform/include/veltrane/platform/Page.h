// SPDX-License-Identifier: MIT
#ifndef VL_PAGE_H
#define VL_PAGE_H

namespace vl {
namespace platform {

/// What the browser build asks of the page it runs in (engine/platform/web); the desktop has no such page.
/// Hands control back to the page until ms milliseconds have passed and an animation frame is due: the
/// browser paces the loop, and draws, handles keys and plays sound meanwhile. Files written under $HOME
/// since the last call are saved to the browser's storage first.
void waitForPage(int ms);

}  // namespace platform
}  // namespace vl

#endif
