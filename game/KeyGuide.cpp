// SPDX-License-Identifier: MIT
#include "KeyGuide.h"

#include "ShowFrame.h"
#include <veltrane/graphics/DisplayManager.h>

KeyGuide::KeyGuide() : m_frame(0) {
    const int columns = vl::DisplayManager::getInstance().getHorizontalChars();
    setPosition(vl::Vector(static_cast<float>(columns / 2), 20));
    setSolidness(vl::SPECTRAL);
    setSprite("keyguide");
    showFrame(this, 0);
    m_frame = 0;
    setType("KeyGuide");
}

KeyGuide::~KeyGuide() = default;

void KeyGuide::setFrame(int frame) {
    if (frame == m_frame) {
        return;
    }
    m_frame = frame;
    showFrame(this, frame);
}

int KeyGuide::getFrame() const {
    return m_frame;
}
