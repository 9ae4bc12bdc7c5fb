// SPDX-License-Identifier: MIT
#ifndef VL_PAGE_KEYS_H
#define VL_PAGE_KEYS_H

#include "../KeySource.h"

namespace vl {

/// The page's keys and mouse (keys-library.js): presses and releases exactly as the browser reports them,
/// with held keys and buttons known, as at a window. Losing the focus lets go of everything held.
class PageKeys : public KeySource {
public:
    PageKeys();  ///< starts listening to the page

    void stop() override;
    const char* getName() const override;
    std::vector<KeyInput> read(int64_t now_ms) override;
    bool isHeld(Keyboard::Key key) const override;
    bool reportsReleases() const override;
    void deliver(int signal_number) override;
    bool isButtonHeld(Mouse::Button button) const override;
    Vector getMousePosition() const override;

private:
    unsigned char m_held[Keyboard::KEY_VALUES];  //!< as of the last read
    int m_buttons;                               //!< bit per button, as of the last read
    Vector m_mouse;                              //!< cells
};

}  // namespace vl

#endif
