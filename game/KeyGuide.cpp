// SPDX-License-Identifier: MIT
#include "KeyGuide.h"

#include "Door.h"
#include "EngineCalls.h"
#include "GameEvents.h"
#include "Light.h"
#include "ShowFrame.h"
#include "Switch.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/DisplayManager.h>

namespace {
const int RULE_FRAME = 7;
}

KeyGuide::KeyGuide() : m_frame(0), m_show_rule(false) {
    const int columns = vl::DisplayManager::getInstance().getHorizontalChars();
    setPosition(vl::Vector(static_cast<float>(columns / 2), 20));
    setSolidness(vl::SPECTRAL);
    // Made after the level's pieces, at the top altitude: drawn over all of them.
    setAltitude(vl::MAX_ALTITUDE);
    wearSprite(*this, "keyguide");
    showFrame(this, 0);
    m_frame = 0;
    setType("KeyGuide");
    listenFor(*this, CRUSH_EVENT);
}

KeyGuide::~KeyGuide() = default;

int KeyGuide::eventHandler(const vl::Event* p_e) {
    if (p_e->getType() != CRUSH_EVENT) {
        return 0;
    }
    if (m_frame != CRUSHED) {
        setFrame(CRUSHED);
        vl::LogManager::getInstance().writeLog("Player crushed: R restarts the level");
    }
    return 1;
}

void KeyGuide::setFrame(int frame) {
    if (frame == m_frame || m_frame == CRUSHED) {
        return;
    }
    m_frame = frame;
    showFrame(this, frame == 0 && m_show_rule ? RULE_FRAME : frame);
}

void KeyGuide::showRule() {
    m_show_rule = true;
    if (m_frame == 0) {
        showFrame(this, RULE_FRAME);
    }
}

int KeyGuide::getFrame() const {
    return m_frame;
}

void KeyGuide::showHint(const vl::ObjectList& touching, bool shadow_form, bool has_light) {
    int frame = -1;
    for (vl::ObjectListIterator it(&touching); !it.isDone(); it.next()) {
        vl::Object* p_o = it.currentObject();
        if (!p_o->isSolid()) {
            continue;
        }
        const Switch* p_lever = dynamic_cast<const Switch*>(p_o);
        if (dynamic_cast<const Light*>(p_o) != nullptr && !shadow_form) {
            frame = 4;
        } else if (p_lever != nullptr) {
            if (p_lever->wouldCrush()) {
                frame = CRUSH_WARNING;
                break;  // nothing else said here matters as much
            }
            frame = 1;
        } else if (dynamic_cast<const Door*>(p_o) != nullptr) {
            frame = 5;
        }
    }
    if (frame < 0) {
        frame = has_light ? 3 : 0;
    }
    setFrame(frame);
}
