// SPDX-License-Identifier: MIT
// The six level layouts. Every entry is built as its light form; the constructors add the shadow
// forms 7 rows above. Light forms below row 23 or right of column 79 are reached through their
// shadows only.
#include <cstddef>
#include <vector>

#include "Door.h"
#include "KeyGuide.h"
#include "LevelBuilder.h"
#include "Light.h"
#include "Obstacle.h"
#include "Player.h"
#include "Switch.h"
#include <veltrane/core/ObjectList.h>
#include <veltrane/world/WorldManager.h>

namespace {
enum class Kind {
    OBSTACLES,
    LIGHT,
    LEVER,
    PLAYER,
    DOOR
};

// One entry of a layout, built in table order: object ids and replays depend on that order.
struct Row {
    Kind kind;
    int x, y;
    const char* label = nullptr;  // obstacle sprite
    int count = 1;                // obstacles in the run
    int spacing = 0;              // columns from one obstacle of the run to the next
    int target = -1;              // lever: index of the row whose obstacle it moves
    int off_x = 0, off_y = 0, on_x = 0, on_y = 0;
};

Row obstacles(const char* label, int count, int x, int y, int spacing) {
    return {Kind::OBSTACLES, x, y, label, count, spacing};
}

Row obstacle(const char* label, int x, int y) {
    return obstacles(label, 1, x, y, 0);
}

Row lever(int x, int y, int target, int off_x, int off_y, int on_x, int on_y) {
    return {Kind::LEVER, x, y, nullptr, 0, 0, target, off_x, off_y, on_x, on_y};
}

Row light(int x, int y) {
    return {Kind::LIGHT, x, y};
}

Row player(int x, int y) {
    return {Kind::PLAYER, x, y};
}

Row door(int x, int y) {
    return {Kind::DOOR, x, y};
}

vl::Vector cell(int x, int y) {
    return vl::Vector(static_cast<float>(x), static_cast<float>(y));
}

// Builds one row; returns the last obstacle it built, so levers can find their targets.
Obstacle* buildRow(const Row& row, const std::vector<Obstacle*>& built) {
    switch (row.kind) {
    case Kind::OBSTACLES: {
        Obstacle* p_last = nullptr;
        for (int i = 0; i < row.count; i++) {
            p_last = new Obstacle(row.label, false, row.x + row.spacing * i, row.y);
        }
        return p_last;
    }
    case Kind::LIGHT:
        new Light(false, row.x, row.y);
        break;
    case Kind::LEVER:
        new Switch("lever", false, row.x, row.y, cell(row.off_x, row.off_y), cell(row.on_x, row.on_y),
                   built[static_cast<std::size_t>(row.target)]);
        break;
    case Kind::PLAYER:
        new Player(false, cell(row.x, row.y));
        break;
    case Kind::DOOR:
        new Door(cell(row.x, row.y));
        break;
    }
    return nullptr;
}

template <std::size_t N>
void buildRows(const Row (&rows)[N]) {
    std::vector<Obstacle*> built;
    for (const Row& row : rows) {
        built.push_back(buildRow(row, built));
    }
}

const Row LEVEL1[] = {
    obstacles("platform", 50, 0, 15, 2),
    obstacle("wall", 35, 12),
    obstacle("wall", 35, 8),
    obstacle("platform", 40, 12),
    obstacle("long-platform", 22, 15),
    light(12, 12),
    lever(50, 12, 4, 22, 15, 22, 12),
    player(7, 10),
    door(70, 13),
};

const Row LEVEL2[] = {
    obstacles("platform", 50, 0, 26, 2),
    obstacles("platform", 50, 0, 12, 2),
    light(40, 11),
    player(14, 5),
    door(72, 16),
};

const Row LEVEL3[] = {
    obstacles("platform", 50, 0, 26, 2),
    obstacles("platform", 50, 0, 12, 2),
    light(40, 11),
    obstacle("wall", 60, 22),
    obstacle("wall", 60, 19),
    player(14, 5),
    lever(4, 24, 3, 60, 22, 25, 22),
    lever(4, 24, 4, 60, 19, 25, 19),
    door(72, 16),
};

const Row LEVEL4[] = {
    obstacles("platform", 50, 0, 18, 2),
    obstacles("platform", 12, 0, 12, 2),
    obstacles("long-platform", 3, 24, 10, 6),
    obstacles("platform", 12, 58, 13, 2),
    obstacle("short-wall", 22, 11),
    obstacle("wall", 38, 12),
    obstacle("wall", 38, 16),
    obstacle("wall", 58, 16),
    light(12, 8),
    lever(3, 16, 7, 58, 16, 38, 16),
    player(7, 5),
    door(70, 16),
};

// The gate starts at (20, 12), neither off nor on: the first pull sends it to (18, 12).
const Row LEVEL5[] = {
    obstacles("platform", 50, 0, 19, 2),
    obstacles("platform", 11, 0, 14, 2),
    obstacles("long-platform", 3, 23, 9, 6),
    obstacles("platform", 8, 58, 7, 2),
    obstacle("long-platform", 76, 7),
    obstacle("wall", 20, 12),
    obstacle("wall", 38, 12),
    obstacle("wall", 38, 16),
    obstacle("wall", 58, 16),
    obstacle("wall", 58, 12),
    obstacle("wall", 58, 8),
    light(65, 3),
    lever(3, 17, 5, 22, 12, 18, 12),
    lever(3, 17, 4, 76, 7, 82, 7),
    player(7, 5),
    door(70, 17),
};

const Row LEVEL6[] = {
    obstacles("platform", 50, 0, 19, 2),
    obstacles("platform", 11, 0, 14, 2),
    obstacles("long-platform", 3, 23, 9, 6),
    obstacles("platform", 8, 58, 7, 2),
    obstacle("long-platform", 60, 7),
    obstacle("long-platform", 66, 7),
    lever(65, 5, 4, 60, 7, 60, 6),
    lever(65, 5, 5, 66, 7, 66, 6),
    obstacle("long-platform", 76, 7),
    obstacle("wall", 20, 12),
    obstacle("wall", 38, 12),
    obstacle("wall", 38, 16),
    obstacle("wall", 58, 16),
    obstacle("wall", 58, 12),
    obstacle("wall", 58, 8),
    light(65, 2),
    obstacle("long-platform", 42, 14),
    obstacle("long-platform", 48, 14),
    obstacle("long-platform", 54, 14),
    lever(3, 17, 16, 42, 14, 42, 19),
    lever(3, 17, 17, 48, 14, 48, 19),
    lever(3, 17, 18, 54, 14, 54, 19),
    lever(55, 17, 8, 76, 7, 82, 7),
    player(7, 5),
    door(70, 17),
};
}  // namespace

void LevelBuilder::level1() {
    m_level = 0;
    buildLevelFrame();
    buildRows(LEVEL1);
    // New players learn the two-worlds rule here.
    const vl::ObjectList all = vl::WorldManager::getInstance().getAllObjects(true);
    for (vl::ObjectListIterator it(&all); !it.isDone(); it.next()) {
        if (it.currentObject()->getType() == "KeyGuide") {
            static_cast<KeyGuide*>(it.currentObject())->showRule();
        }
    }
}

void LevelBuilder::level2() {
    m_level = 1;
    buildLevelFrame();
    buildRows(LEVEL2);
}

void LevelBuilder::level3() {
    m_level = 2;
    buildLevelFrame();
    buildRows(LEVEL3);
}

void LevelBuilder::level4() {
    m_level = 3;
    buildLevelFrame();
    buildRows(LEVEL4);
}

void LevelBuilder::level5() {
    m_level = 4;
    buildLevelFrame();
    buildRows(LEVEL5);
}

void LevelBuilder::level6() {
    m_level = 5;
    buildLevelFrame();
    buildRows(LEVEL6);
}
