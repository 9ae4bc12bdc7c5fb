// SPDX-License-Identifier: MIT
#include "Player.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "EngineCalls.h"
#include "GameEvents.h"
#include "KeyBindings.h"
#include "KeyGuide.h"
#include "Light.h"
#include "Obstacle.h"
#include <veltrane/audio/Sound.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/core/ObjectList.h>
#include <veltrane/effects/Particle.h>
#include <veltrane/graphics/Animation.h>
#include <veltrane/graphics/CellGrid.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/graphics/Frame.h>
#include <veltrane/graphics/Sprite.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/EventCollision.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/WorldManager.h>

const float Player::WALK_SPEED = 1.0f;
const float Player::JUMP_VELOCITY = -1.0f;
const float Player::GRAVITY = 0.1f;

namespace {
const float SUPPORT_PROBE = 0.1f;  // rows below the next position where support is looked for
const int WALK_SLOWDOWN_COUNT = 7;
const int SHADOW_ALTITUDE = 3;  // the shadow form out of control, under the light world's pieces
const int NO_FOOTING = 2;       // more than any shift: nothing found under the feet yet

// The first and last column an object's picture is drawn in, by the display's rounding.
std::pair<int, int> drawnColumns(const vl::Object* p_o) {
    const int width = static_cast<int>(p_o->getBox().getHorizontal());
    const int first = vl::toCell(p_o->getPosition().getX() - static_cast<float>(width / 2));
    return {first, first + width - 1};
}

// 0 when the form's drawn feet meet the support's picture, else the one column toward it: a box resting
// on a support's edge (or half a cell into an even-width one) is drawn a column beside it otherwise.
int footingShift(const vl::Object* p_form, const vl::Object* p_support) {
    const std::pair<int, int> feet = drawnColumns(p_form);
    const std::pair<int, int> under = drawnColumns(p_support);
    if (under.second < feet.first) {
        return -1;
    }
    return under.first > feet.second ? 1 : 0;
}

// Of two supports' shifts, the one that moves the picture least.
int nearerFooting(int footing, int shift) {
    return std::abs(shift) < std::abs(footing) ? shift : footing;
}
}  // namespace

Player::Player(bool is_shadow, vl::Vector position)
    : Twin(is_shadow), m_in_air(true), m_walk_direction(0), m_in_control(!is_shadow), m_rest_position(0, 0),
      m_landed(false), m_twin_offset(0, 0), m_has_light(false), m_p_key_guide(nullptr), m_level_over(false),
      m_steps_registered(false), m_light_home(0, 0), m_footing_shift(0) {
    setPosition(position);
    std::string label;
    if (m_is_shadow) {
        label = "player-shadow";
        setSolidness(vl::SPECTRAL);
        m_twin_offset = vl::Vector(0, -static_cast<float>(m_shadow_offset));
        setAltitude(SHADOW_ALTITUDE);
    } else {
        listenFor(*this, vl::KEYBOARD_EVENT);
        registerSteps();
        listenFor(*this, LEVER_EVENT);
        setSolidness(vl::HARD);
        m_twin_offset = vl::Vector(0, static_cast<float>(m_shadow_offset));
        setAltitude(vl::MAX_ALTITUDE);
        setDrawnOutOfView();  // its marker shows while it is out of sight
        linkTwin(new Player(true, position - m_twin_offset));
        m_p_key_guide = new KeyGuide();
        m_p_key_guide->setFrame(0);
        getTwin()->m_p_key_guide = m_p_key_guide;
        label = "player";
    }
    wearSprite(*this, label);
    setType("Player");
    m_walk_direction = 0;
    m_in_air = true;
    m_landed = false;
    listenFor(*this, SHADOW_EVENT);
    listenFor(*this, END_EVENT);
    freezeAnimation();
}

Player::~Player() {
    if (!m_level_over) {
        vl::addParticles(vl::BURST, getPosition(), 2.0f, m_is_shadow ? vl::BLACK : vl::BLUE);
    }
    Player* p_twin = getTwin();
    unlinkTwin();
    if (p_twin != nullptr) {
        removeFromWorld(p_twin);
    }
}

