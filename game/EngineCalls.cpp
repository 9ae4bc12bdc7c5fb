// SPDX-License-Identifier: MIT
#include "EngineCalls.h"

#include <veltrane/core/LogManager.h>
#include <veltrane/world/WorldManager.h>

void listenFor(vl::Object& object, const std::string& event_type) {
    if (object.registerInterest(event_type) != 0) {
        vl::LogManager::getInstance().writeLog("Game: Error! %s %d cannot listen for '%s'; it ignores them.",
                                               object.getType().c_str(), object.getId(), event_type.c_str());
    }
}

void wearSprite(vl::Object& object, const std::string& label) {
    if (object.setSprite(label) != 0) {
        vl::LogManager::getInstance().writeLog("Game: Error! %s %d has no sprite '%s'; it is not drawn.",
                                               object.getType().c_str(), object.getId(), label.c_str());
    }
}

bool removeFromWorld(vl::Object* p_object) {
    if (vl::WorldManager::getInstance().markForDelete(p_object) != 0) {
        vl::LogManager::getInstance().writeLog("Game: Error! Object %d was not in the world to remove.",
                                               p_object != nullptr ? p_object->getId() : -1);
        return false;
    }
    return true;
}
