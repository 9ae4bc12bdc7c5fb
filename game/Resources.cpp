// SPDX-License-Identifier: MIT
#include "Resources.h"

#include "ResourceManager.h"

void loadResources() {
    vl::ResourceManager& resource_manager = vl::ResourceManager::getInstance();
    resource_manager.loadSprite("sprites/player-spr.txt", "player");
    resource_manager.loadSprite("sprites/platform-spr.txt", "platform");
    resource_manager.loadSprite("sprites/long-platform-spr.txt", "long-platform");
    resource_manager.loadSprite("sprites/wall-spr.txt", "wall");
    resource_manager.loadSprite("sprites/short-wall-spr.txt", "short-wall");
    resource_manager.loadSprite("sprites/lever-spr.txt", "lever");
    resource_manager.loadSprite("sprites/left-border-spr.txt", "left-border");
    resource_manager.loadSprite("sprites/right-border-spr.txt", "right-border");
    resource_manager.loadSprite("sprites/keyguide-spr.txt", "keyguide");
    resource_manager.loadSprite("sprites/light-spr.txt", "light");
    resource_manager.loadSprite("sprites/door-spr.txt", "door");
    resource_manager.loadSprite("sprites/gamestart-spr.txt", "gamestart");
    resource_manager.loadSprite("sprites/level-selector-spr.txt", "levelselector");
    resource_manager.loadSprite("sprites/player-shadow-spr.txt", "player-shadow");
    resource_manager.loadSprite("sprites/platform-shadow-spr.txt", "platform-shadow");
    resource_manager.loadSprite("sprites/long-platform-shadow-spr.txt", "long-platform-shadow");
    resource_manager.loadSprite("sprites/wall-shadow-spr.txt", "wall-shadow");
    resource_manager.loadSprite("sprites/short-wall-shadow-spr.txt", "short-wall-shadow");
    resource_manager.loadSprite("sprites/lever-shadow-spr.txt", "lever-shadow");
    resource_manager.loadSprite("sprites/left-border-shadow-spr.txt", "left-border-shadow");
    resource_manager.loadSprite("sprites/right-border-shadow-spr.txt", "right-border-shadow");
    resource_manager.loadSprite("sprites/light-shadow-spr.txt", "light-shadow");
    resource_manager.loadSound("sounds/jump.mp3", "jump");
    resource_manager.loadSound("sounds/shadowswitch.mp3", "shadow");
    resource_manager.loadSound("sounds/light.mp3", "light");
    resource_manager.loadSound("sounds/switch.mp3", "switch");
    resource_manager.loadSound("sounds/levelcomplete.mp3", "complete");
    resource_manager.loadMusic("sounds/Ember.mp3", "start music");
    resource_manager.loadMusic("sounds/Ghosts.mp3", "level music");
}
