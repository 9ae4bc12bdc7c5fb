// SPDX-License-Identifier: MIT
#ifndef LEVEL_BUILDER_H
#define LEVEL_BUILDER_H

#include <veltrane/world/Object.h>

namespace vl {
class EventHandler;
class EventKeyboard;
class Music;
}  // namespace vl

/// Runs one level: builds its layout, owns its keys (switch world, restart, quit), ends it.
/// Invisible; lives from the title screen's start of a level until the level ends, through any
/// number of restarts. There is at most one at a time.
class LevelBuilder : public vl::Object {
public:
    /// Plays the level music. p_owner, if given, is handed the level's end (an "end" event with the
    /// level and whether it was finished) even while inactive; not owned.
    explicit LevelBuilder(vl::EventHandler* p_owner = nullptr);
    ~LevelBuilder() override;
    int eventHandler(const vl::Event* p_e) override;  ///< 1 for keyboard and "end" events, 0 otherwise

    void buildLevelFrame();      ///< the side walls and borders every level has (levels/frame.txt)
    void restart();              ///< clears the level's objects and builds the current level again
    void endLevel();             ///< clears the level, wakes the title screen (logged), removes the builder
    void playMusic();            ///< the level music, looped, if it was found
    void buildLevel(int level);  ///< the level function for level 0 to 5; any other builds nothing
    int getLevel() const;        ///< 0 to 5
    bool isQuit() const;         ///< the user quit (while running); the level was completed (after endLevel)

    /// The six layouts; each sets the level number, builds the frame, then its objects in order.
    void level1();
    void level2();
    void level3();
    void level4();
    void level5();
    void level6();

private:
    void kbd(const vl::EventKeyboard* p_keyboard);
    void clearLevel();  ///< marks every object of the level's types for deletion

    int m_level;                  //!< the level being played, 0 to 5
    vl::Music* m_p_music;         //!< the level music; not owned
    bool m_quit;                  //!< the user quit; inverted at the end, then it means completed
    bool m_ended;                 //!< endLevel has run; the builder only waits to be deleted
    vl::EventHandler* m_p_owner;  //!< told of the level's end; not owned
};

#endif
