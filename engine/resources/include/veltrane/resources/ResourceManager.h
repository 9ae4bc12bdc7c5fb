// SPDX-License-Identifier: MIT
#ifndef VL_RESOURCE_MANAGER_H
#define VL_RESOURCE_MANAGER_H

#include <string>

#include <veltrane/audio/Music.h>
#include <veltrane/audio/Sound.h>
#include <veltrane/core/Manager.h>

namespace vl {

class Sprite;

const int MAX_SPRITES = 1000;
const int MAX_SOUNDS = 100;
const int MAX_MUSICS = 50;

/// Owns the game's resources (sprites, sounds and music), found later by label.
class ResourceManager : public Manager {
public:
    /// The one resource manager of the program.
    static ResourceManager& getInstance();
    ~ResourceManager() override;

    [[nodiscard]] int startUp() override;  ///< 0, or -1 when already started
    void shutDown() override;              ///< frees every sprite

    /// Reads a sprite file (either format) and keeps it under label. 0, or -1 with log lines and the
    /// tables unchanged.
    [[nodiscard]] int loadSprite(std::string filename, std::string label);
    /// The first sprite loaded under exactly this label, or null (logged). Owned by the manager.
    [[nodiscard]] Sprite* getSprite(std::string label) const;
    /// The number of sprites loaded.
    int getSpriteCount() const;

    /// Decodes a sound file into the next free slot under label (empty allowed). 0, or -1 logged.
    [[nodiscard]] int loadSound(std::string filename, std::string label);
    /// The first sound loaded under exactly this label, or null (logged). Owned by the manager.
    [[nodiscard]] Sound* getSound(std::string label);
    /// Opens a music file for streaming into the next free slot under label (not empty). 0, or -1 logged.
    [[nodiscard]] int loadMusic(std::string filename, std::string label);
    /// The first music loaded under exactly this label, or null (logged). Owned by the manager.
    [[nodiscard]] Music* getMusic(std::string label);
    ///@{
    /// The number of sounds and musics loaded.
    int getSoundCount() const;
    int getMusicCount() const;
    ///@}

private:
    ResourceManager();
    void logSpriteFrames(const Sprite& sprite) const;
    void startAudio();  ///< empties the sound and music tables; finds out whether there is a device
    void stopAudio();   ///< stops every loaded sound and music; they stay loaded until exit

    Sprite* m_p_sprite[MAX_SPRITES];  //!< load order; 0 .. m_sprite_count - 1 in use, owned
    int m_sprite_count;
    Sound m_sound[MAX_SOUNDS];  //!< load order; 0 .. m_sound_count - 1 in use
    int m_sound_count;
    Music m_music[MAX_MUSICS];  //!< load order; 0 .. m_music_count - 1 in use
    int m_music_count;
};

}  // namespace vl

#endif
