// SPDX-License-Identifier: MIT
#include "LevelLayout.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <set>
#include <sstream>

#include "Border.h"
#include "Door.h"
#include "Light.h"
#include "Obstacle.h"
#include "Player.h"
#include "Switch.h"

namespace {

using Piece = LevelLayout::Piece;
using Kind = Piece::Kind;

struct PieceWord {
    const char* word;
    Kind kind;
    const char* label;
};

// What a line may start with; an obstacle's word is its sprite, a border's the side it stands on.
const PieceWord PIECES[] = {
    {"platform", Kind::OBSTACLE, "platform"}, {"long-platform", Kind::OBSTACLE, "long-platform"},
    {"wall", Kind::OBSTACLE, "wall"},         {"short-wall", Kind::OBSTACLE, "short-wall"},
    {"light", Kind::LIGHT, "light"},          {"lever", Kind::LEVER, "lever"},
    {"player", Kind::PLAYER, "player"},       {"door", Kind::DOOR, "door"},
    {"left-border", Kind::BORDER, "left"},    {"right-border", Kind::BORDER, "right"},
};
const char* const PIECE_LIST =
    "platform, long-platform, wall, short-wall, light, lever, player, door, left-border or right-border";

const int MAX_CELL = 1000;  // far beyond any window; keeps every sum of positions in range
const int MAX_RUN = 100;
const std::size_t MAX_NAME = 32;
const std::size_t MAX_SHOWN = 24;

// A word as a log line can show it: printable, and short.
std::string shown(const std::string& word) {
    std::string text;
    for (char c : word.substr(0, MAX_SHOWN)) {
        text += (c > ' ' && c < 127) ? c : '?';
    }
    return word.size() > MAX_SHOWN ? text + "..." : text;
}

// The words of a line, without its comment.
std::vector<std::string> splitWords(const std::string& text) {
    std::istringstream in(text.substr(0, text.find('#')));
    std::vector<std::string> words;
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

bool isNumber(const std::string& word) {
    const std::size_t digits = word.size() - (word[0] == '-' ? 1 : 0);
    return digits >= 1 && digits <= 5 &&
           std::all_of(word.end() - static_cast<std::ptrdiff_t>(digits), word.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

bool isName(const std::string& word) {
    return word.size() <= MAX_NAME && std::all_of(word.begin(), word.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_';
           });
}

// One line's words, read left to right; the first refusal is the one reported.
struct Line {
    std::vector<std::string> words;
    std::size_t next = 0;
    std::string reason;

    bool fail(const std::string& why) {
        if (reason.empty()) {
            reason = why;
        }
        return false;
    }
    bool more() const { return next < words.size(); }
    bool word(const std::string& what, std::string* p_word) {
        if (!more()) {
            return fail("the line ends where " + what + " should be");
        }
        *p_word = words[next++];
        return true;
    }
    bool number(const std::string& what, int low, int high, int* p_value) {
        std::string text;
        if (!word(what, &text)) {
            return false;
        }
        if (!isNumber(text)) {
            return fail(what + " '" + shown(text) + "' is not a whole number");
        }
        *p_value = std::stoi(text);
        if (*p_value < low || *p_value > high) {
            return fail(what + " " + text + " is not from " + std::to_string(low) + " to " +
                        std::to_string(high));
        }
        return true;
    }
    bool keyword(const char* expected) {
        std::string text;
        if (!word(std::string("'") + expected + "'", &text)) {
            return false;
        }
        return text == expected ||
               fail(std::string("'") + expected + "' should come here, not '" + shown(text) + "'");
    }
    bool cell(const std::string& what, int* p_x, int* p_y) {
        return number(what + " column", -MAX_CELL, MAX_CELL, p_x) &&
               number(what + " row", -MAX_CELL, MAX_CELL, p_y);
    }
};

// What the lines so far have given.
struct Reading {
    std::map<std::string, int> names;  // the index of the piece each names
    std::set<std::string> options;     // given on the current line
    std::string name;                  // the current line's
    int objects = 0;
    int players = 0;
    int doors = 0;
};

bool readRun(Line& line, Piece* p_piece) {
    if (p_piece->kind != Kind::OBSTACLE) {
        return line.fail("only platforms and walls come in runs");
    }
    return line.number("the run's count", 1, MAX_RUN, &p_piece->count) && line.keyword("every") &&
           line.number("the run's spacing", -MAX_RUN, MAX_RUN, &p_piece->every);
}

bool readName(Line& line, Reading& reading, const std::vector<Piece>& pieces, Piece* p_piece) {
    if (p_piece->kind != Kind::OBSTACLE) {
        return line.fail("only a platform or a wall is named: the name is for the lever that moves it");
    }
    if (!line.word("the name", &reading.name)) {
        return false;
    }
    if (!isName(reading.name)) {
        return line.fail("the name '" + shown(reading.name) + "' is not letters, digits, '-' and '_'");
    }
    const auto found = reading.names.find(reading.name);
    if (found != reading.names.end()) {
        const int line_number = pieces[static_cast<std::size_t>(found->second)].line;
        return line.fail("the name '" + reading.name + "' is taken by line " + std::to_string(line_number));
    }
    return true;
}

bool readMoves(Line& line, const Reading& reading, Piece* p_piece) {
    if (p_piece->kind != Kind::LEVER) {
        return line.fail("only a lever moves a piece");
    }
    std::string name;
    if (!line.word("the name of the piece it moves", &name)) {
        return false;
    }
    const auto found = reading.names.find(name);
    if (found == reading.names.end()) {
        return line.fail("no line above names '" + shown(name) + "'");
    }
    p_piece->target = found->second;
    return line.keyword("off") && line.cell("the off", &p_piece->off_x, &p_piece->off_y) &&
           line.keyword("on") && line.cell("the on", &p_piece->on_x, &p_piece->on_y);
}

bool readOption(Line& line, Reading& reading, const std::vector<Piece>& pieces, Piece* p_piece) {
    std::string option;
    line.word("an option", &option);
    if (!reading.options.insert(option).second) {
        return line.fail("'" + shown(option) + "' is given twice");
    }
    if (option == "run") {
        return readRun(line, p_piece);
    }
    if (option == "name") {
        return readName(line, reading, pieces, p_piece);
    }
    if (option == "moves") {
        return readMoves(line, reading, p_piece);
    }
    return line.fail("unknown option '" + shown(option) + "' (the options are run, name and moves)");
}

bool readPiece(Line& line, Reading& reading, const std::vector<Piece>& pieces, Piece* p_piece) {
    const std::string& word = line.words[line.next++];
    const PieceWord* p_found = std::find_if(std::begin(PIECES), std::end(PIECES),
                                            [&word](const PieceWord& piece) { return word == piece.word; });
    if (p_found == std::end(PIECES)) {
        return line.fail("unknown piece '" + shown(word) + "'; a piece is " + PIECE_LIST);
    }
    p_piece->kind = p_found->kind;
    p_piece->label = p_found->label;
    if (!line.cell("the", &p_piece->x, &p_piece->y)) {
        return false;
    }
    reading.options.clear();
    reading.name.clear();
    while (line.more()) {
        if (!readOption(line, reading, pieces, p_piece)) {
            return false;
        }
    }
    if (p_piece->kind == Kind::LEVER && p_piece->target < 0) {
        return line.fail("a lever needs 'moves NAME off COLUMN ROW on COLUMN ROW'");
    }
    if (!reading.name.empty() && p_piece->count > 1) {
        return line.fail("a run is not named: a lever moves one piece");
    }
    return true;
}

// The rules of the whole file that one line can break.
bool admit(const Piece& piece, LevelLayout::Use use, Reading& reading, Line& line) {
    reading.objects += piece.count;
    if (reading.objects > LevelLayout::MAX_OBJECTS) {
        return line.fail("more than " + std::to_string(LevelLayout::MAX_OBJECTS) + " pieces");
    }
    const bool is_frame = use == LevelLayout::Use::FRAME;
    if (piece.kind == Kind::PLAYER && (is_frame || reading.players++ > 0)) {
        return line.fail(is_frame ? "the frame has no player: each level has its own"
                                  : "a level has one player");
    }
    if (piece.kind == Kind::DOOR && is_frame) {
        return line.fail("the frame has no door: each level has its own");
    }
    reading.doors += piece.kind == Kind::DOOR ? 1 : 0;
    return true;
}

vl::Vector cell(int x, int y) {
    return vl::Vector(static_cast<float>(x), static_cast<float>(y));
}

// Builds one piece; returns the last obstacle it built, so levers can find their targets.
Obstacle* buildPiece(const Piece& piece, const std::vector<Obstacle*>& built) {
    switch (piece.kind) {
    case Kind::OBSTACLE: {
        Obstacle* p_last = nullptr;
        for (int i = 0; i < piece.count; i++) {
            p_last = new Obstacle(piece.label, false, piece.x + piece.every * i, piece.y);
        }
        return p_last;
    }
    case Kind::LIGHT:
        new Light(false, piece.x, piece.y);
        break;
    case Kind::LEVER:
        new Switch(piece.label, false, piece.x, piece.y, cell(piece.off_x, piece.off_y),
                   cell(piece.on_x, piece.on_y), built[static_cast<std::size_t>(piece.target)]);
        break;
    case Kind::PLAYER:
        new Player(false, cell(piece.x, piece.y));
        break;
    case Kind::DOOR:
        new Door(cell(piece.x, piece.y));
        break;
    case Kind::BORDER:
        (new Border(piece.label))->setPosition(cell(piece.x, piece.y));
        break;
    }
    return nullptr;
}

}  // namespace

int LevelLayout::parse(const std::string& text, Use use, int* p_line, std::string* p_reason) {
    m_pieces.clear();
    Reading reading;
    std::istringstream in(text);
    std::string text_line;
    int number = 0;
    std::string reason;
    while (std::getline(in, text_line)) {
        number++;
        Line line;
        line.words = splitWords(text_line);
        if (line.words.empty()) {
            continue;
        }
        Piece piece;
        piece.line = number;
        if (!readPiece(line, reading, m_pieces, &piece) || !admit(piece, use, reading, line)) {
            reason = line.reason;
            break;
        }
        if (!reading.name.empty()) {
            reading.names[reading.name] = static_cast<int>(m_pieces.size());
        }
        m_pieces.push_back(piece);
    }
    if (reason.empty() && use == Use::LEVEL) {
        reason = reading.players == 0 ? "the level ends without a player"
                 : reading.doors == 0 ? "the level ends without a door"
                                      : "";
    }
    if (reason.empty()) {
        return 0;
    }
    m_pieces.clear();
    *p_line = std::max(number, 1);
    *p_reason = reason;
    return -1;
}

void LevelLayout::build() const {
    std::vector<Obstacle*> built;
    for (const Piece& piece : m_pieces) {
        built.push_back(buildPiece(piece, built));
    }
}

const std::vector<LevelLayout::Piece>& LevelLayout::getPieces() const {
    return m_pieces;
}
