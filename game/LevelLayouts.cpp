// SPDX-License-Identifier: MIT
// The six level layouts. Every entry is built as its light form; the constructors add the shadow
// forms 7 rows above. Light forms below row 23 or right of column 79 are reached through their
// shadows only.
#include "Door.h"
#include "LevelBuilder.h"
#include "Light.h"
#include "Obstacle.h"
#include "Player.h"
#include "Switch.h"

namespace {
vl::Vector cell(int x, int y) {
    return vl::Vector(static_cast<float>(x), static_cast<float>(y));
}

void lever(int x, int y, Obstacle* p_target, int off_x, int off_y, int on_x, int on_y) {
    new Switch("lever", false, x, y, cell(off_x, off_y), cell(on_x, on_y), p_target);
}
}  // namespace

void LevelBuilder::level1() {
    m_level = 0;
    buildLevelFrame();
    for (int i = 0; i < 50; i++) {
        new Obstacle("platform", false, 2 * i, 15);
    }
    new Obstacle("wall", false, 35, 12);
    new Obstacle("wall", false, 35, 8);
    new Obstacle("platform", false, 40, 12);
    Obstacle* p_step = new Obstacle("long-platform", false, 22, 15);
    new Light(false, 12, 12);
    lever(50, 12, p_step, 22, 15, 22, 12);
    new Player(false, cell(7, 10));
    new Door(cell(70, 13));
}

void LevelBuilder::level2() {
    m_level = 1;
    buildLevelFrame();
    for (int i = 0; i < 50; i++) {
        new Obstacle("platform", false, 2 * i, 26);
    }
    for (int i = 0; i < 50; i++) {
        new Obstacle("platform", false, 2 * i, 12);
    }
    new Light(false, 40, 11);
    new Player(false, cell(14, 5));
    new Door(cell(72, 16));
}

void LevelBuilder::level3() {
    m_level = 2;
    buildLevelFrame();
    for (int i = 0; i < 50; i++) {
        new Obstacle("platform", false, 2 * i, 26);
    }
    for (int i = 0; i < 50; i++) {
        new Obstacle("platform", false, 2 * i, 12);
    }
    new Light(false, 40, 11);
    Obstacle* p_low_wall = new Obstacle("wall", false, 60, 22);
    Obstacle* p_high_wall = new Obstacle("wall", false, 60, 19);
    new Player(false, cell(14, 5));
    lever(4, 24, p_low_wall, 60, 22, 25, 22);
    lever(4, 24, p_high_wall, 60, 19, 25, 19);
    new Door(cell(72, 16));
}

void LevelBuilder::level4() {
    m_level = 3;
    buildLevelFrame();
    for (int i = 0; i < 50; i++) {
        new Obstacle("platform", false, 2 * i, 18);
    }
    for (int i = 0; i < 12; i++) {
        new Obstacle("platform", false, 2 * i, 12);
    }
    for (int i = 0; i < 3; i++) {
        new Obstacle("long-platform", false, 6 * i + 24, 10);
    }
    for (int i = 0; i < 12; i++) {
        new Obstacle("platform", false, 2 * i + 58, 13);
    }
    new Obstacle("short-wall", false, 22, 11);
    new Obstacle("wall", false, 38, 12);
    new Obstacle("wall", false, 38, 16);
    Obstacle* p_gate = new Obstacle("wall", false, 58, 16);
    new Light(false, 12, 8);
    lever(3, 16, p_gate, 58, 16, 38, 16);
    new Player(false, cell(7, 5));
    new Door(cell(70, 16));
}

void LevelBuilder::level5() {
    m_level = 4;
    buildLevelFrame();
    for (int i = 0; i < 50; i++) {
        new Obstacle("platform", false, 2 * i, 19);
    }
    for (int i = 0; i < 11; i++) {
        new Obstacle("platform", false, 2 * i, 14);
    }
    for (int i = 0; i < 3; i++) {
        new Obstacle("long-platform", false, 6 * i + 23, 9);
    }
    for (int i = 0; i < 8; i++) {
        new Obstacle("platform", false, 2 * i + 58, 7);
    }
    Obstacle* p_lid = new Obstacle("long-platform", false, 76, 7);
    Obstacle* p_gate = new Obstacle("wall", false, 20, 12);
    new Obstacle("wall", false, 38, 12);
    new Obstacle("wall", false, 38, 16);
    new Obstacle("wall", false, 58, 16);
    new Obstacle("wall", false, 58, 12);
    new Obstacle("wall", false, 58, 8);
    new Light(false, 65, 3);
    lever(3, 17, p_gate, 22, 12, 18, 12);
    lever(3, 17, p_lid, 76, 7, 82, 7);
    new Player(false, cell(7, 5));
    new Door(cell(70, 17));
}

void LevelBuilder::level6() {
    m_level = 5;
    buildLevelFrame();
    for (int i = 0; i < 50; i++) {
        new Obstacle("platform", false, 2 * i, 19);
    }
    for (int i = 0; i < 11; i++) {
        new Obstacle("platform", false, 2 * i, 14);
    }
    for (int i = 0; i < 3; i++) {
        new Obstacle("long-platform", false, 6 * i + 23, 9);
    }
    for (int i = 0; i < 8; i++) {
        new Obstacle("platform", false, 2 * i + 58, 7);
    }
    Obstacle* p_left_step = new Obstacle("long-platform", false, 60, 7);
    Obstacle* p_right_step = new Obstacle("long-platform", false, 66, 7);
    lever(65, 5, p_left_step, 60, 7, 60, 6);
    lever(65, 5, p_right_step, 66, 7, 66, 6);
    Obstacle* p_lid = new Obstacle("long-platform", false, 76, 7);
    new Obstacle("wall", false, 20, 12);
    new Obstacle("wall", false, 38, 12);
    new Obstacle("wall", false, 38, 16);
    new Obstacle("wall", false, 58, 16);
    new Obstacle("wall", false, 58, 12);
    new Obstacle("wall", false, 58, 8);
    new Light(false, 65, 2);
    Obstacle* p_bridge_left = new Obstacle("long-platform", false, 42, 14);
    Obstacle* p_bridge_middle = new Obstacle("long-platform", false, 48, 14);
    Obstacle* p_bridge_right = new Obstacle("long-platform", false, 54, 14);
    lever(3, 17, p_bridge_left, 42, 14, 42, 19);
    lever(3, 17, p_bridge_middle, 48, 14, 48, 19);
    lever(3, 17, p_bridge_right, 54, 14, 54, 19);
    lever(55, 17, p_lid, 76, 7, 82, 7);
    new Player(false, cell(7, 5));
    new Door(cell(70, 17));
}