int Player::eventHandler(const vl::Event* p_e) {
    const std::string type = p_e->getType();
    if (type == vl::KEYBOARD_EVENT) {
        // Keys later in the iteration that ended the level must not touch the removed player.
        if (!m_level_over) {
            kbd(static_cast<const vl::EventKeyboard*>(p_e));
        }
        return 1;
    }
    if (type == vl::COLLISION_EVENT) {
        hit(static_cast<const vl::EventCollision*>(p_e));
        return 1;
    }
    if (type != vl::STEP_EVENT) {
        if (type == SHADOW_EVENT) {
            switchWorld();
        }
        if (type == LEVER_EVENT && !m_in_control) {
            // A lever may have moved the floor away: look again for one.
            m_in_air = true;
            m_landed = false;
        }
        if (type == END_EVENT) {
            m_level_over = true;
        }
        return 0;
    }
    step();
    return 1;
}

int Player::draw() {
    vl::Vector where;
    const char marker = edgeMarker(&where);
    const vl::Sprite* p_sprite = getAnimation().getSprite();
    const vl::DisplayManager& display = vl::DisplayManager::getInstance();
    if (marker != 0) {
        // Out of sight the marker stands in for the whole form.
        return p_sprite == nullptr ? 0 : display.drawCharacter(where, marker, p_sprite->getColor());
    }
    const vl::Vector picture = getPosition() + vl::Vector(static_cast<float>(m_footing_shift), 0);
    if (m_in_control) {
        coverGaps(picture);  // before drawAt, which may move the animation on to its next frame
    }
    const int result = drawAt(picture);
    if (showsLight()) {
        display.drawCharacter(picture + vl::Vector(0, -2), '*', vl::MAGENTA);
    }
    return result;
}

// Nothing of the level shows through the form in control: a row's blanks between its outermost
// characters (between the legs) are drawn as blank cells.
void Player::coverGaps(vl::Vector picture) const {
    const vl::Animation animation = getAnimation();
    const vl::Sprite* p_sprite = animation.getSprite();
    if (p_sprite == nullptr || p_sprite->getTransparency() == 0) {
        return;
    }
    const vl::Frame frame = p_sprite->getFrame(animation.getIndex());
    const std::string characters = frame.getString();
    const char clear = p_sprite->getTransparency();
    const int width = frame.getWidth();
    const int height = frame.getHeight();
    for (int row = 0; row < height && static_cast<size_t>((row + 1) * width) <= characters.size(); row++) {
        const std::string line =
            characters.substr(static_cast<size_t>(row * width), static_cast<size_t>(width));
        const size_t first = line.find_first_not_of(clear);
        const size_t last = line.find_last_not_of(clear);
        for (size_t x = first + 1; first != std::string::npos && x < last; x++) {
            if (line[x] == clear) {
                const vl::Vector cell(static_cast<float>(static_cast<int>(x) - width / 2),
                                      static_cast<float>(row - height / 2));
                vl::DisplayManager::getInstance().drawCharacter(picture + cell, ' ', p_sprite->getColor());
            }
        }
    }
}

// A carried light is in neither world: both forms show it over their heads.
bool Player::showsLight() const {
    return m_has_light || (getTwin() != nullptr && getTwin()->m_has_light);
}

char Player::edgeMarker(vl::Vector* p_where) const {
    const vl::Box view = vl::WorldManager::getInstance().getView();
    if (!m_in_control || vl::boxIntersectsBox(vl::getWorldBox(this), view)) {
        return 0;
    }
    const float left = view.getCorner().getX();
    const float top = view.getCorner().getY();
    const float right = left + view.getHorizontal() - 1;
    const float bottom = top + view.getVertical() - 1;
    const vl::Vector position = getPosition();
    *p_where = vl::Vector(std::clamp(position.getX(), left, right), std::clamp(position.getY(), top, bottom));
    if (position.getY() < top) {
        return '^';
    }
    if (position.getY() > bottom) {
        return 'v';
    }
    return position.getX() < left ? '<' : '>';
}

