// SPDX-License-Identifier: MIT
#include "Resources.h"

#include <cstdio>

#include <veltrane/core/LogManager.h>
#include <veltrane/resources/ResourceManager.h>

namespace {

enum class Kind {
    SPRITE,
    SOUND,
    MUSIC
};

struct Resource {
    Kind kind;
    const char* label;
    const char* file;
};

const Resource RESOURCES[] = {
    {Kind::SPRITE, "player", "sprites/player-spr.txt"},
    {Kind::SPRITE, "platform", "sprites/platform-spr.txt"},
    {Kind::SPRITE, "long-platform", "sprites/long-platform-spr.txt"},
    {Kind::SPRITE, "wall", "sprites/wall-spr.txt"},
    {Kind::SPRITE, "short-wall", "sprites/short-wall-spr.txt"},
    {Kind::SPRITE, "lever", "sprites/lever-spr.txt"},
    {Kind::SPRITE, "left-border", "sprites/left-border-spr.txt"},
    {Kind::SPRITE, "right-border", "sprites/right-border-spr.txt"},
    {Kind::SPRITE, "keyguide", "sprites/keyguide-spr.txt"},
    {Kind::SPRITE, "light", "sprites/light-spr.txt"},
    {Kind::SPRITE, "door", "sprites/door-spr.txt"},
    {Kind::SPRITE, "gamestart", "sprites/gamestart-spr.txt"},
    {Kind::SPRITE, "levelselector", "sprites/level-selector-spr.txt"},
    {Kind::SPRITE, "player-shadow", "sprites/player-shadow-spr.txt"},
    {Kind::SPRITE, "platform-shadow", "sprites/platform-shadow-spr.txt"},
    {Kind::SPRITE, "long-platform-shadow", "sprites/long-platform-shadow-spr.txt"},
    {Kind::SPRITE, "wall-shadow", "sprites/wall-shadow-spr.txt"},
    {Kind::SPRITE, "short-wall-shadow", "sprites/short-wall-shadow-spr.txt"},
    {Kind::SPRITE, "lever-shadow", "sprites/lever-shadow-spr.txt"},
    {Kind::SPRITE, "left-border-shadow", "sprites/left-border-shadow-spr.txt"},
    {Kind::SPRITE, "right-border-shadow", "sprites/right-border-shadow-spr.txt"},
    {Kind::SPRITE, "light-shadow", "sprites/light-shadow-spr.txt"},
    {Kind::SOUND, "jump", "sounds/jump.mp3"},
    {Kind::SOUND, "shadow", "sounds/shadowswitch.mp3"},
    {Kind::SOUND, "light", "sounds/light.mp3"},
    {Kind::SOUND, "switch", "sounds/switch.mp3"},
    {Kind::SOUND, "complete", "sounds/levelcomplete.mp3"},
    {Kind::MUSIC, "start music", "sounds/Ember.mp3"},
    {Kind::MUSIC, "level music", "sounds/Ghosts.mp3"},
};

int load(const Resource& resource, const std::string& directory) {
    vl::ResourceManager& resource_manager = vl::ResourceManager::getInstance();
    const std::string file = directory + resource.file;
    switch (resource.kind) {
    case Kind::SPRITE:
        return resource_manager.loadSprite(file, resource.label);
    case Kind::SOUND:
        return resource_manager.loadSound(file, resource.label);
    case Kind::MUSIC:
        return resource_manager.loadMusic(file, resource.label);
    }
    return -1;
}

}  // namespace

int loadResources(const std::string& directory) {
    const vl::LogManager& log = vl::LogManager::getInstance();
    int missing = 0;
    for (const Resource& resource : RESOURCES) {
        if (load(resource, directory) == 0) {
            continue;
        }
        const bool is_sprite = resource.kind == Kind::SPRITE;
        missing++;
        const char* consequence = is_sprite ? "what uses it is not drawn" : "playing without it";
        log.writeLog("loadResources(): Error! Game file '%s' did not load; %s.", resource.file, consequence);
        std::fprintf(stderr, "Veltrane: game file '%s' did not load; %s.\n", resource.file, consequence);
    }
    if (missing > 0) {
        const std::string place = directory.empty() ? "the current directory" : directory;
        std::fprintf(stderr,
                     "Veltrane: the game reads sprites/ and sounds/ from %s; see the log for details.\n",
                     place.c_str());
    }
    return missing;
}
