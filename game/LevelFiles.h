// SPDX-License-Identifier: MIT
#ifndef LEVEL_FILES_H
#define LEVEL_FILES_H

#include <string>

#include "GameEvents.h"
#include "LevelLayout.h"

/// The level files, read once at start-up: the frame every level is built on, and the six levels.
class LevelFiles {
public:
    static LevelFiles& getInstance();

    /// Reads levels/frame.txt and levels/level-1.txt to level-6.txt from directory (ending in '/'; ""
    /// is the working directory). Each file that does not load is named, with its line, in the log and
    /// on standard error; its level cannot be played (none can without the frame). Returns how many
    /// files did not load.
    int load(const std::string& directory);
    /// Whether level 0 to 5 can be played: the frame and its file loaded. Each level's first refusal is
    /// logged.
    bool canStart(int level);
    const LevelLayout& getFrame() const;           ///< empty unless loaded
    const LevelLayout& getLevel(int level) const;  ///< 0 to 5; empty unless loaded

private:
    LevelFiles() = default;
    /// Reads one file into p_layout; names the failure with its consequence and returns the file's
    /// name, or "" when it loaded.
    static std::string loadFile(const std::string& file, LevelLayout::Use use, const std::string& consequence,
                                LevelLayout* p_layout);

    LevelLayout m_frame;
    LevelLayout m_levels[LEVEL_COUNT];
    std::string m_frame_failed = "levels/frame.txt";  //!< the file that did not load, or ""
    std::string m_failed[LEVEL_COUNT];                //!< each level's file that did not load, or ""
    bool m_refused[LEVEL_COUNT] = {};
};

#endif