void Player::switchWorld() {
    playSound("shadow");
    if (!m_in_control) {
        setSolidness(vl::HARD);
        listenFor(*this, vl::KEYBOARD_EVENT);
        registerSteps();
        // Over everything of the level, its marker too, and after it in the top altitude's order.
        setAltitude(vl::MAX_ALTITUDE);
    } else {
        setSolidness(vl::SPECTRAL);
        setVelocity(vl::Vector(0, 0));
        unregisterInterest(vl::KEYBOARD_EVENT);
        if (m_is_shadow) {
            vl::addParticles(vl::BURST, getPosition(), 1.0f, vl::BLACK);
            if (getTwin() != nullptr) {
                setPosition(getTwin()->getPosition() + m_twin_offset);
            }
            vl::addParticles(vl::BURST, getPosition(), 1.0f, vl::BLACK);
            setAltitude(SHADOW_ALTITUDE);
            m_footing_shift = 0;  // it no longer stands where it stood
        }
    }
    m_in_control = !m_in_control;
    setDrawnOutOfView(m_in_control);
}

// A form keeps its step events once it has them (the light form needs them out of control too);
// registering again on every switch would only fill the object's list of event names.
void Player::registerSteps() {
    if (!m_steps_registered && registerInterest(vl::STEP_EVENT) == 0) {
        m_steps_registered = true;
    }
}

void Player::kbd(const vl::EventKeyboard* p_keyboard) {
    switch (keyCommand(Screen::LEVEL, p_keyboard).command) {
    case Command::LIGHT:
        if (!m_has_light) {
            takeLight();
        } else {
            putLightDown();
        }
        break;
    case Command::WALK_LEFT:
        walk(-1);
        break;
    case Command::WALK_RIGHT:
        walk(1);
        break;
    case Command::JUMP:
        jump();
        break;
    case Command::STOP_WALKING:
        setVelocity(vl::Vector(0, getVelocity().getY()));
        m_walk_direction = 0;
        forBothForms(&Player::freezeAnimation);
        break;
    default:
        break;
    }
}

// The velocity is set only when the direction changes: a side hit that stops the walk holds until
// the key is let go and held again.
void Player::walk(int direction) {
    if (m_walk_direction == direction) {
        return;
    }
    setVelocity(vl::Vector(WALK_SPEED * static_cast<float>(direction), getVelocity().getY()));
    m_walk_direction = direction;
    vl::LogManager::getInstance().writeLog(direction < 0 ? "left" : "right");
    if (!m_in_air) {
        forBothForms(&Player::startWalkAnimation);
    }
}

void Player::jump() {
    if (m_in_air) {
        return;
    }
    m_in_air = true;
    m_landed = false;
    setVelocity(vl::Vector(getVelocity().getX(), JUMP_VELOCITY));
    playSound("jump");
    forBothForms(&Player::freezeAnimation);
}

// Only the light form takes a light, and one at a time.
void Player::takeLight() {
    if (m_is_shadow || m_has_light) {
        return;
    }
    const vl::ObjectList touching = vl::WorldManager::getInstance().getCollisions(this, getPosition());
    for (vl::ObjectListIterator it(&touching); !it.isDone(); it.next()) {
        Light* p_light = dynamic_cast<Light*>(it.currentObject());
        if (p_light == nullptr) {
            continue;
        }
        const Light* p_light_form = p_light->isShadow() ? p_light->getTwin() : p_light;
        const vl::Vector home = p_light->getHome();
        const vl::Box home_box = vl::getWorldBox(p_light_form != nullptr ? p_light_form : p_light, home);
        p_light->pickUp();
        setHasLight(true);
        m_light_home = home;
        m_light_home_box = home_box;
        return;
    }
}

