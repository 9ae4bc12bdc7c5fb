// SPDX-License-Identifier: MIT
// Gem Chase: a complete small game on the engine, written to be read from top to bottom.
//
// Walk the hero (<@>) with the arrow keys and pick up the gems (*) one after another; each is
// worth 10 points. A chaser (}x{) finds its way to you around the walls; when it touches you
// the game is over. Q quits. Build it against the installed engine (see CMakeLists.txt) and
// run it from its build directory, where the sprites, sounds and font are copied.
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/effects/EventView.h>
#include <veltrane/effects/ViewObject.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/EventCollision.h>
#include <veltrane/world/EventPath.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace {

const char* const SCORE_LABEL = "Score";  // the view object showing the score, and its view events
const int GEM_POINTS = 10;
const int CHASE_INTERVAL = 30;  // steps between two path searches of the chaser

void playSound(const char* label) {
    // Without an audio device the engine keeps going and this plays nothing.
    vl::Sound* p_sound = vl::ResourceManager::getInstance().getSound(label);
    if (p_sound != nullptr) {
        p_sound->play();
    }
}

// The object that is not me in a collision: both objects of a collision receive the event.
vl::Object* otherObject(const vl::Object* p_me, const vl::Event* p_e) {
    const auto* p_collision = static_cast<const vl::EventCollision*>(p_e);
    return p_collision->getObject1() == p_me ? p_collision->getObject2() : p_collision->getObject1();
}

// A coordinate past one edge of a world size cells across comes back in at the other edge.
float wrap(float v, float size) {
    if (v < 0) {
        return size - 1;
    }
    return v >= size ? 0 : v;
}

// The same place seen from the opposite edge of the world (the window's size in cells).
vl::Vector wrapped(vl::Vector p) {
    const vl::Box world = vl::WorldManager::getInstance().getBoundary();
    return vl::Vector(wrap(p.getX(), world.getHorizontal()), wrap(p.getY(), world.getVertical()));
}

// Engine calls answer 0 when they did what was asked; a refusal is logged and the game plays on without it.
void check(int result, const char* p_what) {
    if (result != 0) {
        vl::LogManager::getInstance().writeLog("GemChase: Error! No %s; playing on without it", p_what);
    }
}

// ---- the hero: keyboard control, collisions, leaving the world ----------------------------------

class Hero : public vl::Object {
public:
    Hero() {
        setType("Hero");
        check(setSprite("hero"),
              "sprite 'hero'");           // loaded in main(); the sprite also sets the box (3 x 1 cells)
        setPosition(vl::Vector(10, 12));  // HARD by default: walls stop it
        check(registerInterest(vl::STEP_EVENT), "step events");  // the game manager sends one every iteration
        check(registerInterest(vl::KEYBOARD_EVENT), "keys");     // the input manager sends keys
    }

    int eventHandler(const vl::Event* p_e) override {
        const std::string type = p_e->getType();
        if (type == vl::STEP_EVENT) {
            // Held keys arrive after the step event in every iteration, and set the velocity again.
            setVelocity(vl::Vector(0, 0));
            return 1;
        }
        if (type == vl::KEYBOARD_EVENT) {
            return onKey(static_cast<const vl::EventKeyboard*>(p_e));
        }
        if (type == vl::COLLISION_EVENT) {
            return onCollision(otherObject(this, p_e));
        }
        if (type == vl::OUT_EVENT) {  // walked off one side: come back in at the other (if free)
            vl::WorldManager::getInstance().moveObject(this, wrapped(getPosition()));
            return 1;
        }
        return vl::Object::eventHandler(p_e);
    }

private:
    int onKey(const vl::EventKeyboard* p_key) {
        if (p_key->getKey() == vl::Keyboard::Q && p_key->getKeyboardAction() == vl::KEY_RELEASED) {
            vl::LogManager::getInstance().writeLog("GemChase: quit with score %d", m_score);
            vl::GameManager::getInstance().setGameOver();
            return 1;
        }
        if (p_key->getKeyboardAction() != vl::KEY_DOWN) {
            return 0;
        }
        // Cells are about twice as tall as wide, so half the speed up and down looks the same.
        vl::Vector step;
        switch (p_key->getKey()) {
        case vl::Keyboard::LEFTARROW:
            step = vl::Vector(-0.5f, 0);
            break;
        case vl::Keyboard::RIGHTARROW:
            step = vl::Vector(0.5f, 0);
            break;
        case vl::Keyboard::UPARROW:
            step = vl::Vector(0, -0.25f);
            break;
        case vl::Keyboard::DOWNARROW:
            step = vl::Vector(0, 0.25f);
            break;
        default:
            return 0;
        }
        setVelocity(getVelocity() + step);  // the world manager moves it, with collisions, this step
        return 1;
    }

    int onCollision(vl::Object* p_other) {
        if (p_other->getType() == "Gem") {
            m_score += GEM_POINTS;
            vl::LogManager::getInstance().writeLog("GemChase: gem collected, score %d", m_score);
            // View events go through the world manager to every view object with that label.
            vl::EventView add_points(SCORE_LABEL, GEM_POINTS, true);
            vl::WorldManager::getInstance().onEvent(&add_points);
            return 1;
        }
        if (p_other->getType() == "Chaser" && !vl::GameManager::getInstance().getGameOver()) {
            vl::LogManager::getInstance().writeLog("GemChase: caught by the chaser with score %d", m_score);
            playSound("caught");
            vl::GameManager::getInstance().setGameOver();  // the loop ends after this iteration
            return 1;
        }
        return 0;  // a wall: the world has already stopped us
    }

    int m_score = 0;
};

// ---- a gem: a soft object that is collected, removed and replaced ------------------------------

