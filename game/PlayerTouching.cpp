// SPDX-License-Identifier: MIT
#include "PlayerTouching.h"

#include <veltrane/core/ObjectList.h>
#include <veltrane/world/WorldManager.h>

bool isPlayerTouching(vl::Object* p_o) {
    const vl::ObjectList touching = vl::WorldManager::getInstance().getCollisions(p_o, p_o->getPosition());
    for (vl::ObjectListIterator it(&touching); !it.isDone(); it.next()) {
        if (it.currentObject()->getType() == "Player") {
            return true;
        }
    }
    return false;
}