// Put back where it was found, the light lies there again, its glow reaching what it reached before;
// anywhere else it is put down at the player's truncated position.
void Player::putLightDown() {
    const bool at_home = vl::boxIntersectsBox(vl::getWorldBox(this), m_light_home_box);
    const vl::Vector spot = at_home ? m_light_home : getPosition();
    Light* p_light = new Light(false, static_cast<int>(spot.getX()), static_cast<int>(spot.getY()));
    p_light->setHome(m_light_home);
    setHasLight(false);
    p_light->setAltitude(2);
    playSound("light");
}

void Player::hit(const vl::EventCollision* p_collision) {
    vl::Object* p_o1 = p_collision->getObject1();
    vl::Object* p_o2 = p_collision->getObject2();
    vl::Object* p_obstacle = nullptr;
    for (vl::Object* p_o : {p_o1, p_o2}) {
        if (dynamic_cast<Obstacle*>(p_o) != nullptr) {
            p_obstacle = p_o;  // object 2 wins when both are obstacles
        }
        if (Light* p_light = dynamic_cast<Light*>(p_o)) {
            p_light->illuminate();
        }
    }
    if (p_obstacle == nullptr) {
        return;
    }
    // A glow met in the same move may dissolve this obstacle: then it does not stop the walk.
    illuminateAt(p_collision->getPosition());
    if (p_obstacle->getSolidness() != vl::HARD) {
        return;
    }
    const vl::Box obstacle_box = vl::getWorldBox(p_obstacle);
    const vl::Box player_box = vl::getWorldBox(this);
    const float obstacle_top = obstacle_box.getCorner().getY();
    const float player_top = player_box.getCorner().getY();
    const float player_bottom = player_top + player_box.getVertical();
    const vl::Vector velocity = getVelocity();
    if (obstacle_top > player_bottom) {
        setVelocity(vl::Vector(velocity.getX(), 0));
        m_in_air = false;
        return;
    }
    if (m_in_air) {
        const float obstacle_bottom = obstacle_top + obstacle_box.getVertical();
        if (obstacle_bottom >= player_top + velocity.getY()) {
            // Head bump: drop straight down.
            setVelocity(vl::Vector(0, GRAVITY));
            return;
        }
    }
    setVelocity(vl::Vector(0, velocity.getY()));
}

void Player::illuminateAt(vl::Vector where) {
    const vl::ObjectList touching = vl::WorldManager::getInstance().getCollisions(this, where);
    for (vl::ObjectListIterator it(&touching); !it.isDone(); it.next()) {
        if (Light* p_light = dynamic_cast<Light*>(it.currentObject())) {
            p_light->illuminate();
        }
    }
}

void Player::step() {
    if (m_in_control) {
        stepInControl();
    } else {
        stepOutOfControl();
    }
}

void Player::stepInControl() {
    vl::WorldManager& world_manager = vl::WorldManager::getInstance();
    const vl::Vector position = getPosition();
    const vl::Vector velocity = getVelocity();
    const vl::Vector probe = position + vl::Vector(0, velocity.getY() + SUPPORT_PROBE);
    const vl::ObjectList below = world_manager.getCollisions(this, probe);
    const vl::Box player_box = vl::getWorldBox(this);
    const float player_bottom = player_box.getCorner().getY() + player_box.getVertical();

    bool supported = false;
    int footing = NO_FOOTING;
    for (vl::ObjectListIterator it(&below); !it.isDone(); it.next()) {
        vl::Object* p_o = it.currentObject();
        // Only something under the feet holds the player up: a ceiling met on the way up is
        // left to the head bump, or the player would cling to it.
        if (p_o->getSolidness() == vl::HARD && p_o->getType() != "Player" &&
            vl::getWorldBox(p_o).getCorner().getY() >= player_bottom) {
            supported = true;
            footing = nearerFooting(footing, footingShift(this, p_o));
        }
    }
    m_footing_shift = supported ? footing : 0;

    if (m_p_key_guide != nullptr) {
        m_p_key_guide->showHint(below, m_is_shadow, m_has_light);
    }

    if (supported) {
        m_in_air = false;
        if (m_walk_direction != 0 && !m_landed) {
            forBothForms(&Player::startWalkAnimation);
        }
        m_landed = true;
    } else {
        setVelocity(velocity + vl::Vector(0, GRAVITY));
    }

    if (!m_is_shadow && getTwin() != nullptr) {
        getTwin()->setPosition(getPosition() - m_twin_offset);
    }
}

