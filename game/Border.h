// SPDX-License-Identifier: MIT
#ifndef BORDER_H
#define BORDER_H

#include <string>

#include <veltrane/world/Object.h>

/// A decorative column at a side of the screen that shows which world is shown.
class Border : public vl::Object {
public:
    /// side: "left" or "right"; shows side + "-border". Built at the default position; the creator
    /// moves it.
    explicit Border(std::string side);
    ~Border() override;
    /// "shadow": swaps between side + "-border" and side + "-border-shadow"; 1. Anything else: 0.
    int eventHandler(const vl::Event* p_e) override;
    bool isShadowShown() const;

private:
    std::string m_side;   //!< "left" or "right"
    bool m_shadow_shown;  //!< shows the shadow look
};

#endif
