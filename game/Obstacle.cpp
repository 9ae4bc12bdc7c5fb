// SPDX-License-Identifier: MIT
#include "Obstacle.h"

#include "EngineCalls.h"
#include "GameEvents.h"

#include <algorithm>

#include <veltrane/core/ObjectList.h>
#include <veltrane/graphics/Frame.h>
#include <veltrane/graphics/Sprite.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/WorldManager.h>

namespace {
const float LEVER_MOVE_SPEED = 0.5f;  // cells per step

// More than touching: boxes that only share an edge do not overlap.
bool overlaps(const vl::Box& a, const vl::Box& b) {
    const float left = std::max(a.getCorner().getX(), b.getCorner().getX());
    const float right =
        std::min(a.getCorner().getX() + a.getHorizontal(), b.getCorner().getX() + b.getHorizontal());
    const float top = std::max(a.getCorner().getY(), b.getCorner().getY());
    const float bottom =
        std::min(a.getCorner().getY() + a.getVertical(), b.getCorner().getY() + b.getVertical());
    return left < right && top < bottom;
}
}  // namespace

Obstacle::Obstacle(std::string label, bool is_shadow, int x, int y)
    : Twin(is_shadow), m_target(static_cast<float>(x), static_cast<float>(y)), m_is_solid(!is_shadow),
      m_is_moving(false), m_crush_pending(false), m_is_lit(false) {
    setPosition(vl::Vector(static_cast<float>(x), static_cast<float>(y)));
    if (m_is_shadow) {
        label += "-shadow";
        setSolidness(vl::SPECTRAL);
        setAltitude(1);
    } else {
        linkTwin(new Obstacle(label, true, x, y - m_shadow_offset));
        setSolidness(vl::HARD);
        setAltitude(4);
    }
    wearSprite(*this, label);
    setType("Obstacle");
    m_target = vl::Vector(static_cast<float>(x), static_cast<float>(y));
    listenFor(*this, SHADOW_EVENT);
    m_crush_pending = false;
    m_is_lit = false;
}

Obstacle::~Obstacle() = default;

int Obstacle::eventHandler(const vl::Event* p_e) {
    if (p_e->getType() == vl::STEP_EVENT) {
        return step();
    }
    if (p_e->getType() == SHADOW_EVENT) {
        m_is_solid = !m_is_solid;
        // A dissolved form turns hard as before: the glow dissolves it again when met.
        setSolidness(m_is_solid && m_is_lit ? vl::HARD : vl::SPECTRAL);
        // A sliding piece stays passable until it stops; a player a lever moved it onto walks out first.
        if (m_is_solid && !m_is_moving) {
            harden();
        }
        return 0;
    }
    return 0;
}

int Obstacle::step() {
    const vl::Vector position = getPosition();
    if (m_is_moving && !(position == m_target)) {
        setDirectionTo(m_target);
        // The last stretch of a move that is not a whole number of half cells is shortened, so
        // every target is reached exactly.
        const float remaining = (m_target - position).getMagnitude();
        setSpeed(remaining < LEVER_MOVE_SPEED ? remaining : LEVER_MOVE_SPEED);
        setSolidness(vl::SPECTRAL);
        return 1;
    }
    m_is_moving = false;
    setVelocity(vl::Vector(0, 0));
    if (m_is_shadow && m_is_solid && !m_is_lit) {
        harden();
    }
    if (m_is_shadow) {
        return 1;
    }
    if (m_is_solid) {
        harden();
    }
    if (!m_crush_pending) {
        return 1;
    }
    vl::WorldManager& world_manager = vl::WorldManager::getInstance();
    const vl::ObjectList below = world_manager.objectsAtPosition(position);
    for (vl::ObjectListIterator it(&below); !it.isDone(); it.next()) {
        if (it.currentObject()->getType() == "Player") {
            crush(it.currentObject());
        }
    }
    m_crush_pending = false;
    return 1;
}

// A player caught inside keeps the obstacle passable until it has walked out, rather than being
// shut in.
void Obstacle::harden() {
    if (getSolidness() == vl::HARD) {
        return;
    }
    const vl::Box box = vl::getWorldBox(this);
    // All objects, not only solid ones: while worlds switch the form about to take control is spectral still.
    const vl::ObjectList all = vl::WorldManager::getInstance().getAllObjects();
    for (vl::ObjectListIterator it(&all); !it.isDone(); it.next()) {
        // Only the form of this obstacle's world can be shut in by it.
        const TwinForm* p_form = dynamic_cast<const TwinForm*>(it.currentObject());
        if (it.currentObject()->getType() == "Player" && p_form != nullptr &&
            p_form->isShadow() == m_is_shadow && overlaps(box, vl::getWorldBox(it.currentObject()))) {
            return;
        }
    }
    setSolidness(vl::HARD);
}

// Without a player the level waits for R or Q: the key guide says so rather than seem frozen.
void Obstacle::crush(vl::Object* p_player) {
    EventCrush crushed;
    vl::WorldManager& world_manager = vl::WorldManager::getInstance();
    world_manager.onEvent(&crushed);
    removeFromWorld(p_player);
}

int Obstacle::draw() {
    const vl::Sprite* p_sprite = getAnimation().getSprite();
    if (!looksPassable() || p_sprite == nullptr) {
        return vl::Object::draw();
    }
    return p_sprite->getFrame(getAnimation().getIndex())
        .draw(getPosition(), vl::MAGENTA, p_sprite->getTransparency());
}

// A piece of the world shown that can be walked through now (dissolved, sliding) has the glow's colour;
// a dissolved piece shown anew is hard only until the glow meets the player again, so it counts too.
bool Obstacle::looksPassable() const {
    return m_is_solid && (getSolidness() != vl::HARD || m_is_lit);
}

void Obstacle::moveTo(vl::Vector target) {
    m_target = target;
    m_is_moving = true;
    m_crush_pending = true;
}

void Obstacle::setLit(bool is_lit) {
    m_is_lit = is_lit;
}

bool Obstacle::isLit() const {
    return m_is_lit;
}

bool Obstacle::isMoving() const {
    return m_is_moving;
}