void Player::stepOutOfControl() {
    if (m_is_shadow) {
        return;
    }
    if (!m_in_air) {
        if (!m_landed) {
            setPosition(m_rest_position);
            m_landed = true;
        }
        return;
    }
    // Out of control the light form is a ghost that falls until it finds a light-world floor at rest.
    m_landed = false;
    m_footing_shift = 0;
    int footing = NO_FOOTING;
    const vl::Vector position = getPosition();
    const vl::Vector velocity = getVelocity();
    const float half_height = halfHeight();
    const vl::Box box = vl::getWorldBox(this);
    const float probe_y = position.getY() + velocity.getY() + SUPPORT_PROBE + half_height;
    bool found = false;
    float floor_top = 0;
    // Every column under the feet, not only the centre's: a wall under an edge column holds it too.
    for (float x = box.getCorner().getX() + 0.5f; x < box.getCorner().getX() + box.getHorizontal(); x += 1) {
        const vl::ObjectList under =
            vl::WorldManager::getInstance().objectsAtPosition(vl::Vector(x, probe_y));
        for (vl::ObjectListIterator it(&under); !it.isDone(); it.next()) {
            vl::Object* p_o = it.currentObject();
            const Obstacle* p_floor = dynamic_cast<const Obstacle*>(p_o);
            if (p_floor == nullptr || p_floor->isShadow() || !p_o->getVelocity().isZero()) {
                continue;
            }
            const float top = vl::getWorldBox(p_o).getCorner().getY();
            floor_top = found ? std::min(floor_top, top) : top;
            found = true;
            footing = nearerFooting(footing, footingShift(this, p_o));
        }
    }
    if (found) {
        m_rest_position = vl::Vector(position.getX(), floor_top - SUPPORT_PROBE - half_height);
        m_footing_shift = footing;
        m_in_air = false;
        if (m_walk_direction != 0) {
            forBothForms(&Player::startWalkAnimation);
        }
        setVelocity(vl::Vector(0, 0));
    } else {
        setVelocity(velocity + vl::Vector(0, GRAVITY));
    }
}

void Player::forBothForms(void (Player::*p_action)()) {
    (this->*p_action)();
    if (getTwin() != nullptr) {
        (getTwin()->*p_action)();
    }
}

float Player::halfHeight() const {
    return getBox().getVertical() / 2;
}

void Player::playSound(const char* label) const {
    vl::Sound* p_sound = vl::ResourceManager::getInstance().getSound(label);
    if (p_sound != nullptr) {
        p_sound->play(false);
    }
}

void Player::freezeAnimation() {
    vl::Animation animation = getAnimation();
    if (animation.getSprite() != nullptr) {
        animation.setIndex(0);
    }
    animation.setSlowdownCount(-1);
    setAnimation(animation, true);
}

void Player::startWalkAnimation() {
    if (!((m_in_control && !m_in_air) || (!m_in_control && m_is_shadow))) {
        return;
    }
    vl::Animation animation = getAnimation();
    if (animation.getSprite() != nullptr) {
        animation.setIndex(0);
    }
    animation.setSlowdownCount(WALK_SLOWDOWN_COUNT);
    setAnimation(animation, true);
}

void Player::setHasLight(bool has_light) {
    m_has_light = has_light;
}

bool Player::hasLight() const {
    return m_has_light;
}

bool Player::isInControl() const {
    return m_in_control;
}

bool Player::isInAir() const {
    return m_in_air;
}

KeyGuide* Player::getKeyGuide() const {
    return m_p_key_guide;
}
