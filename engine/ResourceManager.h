// SPDX-License-Identifier: MIT
// Owns the game's resources (sprites, sounds and music), found later by label.
#ifndef VL_RESOURCE_MANAGER_H
#define VL_RESOURCE_MANAGER_H

#include <string>

#include "Manager.h"

namespace vl {

class Sprite;

const int MAX_SPRITES = 1000;

class ResourceManager : public Manager {
public:
    static ResourceManager& getInstance();
    ~ResourceManager() override;

    int startUp() override;    // 0, or -1 when already started
    void shutDown() override;  // frees every sprite

    // Reads a sprite file (either format) and keeps it under label. 0, or -1 with log lines and the
    // tables unchanged.
    int loadSprite(std::string filename, std::string label);
    // The first sprite loaded under exactly this label, or null (logged). Owned by the manager.
    Sprite* getSprite(std::string label) const;
    int getSpriteCount() const;

private:
    ResourceManager();
    void logSpriteFrames(const Sprite& sprite) const;

    Sprite* m_p_sprite[MAX_SPRITES];  //!< load order; 0 .. m_sprite_count - 1 in use, owned
    int m_sprite_count;
};

}  // namespace vl

#endif