const vl::Vector GEM_PLACES[] = {vl::Vector(22, 12), vl::Vector(22, 21), vl::Vector(40, 3),
                                 vl::Vector(62, 19), vl::Vector(40, 14), vl::Vector(70, 10)};
const int GEM_PLACE_COUNT = sizeof(GEM_PLACES) / sizeof(GEM_PLACES[0]);

class Gem : public vl::Object {
public:
    explicit Gem(int number) : m_number(number) {
        setType("Gem");
        check(setSprite("gem"), "sprite 'gem'");
        setSolidness(vl::SOFT);  // others may move onto it, and both get a collision event
        setPosition(GEM_PLACES[number % GEM_PLACE_COUNT]);
    }

    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() == vl::COLLISION_EVENT && otherObject(this, p_e)->getType() == "Hero") {
            playSound("gem");
            // Never delete an object: the world deletes it at the end of this update.
            // Only a gem that goes makes way for the next one.
            if (vl::WorldManager::getInstance().markForDelete(this) == 0) {
                new Gem(m_number + 1);  // the world owns every object from its construction
            }
            return 1;
        }
        return vl::Object::eventHandler(p_e);
    }

private:
    int m_number;
};

// ---- the chaser: path finding towards the hero, out of a corridor one row high -----------------

class Chaser : public vl::Object {
public:
    explicit Chaser(vl::Object* p_hero) : mp_hero(p_hero) {
        setType("Chaser");
        check(setSprite("chaser"),
              "sprite 'chaser'");  // 3 x 1 cells; the sprite's box reaches the edges of those cells
        // Boxes that only touch collide: the sprite's box would touch both walls of the corridor and
        // every search from there would fail at its start. A box a hair inside the cells fits.
        setBox(vl::Box(vl::Vector(-1.49f, -0.49f), 2.98f, 0.98f));
        setPosition(vl::Vector(74, 6));  // in the corridor between the walls of rows 5 and 7
        // Soft: it slips past the wall corners a path cuts, and still collides with the hero.
        setSolidness(vl::SOFT);
        setSpeed(0.25f);  // cells per step along the path it follows (velocity = speed x direction)
        check(registerInterest(vl::STEP_EVENT), "step events");
    }

    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() == vl::STEP_EVENT) {
            if (static_cast<const vl::EventStep*>(p_e)->getStepCount() % CHASE_INTERVAL == 0) {
                // Searched a little every loop iteration; a path event brings the outcome.
                check(findPath(mp_hero), "a path search");
            }
            return 1;
        }
        if (p_e->getType() == vl::PATH_EVENT) {
            const auto* p_path = static_cast<const vl::EventPath*>(p_e);
            if (p_path->getStatus() == vl::PATH_FOUND) {
                vl::LogManager::getInstance().writeLog("GemChase: chaser found a path of %d cells",
                                                       p_path->getPath().getCount());
            } else {
                vl::LogManager::getInstance().writeLog("GemChase: chaser found no path");
                stopPath();  // stand still until the next search, keeping the speed for it
            }
            // Fall through: the engine's own handling follows a found path at the chaser's speed.
        }
        return vl::Object::eventHandler(p_e);
    }

private:
    vl::Object* mp_hero;  // not owned: the world owns every object
};

// A straight wall of one-cell blocks from (x, y), length blocks along (dx, dy). Whole positions and
// one-cell sprites keep the window, the terminal and the boxes on the same cells.
void buildWall(int x, int y, int dx, int dy, int length) {
    for (int i = 0; i < length; i++) {
        auto* p_block = new vl::Object;  // a plain object: hard, it blocks the hero and path searches
        p_block->setType("Wall");
        check(p_block->setSprite("wall"), "sprite 'wall'");
        p_block->setPosition(vl::Vector(static_cast<float>(x + i * dx), static_cast<float>(y + i * dy)));
    }
}

}  // namespace

int main() {
    // Starts the log, configuration, display, input, world, resources and paths, in that order.
    vl::GameManager& game = vl::GameManager::getInstance();
    if (game.startUp() != 0) {
        vl::LogManager::getInstance().writeLog("GemChase: the engine could not start");
        game.shutDown();
        return 1;
    }
    vl::LogManager::getInstance().setFlush(true);  // every line reaches the file at once
    // Paths are relative to the working directory: run the game from its build directory.
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    if (resources.loadSprite("sprites/hero-spr.txt", "hero") != 0 ||
        resources.loadSprite("sprites/gem-spr.txt", "gem") != 0 ||
        resources.loadSprite("sprites/chaser-spr.txt", "chaser") != 0 ||
        resources.loadSprite("sprites/wall-spr.txt", "wall") != 0 ||
        resources.loadSound("sounds/gem.wav", "gem") != 0 ||
        resources.loadSound("sounds/caught.wav", "caught") != 0) {
        vl::LogManager::getInstance().writeLog("GemChase: data files missing; run from the build directory");
        game.shutDown();
        return 1;
    }

    buildWall(30, 2, 0, 1, 16);  // column 30, rows 2 to 17
    buildWall(50, 8, 0, 1, 16);  // column 50, rows 8 to 23
    buildWall(56, 5, 1, 0, 24);  // rows 5 and 7 from column 56 to the right edge: the chaser's corridor
    buildWall(56, 7, 1, 0, 24);
    auto* p_hero = new Hero;
    new Chaser(p_hero);
    new Gem(0);
    auto* p_score = new vl::ViewObject;  // head-up display: drawn at a fixed place on the screen
    p_score->setViewString(SCORE_LABEL);
    p_score->setLocation(vl::TOP_RIGHT);
    p_score->setColor(vl::YELLOW);

    game.run();  // until game over: caught, Q, the window closed or a replay's end
    game.shutDown();
    return 0;
}
