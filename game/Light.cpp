// SPDX-License-Identifier: MIT
#include "Light.h"

#include "EngineCalls.h"
#include "GameEvents.h"
#include "Obstacle.h"
#include <veltrane/audio/Sound.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/WorldManager.h>

Light::Light(bool is_shadow, int x, int y)
    : Twin(is_shadow), m_home(static_cast<float>(x), static_cast<float>(is_shadow ? y + SHADOW_OFFSET : y)) {
    setPosition(vl::Vector(static_cast<float>(x), static_cast<float>(y)));
    setAltitude(2);
    std::string label;
    if (m_is_shadow) {
        setSolidness(vl::SOFT);
        label = "light-shadow";
    } else {
        linkTwin(new Light(true, x, y - m_shadow_offset));
        setSolidness(vl::SOFT);
        setAltitude(3);
        label = "light";
    }
    wearSprite(*this, label);
    setType("Light");
}

Light::~Light() = default;

int Light::eventHandler(const vl::Event* p_e) {
    if (p_e->getType() == SHADOW_EVENT) {
        return 0;
    }
    return -1;
}

vl::ObjectList Light::illuminate() {
    if (m_is_shadow) {
        const vl::ObjectList touching = vl::WorldManager::getInstance().getCollisions(this, getPosition());
        for (vl::ObjectListIterator it(&touching); !it.isDone(); it.next()) {
            Obstacle* p_obstacle = dynamic_cast<Obstacle*>(it.currentObject());
            if (p_obstacle != nullptr && p_obstacle->isShadow()) {
                m_lit_obstacles.insert(p_obstacle);
                p_obstacle->setSolidness(vl::SPECTRAL);
                p_obstacle->setLit(true);
            }
        }
    }
    return m_lit_obstacles;
}

void Light::pickUp() {
    vl::Sound* p_sound = vl::ResourceManager::getInstance().getSound("light");
    if (p_sound != nullptr) {
        p_sound->play(false);
    }
    // The dissolved obstacles are on the shadow form's list, whichever form was picked up.
    Light* lists[2] = {this, getTwin()};
    for (Light* p_light : lists) {
        if (p_light == nullptr) {
            continue;
        }
        for (vl::ObjectListIterator it(&p_light->m_lit_obstacles); !it.isDone(); it.next()) {
            Obstacle* p_obstacle = static_cast<Obstacle*>(it.currentObject());
            p_obstacle->setVisible(true);
            p_obstacle->setLit(false);
        }
        p_light->m_lit_obstacles.clear();
    }
    if (getTwin() != nullptr) {
        removeFromWorld(getTwin());
    }
    removeFromWorld(this);
}

vl::Vector Light::getHome() const {
    return m_home;
}

void Light::setHome(vl::Vector home) {
    m_home = home;
    if (getTwin() != nullptr) {
        getTwin()->m_home = home;
    }
}
