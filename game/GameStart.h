// SPDX-License-Identifier: MIT
#ifndef GAME_START_H
#define GAME_START_H

#include <string>

#include <veltrane/effects/ViewObject.h>

class EventEnd;

namespace vl {
class EventKeyboard;
class Music;
}  // namespace vl

/// The title screen and level selector; starts levels and quits the game.
/// Alive for the whole run: active on the title screen, inactive (no events, not drawn) while a
/// level runs. Frame n of the "gamestart" sprite highlights level n + 1.
class GameStart : public vl::ViewObject {
public:
    GameStart();  ///< selects level 1, plays the title music, builds the title borders
    ~GameStart() override;
    /// Keyboard events, and the "end" of the level it started (handed over by its builder): 1. Else 0.
    int eventHandler(const vl::Event* p_e) override;
    int draw() override;  ///< the sprite at the position, as any object

    void selectLevel(int level);  ///< 0 to 5; shows its frame
    int getSelectedLevel() const;
    void startLevel(int level);  ///< logs "Starting level N", leaves the title screen, builds that level
    void buildTitleBorders();    ///< the shadow-look columns at both sides of the title
    void playMusic();            ///< the title music, looped, if it was found
    void setLevelRunning(bool level_running);
    bool isLevelRunning() const;
    void markFinished(int level);  ///< remembered between runs, and marked on the selector
    bool isFinished(int level) const;

private:
    void kbd(const vl::EventKeyboard* p_keyboard);
    void levelEnded(const EventEnd* p_end);  ///< back on the title, the level marked if finished
    void loadFinished();                     ///< a missing or damaged file: nothing finished yet
    void saveFinished() const;

    int m_level_count;       //!< levels to choose from
    int m_selected_level;    //!< highlighted level, 0 to 5
    vl::Music* m_p_music;    //!< the title music; not owned
    bool m_level_running;    //!< a level is being played
    std::string m_finished;  //!< '1' for each finished level, '0' otherwise
};

#endif
