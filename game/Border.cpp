// SPDX-License-Identifier: MIT
#include "Border.h"

#include "EngineCalls.h"
#include "GameEvents.h"

Border::Border(std::string side) : m_side(side), m_shadow_shown(false) {
    setType("Border");
    m_shadow_shown = false;
    setSolidness(vl::SPECTRAL);
    setAltitude(0);
    wearSprite(*this, m_side + "-border");
    listenFor(*this, SHADOW_EVENT);
}

Border::~Border() = default;

int Border::eventHandler(const vl::Event* p_e) {
    if (p_e->getType() != SHADOW_EVENT) {
        return 0;
    }
    m_shadow_shown = !m_shadow_shown;
    wearSprite(*this, m_shadow_shown ? m_side + "-border-shadow" : m_side + "-border");
    return 1;
}

bool Border::isShadowShown() const {
    return m_shadow_shown;
}
