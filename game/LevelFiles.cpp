// SPDX-License-Identifier: MIT
#include "LevelFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <veltrane/core/LogManager.h>

namespace {
const std::streamoff MAX_BYTES = 1 << 20;  // a thousand pieces fit many times over

// The whole file, or false when it cannot be read or is too long to be a level.
bool readFile(const std::string& file, std::string* p_text, std::string* p_why) {
    std::error_code error;
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    // A folder or a pipe opens too, and reads as nothing.
    if (!std::filesystem::is_regular_file(file, error) || !in) {
        *p_why = "cannot be read";
        return false;
    }
    if (in.tellg() > MAX_BYTES) {
        *p_why = "is longer than " + std::to_string(MAX_BYTES) + " bytes";
        return false;
    }
    in.seekg(0);
    p_text->assign(std::istreambuf_iterator<char>(in), {});
    return true;
}
}  // namespace

LevelFiles& LevelFiles::getInstance() {
    static LevelFiles level_files;
    return level_files;
}

int LevelFiles::load(const std::string& directory) {
    m_frame_failed =
        loadFile(directory + "levels/frame.txt", LevelLayout::Use::FRAME, "no level can be played", &m_frame);
    int failed = m_frame_failed.empty() ? 0 : 1;
    for (int level = 0; level < LEVEL_COUNT; level++) {
        const std::string number = std::to_string(level + 1);
        m_failed[level] = loadFile(directory + "levels/level-" + number + ".txt", LevelLayout::Use::LEVEL,
                                   "level " + number + " cannot be played", &m_levels[level]);
        failed += m_failed[level].empty() ? 0 : 1;
        m_refused[level] = false;
    }
    return failed;
}

std::string LevelFiles::loadFile(const std::string& file, LevelLayout::Use use,
                                 const std::string& consequence, LevelLayout* p_layout) {
    std::string text;
    std::string why;
    int line = 0;
    std::string reason;
    if (!readFile(file, &text, &why)) {
        *p_layout = LevelLayout();
    } else if (p_layout->parse(text, use, &line, &reason) == 0) {
        return "";
    } else {
        why = "line " + std::to_string(line) + ": " + reason;
    }
    vl::LogManager::getInstance().writeLog("LevelFiles::load(): Error! Level file '%s' %s; %s.", file.c_str(),
                                           why.c_str(), consequence.c_str());
    std::fprintf(stderr, "Veltrane: level file '%s' %s; %s.\n", file.c_str(), why.c_str(),
                 consequence.c_str());
    return file;
}

bool LevelFiles::canStart(int level) {
    if (level < 0 || level >= LEVEL_COUNT) {
        return false;
    }
    const std::string& failed = m_frame_failed.empty() ? m_failed[level] : m_frame_failed;
    if (failed.empty()) {
        return true;
    }
    // Once: a held key asks every frame.
    if (!m_refused[level]) {
        m_refused[level] = true;
        vl::LogManager::getInstance().writeLog(
            "Level %d cannot be played: level file '%s' is missing or damaged.", level + 1, failed.c_str());
    }
    return false;
}

const LevelLayout& LevelFiles::getFrame() const {
    return m_frame;
}

const LevelLayout& LevelFiles::getLevel(int level) const {
    static const LevelLayout empty;
    return level >= 0 && level < LEVEL_COUNT ? m_levels[level] : empty;
}
