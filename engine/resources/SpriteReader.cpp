// SPDX-License-Identifier: MIT
#include <veltrane/resources/SpriteReader.h>

#include <cstdlib>

#include <exception>
#include <new>

#include <veltrane/core/LogManager.h>
#include <veltrane/core/Utility.h>
#include <veltrane/graphics/Color.h>
#include <veltrane/graphics/Sprite.h>
#include <veltrane/resources/ResourceManager.h>

namespace vl {

namespace {

enum class LineEnd {
    COMPLETE,     // ended by a line feed
    END_OF_FILE,  // the file ended first; the text holds what came before
    TOO_LONG,     // longer than MAX_SPRITE_LINE; the text holds the start
    READ_ERROR,   // the stream's buffer failed (a directory, an I/O error)
};

// Reads up to the next line feed, which is consumed and not kept.
LineEnd readRawLine(std::istream& stream, std::string& text) {
    text.clear();
    std::streambuf* p_buffer = stream.rdbuf();
    if (!stream.good() || p_buffer == nullptr) {
        return LineEnd::END_OF_FILE;
    }
    while (true) {
        int c = 0;
        // A file buffer throws when the system refuses the read, instead of reporting the end.
        try {
            c = p_buffer->sbumpc();
        } catch (const std::exception&) {
            stream.setstate(std::ios::badbit);
            return LineEnd::READ_ERROR;
        }
        if (c == std::char_traits<char>::eof()) {
            stream.setstate(std::ios::eofbit);
            return LineEnd::END_OF_FILE;
        }
        if (c == '\n') {
            return LineEnd::COMPLETE;
        }
        if (text.size() >= static_cast<size_t>(MAX_SPRITE_LINE)) {
            stream.setstate(std::ios::failbit);
            return LineEnd::TOO_LONG;
        }
        text += static_cast<char>(c);
    }
}

void stripCarriageReturn(std::string& text) {
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// What follows a key and its one separator character.
std::string valueAfter(const std::string& line, const std::string& key) {
    return line.size() > key.size() + 1 ? line.substr(key.size() + 1) : std::string();
}

// A sprite for frames frames, or null (logged by the sprite) when it cannot have that many.
Sprite* newSprite(int frames) {
    Sprite* p_sprite = new (std::nothrow) Sprite(frames);
    if (p_sprite != nullptr && p_sprite->getMaxFrameCount() != frames) {
        delete p_sprite;
        return nullptr;
    }
    return p_sprite;
}

const char* const HEADER_KEYS[] = {"frames", "width", "height", "color", "transparency", "slowdown"};

bool isIntegerKey(const std::string& key) {
    return key != "color" && key != "transparency";
}

// The value a key line gives, and whether it reads cleanly: the key, one space, then (for a number key)
// a whole number and nothing else.
bool readsCleanly(const std::string& line, const std::string& key) {
    if (line.size() > key.size() && line[key.size()] != ' ') {
        return false;
    }
    const std::string value = valueAfter(line, key);
    if (!isIntegerKey(key) || value.empty()) {
        return true;
    }
    char* p_end = nullptr;
    std::strtol(value.c_str(), &p_end, 10);
    return p_end != value.c_str() && *p_end == '\0' && value[0] != ' ';
}

const char* nearestHeaderKey(const std::string& word) {
    const char* p_best = HEADER_KEYS[0];
    for (const char* p_key : HEADER_KEYS) {
        if (editDistance(word, p_key) < editDistance(word, p_best)) {
            p_best = p_key;
        }
    }
    return p_best;
}

const char* const COLOR_HELP_1 = "  Valid colors are: black, red, green, yellow,";

}  // namespace

SpriteReader::SpriteReader() : m_line_number(0), m_at_end(false) {}

int SpriteReader::getLineNumber() const {
    return m_line_number;
}

int SpriteReader::lineJustRead() const {
    return m_at_end ? m_line_number + 1 : m_line_number;
}

bool SpriteReader::checkStarted() const {
    return !ResourceManager::getInstance().refuseUnlessStarted();
}

std::string SpriteReader::getLine(std::istream& stream, bool count) {
    std::string line;
    const LineEnd end = readRawLine(stream, line);
    if (end == LineEnd::COMPLETE) {
        stripCarriageReturn(line);
        if (count) {
            m_line_number++;
        }
        return line;
    }
    m_at_end = true;
    if (end == LineEnd::TOO_LONG) {
        LogManager::getInstance().writeLog("getLine(): Error! Line %d is longer than %d characters.",
                                           m_line_number + 1, MAX_SPRITE_LINE);
        return "";
    }
    if (end == LineEnd::READ_ERROR) {
        LogManager::getInstance().writeLog("getLine(): Error! Cannot read line %d.", m_line_number + 1);
        return "";
    }
    LogManager::getInstance().writeLog("getLine(): Error! Unexpected end of file.");
    return "";
}

bool SpriteReader::readData(std::istream& stream, const std::string& section, Lines& lines) {
    const LogManager& log = LogManager::getInstance();
    const std::string open_tag = "<" + section + ">";
    const std::string close_tag = "</" + section + ">";
    lines.clear();
    std::string line = getLine(stream, true);
    if (line != open_tag) {
        log.writeLog("readData(): Error line %d! Expected '%s', have '%s'.", lineJustRead(), open_tag.c_str(),
                     line.c_str());
        return false;
    }
    // Every line is counted as it is read, so the numbers in messages are the file's own.
    while (true) {
        line = getLine(stream, true);
        if (line == close_tag) {
            if (lines.empty()) {
                log.writeLog("readData(): Error! No data in '%s' (line %d).", open_tag.c_str(),
                             m_line_number);
                return false;
            }
            return true;
        }
        if (line.empty()) {
            log.writeLog("readData(): Error! Stop at line %d, never encountered '%s'.", lineJustRead(),
                         close_tag.c_str());
            lines.clear();
            return false;
        }
        lines.push_back(line);
    }
}

int SpriteReader::matchLineInt(Lines& lines, const std::string& key) {
    int result = -1;
    for (auto it = lines.begin(); it != lines.end();) {
        if (!startsWith(*it, key)) {
            ++it;
            continue;
        }
        if (result != -1) {
            LogManager::getInstance().writeLog(1, "matchLineInt(): Warning! '%s' matches multiple lines.",
                                               it->c_str());
        }
        // A key with nothing after it reads as missing rather than as 0.
        const std::string value = valueAfter(*it, key);
        result = value.empty() ? -1 : leadingInteger(value);
        it = lines.erase(it);
    }
    return result;
}

std::string SpriteReader::matchLineStr(Lines& lines, const std::string& key) {
    std::string result;
    for (auto it = lines.begin(); it != lines.end();) {
        if (!startsWith(*it, key)) {
            ++it;
            continue;
        }
        if (!result.empty()) {
            LogManager::getInstance().writeLog(1, "matchLineStr(): Warning! '%s' matches multiple lines.",
                                               it->c_str());
        }
        result = valueAfter(*it, key);
        it = lines.erase(it);
    }
    return result;
}

Frame SpriteReader::parseFrame(Lines& lines, int width, int height, int line) {
    const LogManager& log = LogManager::getInstance();
    std::string characters;
    for (int row = 0; row < height; row++) {
        if (lines.empty()) {
            log.writeLog("\tError! Line %d: No more frame data before 'end'.", line + 1);
            return Frame();
        }
        const std::string& text = lines.front();
        line++;
        log.writeLog(20, "\tLine %2d: '%s'", line, text.c_str());
        if (static_cast<long long>(text.size()) != width) {
            log.writeLog("\tError! Line %d: Line length is %d (frame width is %d).", line,
                         static_cast<int>(text.size()), width);
            log.writeLog("\tLine %d: '%s'", line, text.c_str());
            return Frame();
        }
        characters += text;
        lines.pop_front();
    }
    if (lines.empty()) {
        log.writeLog("\tError! Line %d: No more frame data before 'end'.", line + 1);
        return Frame();
    }
    if (lines.front() != "end") {
        log.writeLog("\tError! Line %d: Expected '%s'.", line + 1, "end");
        log.writeLog("\tLine %d: '%s'", line + 1, lines.front().c_str());
        return Frame();
    }
    lines.pop_front();
    return Frame(width, height, characters);
}

Sprite* SpriteReader::readSprite(std::istream& stream, const std::string& label) {
    const LogManager& log = LogManager::getInstance();
    m_line_number = 0;
    m_at_end = false;
    const std::string first = getLine(stream, false);
    stream.clear();
    stream.seekg(0, std::ios::beg);
    m_at_end = false;
    if (!stream) {
        log.writeLog("RM::loadSprite(): Error! Cannot go back to the start of the file.");
        log.writeLog("RM::loadSprite(): Sprite '%s' NOT loaded.", label.c_str());
        return nullptr;
    }

    Sprite* p_sprite = nullptr;
    if (first == "<HEADER>") {
        log.writeLog(5, "RM::loadSprite(): assuming robust sprite file format.");
        p_sprite = loadRobustSprite(stream);
    } else if (leadingInteger(first) >= 1) {
        log.writeLog(5, "RM::loadSprite(): assuming simple sprite file format.");
        p_sprite = loadSimpleSprite(stream);
    } else {
        log.writeLog("RM::loadSprite(): Error! Unknown sprite file format.");
        log.writeLog("RM::loadSprite(): First line is '%s'.", first.c_str());
        log.writeLog("RM::loadSprite(): Sprite '%s' NOT loaded.", label.c_str());
        return nullptr;
    }
    if (p_sprite == nullptr) {
        log.writeLog("RM::loadSprite(): Sprite '%s' NOT loaded.", label.c_str());
    }
    return p_sprite;
}

Sprite* SpriteReader::loadSimpleSprite(std::istream& stream) {
    if (!checkStarted()) {
        return nullptr;
    }
    const LogManager& log = LogManager::getInstance();
    static const char* const MISSING[] = {"\tMissing frames (an integer).", "\tMissing width (an integer).",
                                          "\tMissing height (an integer).",
                                          "\tMissing slowdown (an integer).", "\tMissing color (a string)."};
    int values[4] = {0, 0, 0, 0};  // frames, width, height, slowdown
    Color color = WHITE;
    for (int i = 0; i < 5; i++) {
        const std::string line = getLine(stream, true);
        if (line.empty()) {
            log.writeLog("RM::loadSimpleSprite(): Error! Unexpected end of file.");
            log.writeLog("%s", MISSING[i]);
            return nullptr;
        }
        log.writeLog(20, "\tLine %2d: '%s'", m_line_number, line.c_str());
        if (i < 4) {
            values[i] = leadingInteger(line);
        }
        if (i == 0 && values[0] < 1) {
            log.writeLog("RM::loadSimpleSprite(): Error line %d! Number of frames is %d.", m_line_number,
                         values[0]);
            return nullptr;
        }
        if ((i == 1 || i == 2) && values[i] < 1) {
            log.writeLog("RM::loadSimpleSprite(): Error line %d! %s is '%s'.", m_line_number,
                         i == 1 ? "Width" : "Height", line.c_str());
            return nullptr;
        }
        if (i == 3 && values[3] < 0) {
            log.writeLog("RM::loadSimpleSprite(): Error line %d! Slowdown is '%s'.", m_line_number,
                         line.c_str());
            return nullptr;
        }
        if (i == 4 && colorFromName(line, color) != 0) {
            log.writeLog("RM::loadSimpleSprite(): Error line %d! Unrecognized color '%s'.", m_line_number,
                         line.c_str());
            log.writeLog("%s", COLOR_HELP_1);
            log.writeLog("                    blue, magenta, cyan or white.");
            return nullptr;
        }
    }
    const int frames = values[0];
    const int width = values[1];
    const int height = values[2];
    const int slowdown = values[3];
    log.writeLog(5, "\t      Frames: %d", frames);
    log.writeLog(5, "\t       Width: %d", width);
    log.writeLog(5, "\t      Height: %d", height);
    log.writeLog(5, "\t    Slowdown: %d", slowdown);
    log.writeLog(5, "\t       Color: %s", colorToName(color).c_str());

    Sprite* p_sprite = newSprite(frames);
    if (p_sprite == nullptr) {
        log.writeLog("RM::loadSimpleSprite(): Error! Unable to create Sprite.");
        return nullptr;
    }
    p_sprite->setWidth(width);
    p_sprite->setHeight(height);
    p_sprite->setSlowdown(slowdown);
    p_sprite->setColor(color);
    p_sprite->setTransparency(0);

    for (int f = 0; f < frames; f++) {
        log.writeLog(15, "RM::loadSimpleSprite(): Reading frame %d of %d.", f, frames);
        std::string characters;
        for (int r = 0; r < height; r++) {
            const std::string row = getLine(stream, true);
            if (row.empty()) {
                log.writeLog("RM::loadSimpleSprite(): Error! Unexpected end of file.");
                log.writeLog("\tReading frame %d of %d, row %d of %d.", f + 1, frames, r + 1, height);
                delete p_sprite;
                return nullptr;
            }
            if (static_cast<long long>(row.size()) != width) {
                log.writeLog("RM::loadSimpleSprite(): Error line %d!", m_line_number);
                log.writeLog("\tLine %2d: '%s'", m_line_number, row.c_str());
                log.writeLog("\tWidth is %d, expected %d.", static_cast<int>(row.size()), width);
                delete p_sprite;
                return nullptr;
            }
            log.writeLog(20, "\tLine %2d: '%s'", m_line_number, row.c_str());
            characters += row;
        }
        if (p_sprite->pushFrame(Frame(width, height, characters)) != 0) {
            log.writeLog("RM::loadSimpleSprite(): Error! Cannot add Frame.");
            log.writeLog("\tFramecount is %d, max is %d.", p_sprite->getFrameCount() + 1, frames);
            delete p_sprite;
            return nullptr;
        }
    }

    // Nothing may follow the last row, not even an empty line.
    std::string extra;
    const LineEnd end = readRawLine(stream, extra);
    m_line_number++;
    if (end == LineEnd::END_OF_FILE && extra.empty()) {
        return p_sprite;
    }
    stripCarriageReturn(extra);
    log.writeLog("RM::loadSimpleSprite(): Error line %d!", m_line_number);
    log.writeLog("\tExtra file data: '%s'", extra.c_str());
    delete p_sprite;
    return nullptr;
}

void SpriteReader::warnAboutHeader(const Lines& header) const {
    const LogManager& log = LogManager::getInstance();
    int line_number = 1;  // the header's data start on the line after "<HEADER>", the first
    for (const std::string& line : header) {
        line_number++;
        const char* p_key = nullptr;
        for (const char* p_candidate : HEADER_KEYS) {
            if (startsWith(line, p_candidate)) {
                p_key = p_candidate;
            }
        }
        const std::string word = line.substr(0, line.find(' '));
        // Other lines (an author, a note) are allowed; one a typo away from a key is surely that key.
        const char* p_nearest = nearestHeaderKey(word);
        if (p_key == nullptr && editDistance(word, p_nearest) <= 2) {
            log.writeLog(
                "RM::loadRobustSprite(): Warning! Line %d: unknown header key '%s'; did you mean '%s'?",
                line_number, word.c_str(), p_nearest);
        } else if (p_key != nullptr && !readsCleanly(line, p_key)) {
            const std::string value = valueAfter(line, p_key);
            const std::string read = isIntegerKey(p_key) ? std::to_string(leadingInteger(value)) : value;
            log.writeLog(
                "RM::loadRobustSprite(): Warning! Line %d: '%s' is read as %s '%s'; write '%s <value>'.",
                line_number, line.c_str(), p_key, read.c_str(), p_key);
        }
    }
}

Sprite* SpriteReader::loadRobustSprite(std::istream& stream) {
    if (!checkStarted()) {
        return nullptr;
    }
    const LogManager& log = LogManager::getInstance();
    Lines header;
    if (!readData(stream, "HEADER", header)) {
        return nullptr;
    }
    log.writeLog(20, "ResourceManager::loadRobustSprite(): After header, line number: '%d'", m_line_number);

    warnAboutHeader(header);
    static const char* const SIZE_KEYS[] = {"frames", "width", "height"};
    int sizes[3] = {0, 0, 0};
    for (int i = 0; i < 3; i++) {
        sizes[i] = matchLineInt(header, SIZE_KEYS[i]);
        if (sizes[i] == -1) {
            log.writeLog("RM::loadRobustSprite(): Error! Missing '%s' in header.", SIZE_KEYS[i]);
            return nullptr;
        }
    }
    const int frames = sizes[0];
    const int width = sizes[1];
    const int height = sizes[2];

    std::string color_name = matchLineStr(header, "color");
    if (color_name.empty()) {
        log.writeLog(5, "RM::loadRobustSprite(): Warning! No '%s' in header.", "color");
        color_name = "default";
    }
    char transparency = 0;
    const std::string transparency_value = matchLineStr(header, "transparency");
    if (transparency_value.empty()) {
        log.writeLog(5, "RM::loadRobustSprite(): Note! No '%s' in header.", "transparency");
    } else if (transparency_value == "\" \"") {
        log.writeLog(5, "RM::loadRobustSprite(): transparency is 'space'");
        transparency = ' ';
    } else {
        transparency = transparency_value[0];
    }
    int slowdown = matchLineInt(header, "slowdown");
    if (slowdown == -1) {
        log.writeLog(5, "RM::loadRobustSprite(): Note! No '%s' in header.", "slowdown");
        slowdown = 0;
    }
    if (!header.empty()) {
        log.writeLog(1, "RM::loadRobustSprite(): Warning! Unused HEADER lines:");
        for (const std::string& line : header) {
            log.writeLog(1, "\t'%s'", line.c_str());
        }
    }
    log.writeLog(5, "\t      Frames: %d", frames);
    log.writeLog(5, "\t       Width: %d", width);
    log.writeLog(5, "\t      Height: %d", height);
    log.writeLog(5, "\t    Slowdown: %d", slowdown);
    if (transparency != 0) {
        log.writeLog(5, "\tTransparency: '%c'", transparency);
    } else {
        log.writeLog(5, "\tTransparency: (none)");
    }

    const int body_line = m_line_number;
    Lines body;
    if (!readData(stream, "BODY", body)) {
        return nullptr;
    }
    log.writeLog(20, "ResourceManager::loadRobustSprite(): After reading body: line number is '%d'",
                 m_line_number);

    Sprite* p_sprite = newSprite(frames);
    if (p_sprite == nullptr) {
        log.writeLog("RM::loadRobustSprite(): Error! Unable to create Sprite.");
        return nullptr;
    }
    p_sprite->setWidth(width);
    p_sprite->setHeight(height);
    p_sprite->setSlowdown(slowdown);
    p_sprite->setTransparency(transparency);

    Color color = WHITE;
    if (color_name != "default" && colorFromName(color_name, color) != 0) {
        log.writeLog("RM::loadRobustSprite(): Error! Unrecognized color '%s'.", color_name.c_str());
        log.writeLog("%s", COLOR_HELP_1);
        log.writeLog("                    blue, magenta, cyan and white.");
        delete p_sprite;
        return nullptr;
    }
    p_sprite->setColor(color);
    log.writeLog(5, "\t       Color: %s", colorToName(color).c_str());

    // The line before the next unread body line: the <BODY> tag, then each frame's rows and its "end".
    int line = body_line + 1;
    for (int f = 0; f < frames; f++) {
        const Frame frame = parseFrame(body, width, height, line);
        if (frame.isEmpty()) {
            log.writeLog("RM::loadRobustSprite(): Error! No frame data to add.");
            delete p_sprite;
            return nullptr;
        }
        line += height + 1;
        if (p_sprite->pushFrame(frame) != 0) {
            log.writeLog("RM::loadRobustSprite(): Error! Cannot add Frame.");
            log.writeLog("\tFramecount is %d, max is %d", p_sprite->getFrameCount() + 1, frames);
            delete p_sprite;
            return nullptr;
        }
    }
    if (!body.empty()) {
        log.writeLog("RM::loadRobustSprite(): Error! Extra BODY:");
        for (const std::string& extra : body) {
            line++;
            log.writeLog("\tLine %d: %s", line, extra.c_str());
        }
        delete p_sprite;
        return nullptr;
    }

    Lines footer;
    if (!readData(stream, "FOOTER", footer)) {
        delete p_sprite;
        return nullptr;
    }
    const std::string version = matchLineStr(footer, "version");
    if (version.empty()) {
        log.writeLog("RM::loadRobustSprite(): Error! Missing '%s' in FOOTER (line %d).", "version",
                     m_line_number);
        delete p_sprite;
        return nullptr;
    }
    if (!footer.empty()) {
        log.writeLog(1, "RM::loadRobustSprite(): Warning! Unused FOOTER lines:");
        for (const std::string& extra : footer) {
            log.writeLog(1, "\t'%s'", extra.c_str());
        }
    }
    return p_sprite;
}

}  // namespace vl
