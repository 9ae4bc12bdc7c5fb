// SPDX-License-Identifier: MIT
#ifndef VL_SPRITE_READER_H
#define VL_SPRITE_READER_H

#include <istream>
#include <list>
#include <string>

#include <veltrane/graphics/Frame.h>

namespace vl {

class Sprite;

const int MAX_SPRITE_LINE = 65536;  ///< characters in one line of a sprite file, line end excluded

/// Reads sprite files in the simple format (five header lines, then rows) and the robust format (tagged
/// HEADER, BODY and FOOTER sections). The file is untrusted: every fault is logged and gives no sprite.
class SpriteReader {
public:
    SpriteReader();

    /// Chooses the format from the first line and reads the sprite from the start of stream. A new sprite
    /// owned by the caller (label not yet set), or null after logging why and "... Sprite '\<label>' NOT
    /// loaded.".
    [[nodiscard]] Sprite* readSprite(std::istream& stream, const std::string& label);
    int getLineNumber() const;  ///< lines consumed so far, as the messages count them

private:
    using Lines = std::list<std::string>;

    /// One line without its line feed and one trailing carriage return; "" (logged) at the end of the file.
    std::string getLine(std::istream& stream, bool count);
    /// The data lines of section S; false (logged) on a missing opening tag or an unterminated section.
    [[nodiscard]] bool readData(std::istream& stream, const std::string& section, Lines& lines);
    int matchLineInt(Lines& lines, const std::string& key);
    std::string matchLineStr(Lines& lines, const std::string& key);
    /// One frame from the front of lines; line is the file line just before its first row. Empty on error.
    Frame parseFrame(Lines& lines, int width, int height, int line);
    [[nodiscard]] Sprite* loadSimpleSprite(std::istream& stream);
    [[nodiscard]] Sprite* loadRobustSprite(std::istream& stream);
    /// Warns, always, about header lines with a key the reader does not know or a value it had to guess.
    void warnAboutHeader(const Lines& header) const;
    [[nodiscard]] bool checkStarted() const;
    int lineJustRead() const;  ///< the number of the line last read, or of the one missing at the end

    int m_line_number;  //!< shared by all the readers: the "line %d" of their messages
    bool m_at_end;      //!< the last read met the end of the file (or an overlong line)
};

}  // namespace vl

#endif
