// SPDX-License-Identifier: MIT
#ifndef LEVEL_LAYOUT_H
#define LEVEL_LAYOUT_H

#include <string>
#include <vector>

/// One level file's pieces: read from its text and checked, then built in the file's order.
/// The format is in docs/levels.md. Object ids and replays depend on the build order, which is the
/// order of the lines.
class LevelLayout {
public:
    /// A level has one player and a door; the frame, built under every level, has neither.
    enum class Use {
        FRAME,
        LEVEL
    };
    static const int MAX_OBJECTS = 1000;  ///< obstacles, lights, levers, ... a file may create

    /// One line: a piece, or a run of obstacles in a row. Positions are the light form's cell.
    struct Piece {
        enum class Kind {
            OBSTACLE,
            LIGHT,
            LEVER,
            PLAYER,
            DOOR,
            BORDER
        };
        Kind kind = Kind::OBSTACLE;
        std::string label;  ///< the obstacle's sprite, or the border's side
        int line = 0;       ///< in the file, from 1
        int x = 0, y = 0;
        int count = 1;    ///< obstacles in the run
        int every = 0;    ///< columns from one obstacle of the run to the next
        int target = -1;  ///< a lever's: the index of the piece it moves
        int off_x = 0, off_y = 0, on_x = 0, on_y = 0;
    };

    /// Reads a level file's text. On failure returns -1 with the line (from 1) and the reason, and
    /// holds no pieces; 0 otherwise.
    int parse(const std::string& text, Use use, int* p_line, std::string* p_reason);
    void build() const;  ///< creates every piece's objects, light forms first as their constructors do
    const std::vector<Piece>& getPieces() const;

private:
    std::vector<Piece> m_pieces;
};

#endif
