// SPDX-License-Identifier: MIT
// Arbitrary bytes as a level file and as the frame: the reader refuses with a line of the text and a
// printable reason, keeping no piece, or accepts pieces the builder can build without looking further.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "LevelLayout.h"

namespace {

using Piece = LevelLayout::Piece;

bool inWorld(int x, int y) {
    return x >= -1000 && x <= 1000 && y >= -1000 && y <= 1000;
}

// Levers move one obstacle of a line above; the counts keep the build bounded.
bool buildable(const LevelLayout& layout, LevelLayout::Use use) {
    const std::vector<Piece>& pieces = layout.getPieces();
    int objects = 0, players = 0, doors = 0, last_line = 0;
    for (std::size_t i = 0; i < pieces.size(); i++) {
        const Piece& piece = pieces[i];
        objects += piece.count;
        players += piece.kind == Piece::Kind::PLAYER ? 1 : 0;
        doors += piece.kind == Piece::Kind::DOOR ? 1 : 0;
        if (piece.line <= last_line || piece.count < 1 || piece.count > 100 || !inWorld(piece.x, piece.y) ||
            (piece.count > 1 && piece.kind != Piece::Kind::OBSTACLE)) {
            return false;
        }
        last_line = piece.line;
        if (piece.kind != Piece::Kind::LEVER) {
            continue;
        }
        if (piece.target < 0 || static_cast<std::size_t>(piece.target) >= i ||
            pieces[static_cast<std::size_t>(piece.target)].kind != Piece::Kind::OBSTACLE ||
            pieces[static_cast<std::size_t>(piece.target)].count != 1 || !inWorld(piece.off_x, piece.off_y) ||
            !inWorld(piece.on_x, piece.on_y)) {
            return false;
        }
    }
    const bool level = use == LevelLayout::Use::LEVEL;
    return objects <= LevelLayout::MAX_OBJECTS && players == (level ? 1 : 0) &&
           (level ? doors >= 1 : doors == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(p_data), size);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (LevelLayout::Use use : {LevelLayout::Use::FRAME, LevelLayout::Use::LEVEL}) {
        LevelLayout layout;
        int line = 0;
        std::string reason;
        if (layout.parse(text, use, &line, &reason) == 0) {
            if (!buildable(layout, use)) {
                std::abort();
            }
            continue;
        }
        const bool printable =
            std::all_of(reason.begin(), reason.end(), [](char c) { return c >= ' ' && c < 127; });
        if (line < 1 || line > lines || reason.empty() || !printable || !layout.getPieces().empty()) {
            std::abort();
        }
    }
    return 0;
}
