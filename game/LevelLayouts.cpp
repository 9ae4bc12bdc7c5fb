// SPDX-License-Identifier: MIT
// The six levels: each builds the frame, then its layout as read from its file at start-up.
#include "KeyGuide.h"
#include "LevelBuilder.h"
#include "LevelFiles.h"
#include <veltrane/core/ObjectList.h>
#include <veltrane/world/WorldManager.h>

void LevelBuilder::level1() {
    m_level = 0;
    buildLevelFrame();
    LevelFiles::getInstance().getLevel(0).build();
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
    LevelFiles::getInstance().getLevel(1).build();
}

void LevelBuilder::level3() {
    m_level = 2;
    buildLevelFrame();
    LevelFiles::getInstance().getLevel(2).build();
}

void LevelBuilder::level4() {
    m_level = 3;
    buildLevelFrame();
    LevelFiles::getInstance().getLevel(3).build();
}

void LevelBuilder::level5() {
    m_level = 4;
    buildLevelFrame();
    LevelFiles::getInstance().getLevel(4).build();
}

void LevelBuilder::level6() {
    m_level = 5;
    buildLevelFrame();
    LevelFiles::getInstance().getLevel(5).build();
}
