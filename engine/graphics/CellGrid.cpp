// SPDX-License-Identifier: MIT
#include <veltrane/graphics/CellGrid.h>

#include <cmath>
#include <cstdio>

#include <veltrane/graphics/Color.h>

namespace vl {

namespace {

const char NAMED_LETTERS[] = "krgybmcw";  // BLACK to WHITE
const char OTHER_LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

Rgb mix(Rgb under, Rgb over, unsigned char opacity) {
    const int a = opacity;
    const auto blend = [a](int u, int o) {
        return static_cast<unsigned char>((u * (255 - a) + o * a) / 255);
    };
    return toRgb(blend(redOf(under), redOf(over)), blend(greenOf(under), greenOf(over)),
                 blend(blueOf(under), blueOf(over)));
}

// Letters for the colours of one grid, the named ones fixed, the rest in order of first use.
class Palette {
public:
    explicit Palette(Rgb background) : m_background(background) {}
    char letterOf(Rgb rgb) {
        if (rgb == m_background) {
            return '.';
        }
        for (int c = BLACK; c <= WHITE; c++) {
            unsigned char r = 0;
            unsigned char g = 0;
            unsigned char b = 0;
            colorToRGB(static_cast<Color>(c), r, g, b);
            if (toRgb(r, g, b) == rgb) {
                return NAMED_LETTERS[c];
            }
        }
        for (size_t i = 0; i < m_others.size(); i++) {
            if (m_others[i] == rgb) {
                return OTHER_LETTERS[i];
            }
        }
        if (m_others.size() + 1 >= sizeof(OTHER_LETTERS)) {
            return '?';  // more colours than letters: the legend says so
        }
        m_others.push_back(rgb);
        return OTHER_LETTERS[m_others.size() - 1];
    }
    std::string legend() const {
        std::string text;
        for (size_t i = 0; i < m_others.size(); i++) {
            char entry[16];
            std::snprintf(entry, sizeof entry, " %c=#%06x", OTHER_LETTERS[i], m_others[i]);
            text += entry;
        }
        return text;
    }

private:
    Rgb m_background;
    std::vector<Rgb> m_others;
};

}  // namespace

int redOf(Rgb rgb) {
    return static_cast<int>((rgb >> 16) & 0xff);
}

int greenOf(Rgb rgb) {
    return static_cast<int>((rgb >> 8) & 0xff);
}

int blueOf(Rgb rgb) {
    return static_cast<int>(rgb & 0xff);
}

Rgb toRgb(unsigned char r, unsigned char g, unsigned char b) {
    return (static_cast<Rgb>(r) << 16) | (static_cast<Rgb>(g) << 8) | b;
}

int toCell(float position) {
    return static_cast<int>(std::floor(position + 0.5f));
}

bool CellGrid::Cell::operator==(const Cell& other) const {
    return ch == other.ch && ink == other.ink && background == other.background;
}

bool CellGrid::Cell::operator!=(const Cell& other) const {
    return !(*this == other);
}

CellGrid::CellGrid(int columns, int rows)
    : m_columns(columns > 0 ? columns : 0), m_rows(rows > 0 ? rows : 0), m_background(0),
      m_cells(static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows), Cell{' ', 0, 0}) {}

void CellGrid::setBackground(Rgb background) {
    m_background = background;
}

Rgb CellGrid::getBackground() const {
    return m_background;
}

int CellGrid::index(int column, int row) const {
    if (column < 0 || row < 0 || column >= m_columns || row >= m_rows) {
        return -1;
    }
    return row * m_columns + column;
}

void CellGrid::put(int column, int row, char ch, Rgb ink) {
    const int i = index(column, row);
    if (i < 0) {
        return;
    }
    // Only printable characters: anything else would move a terminal's cursor or change its state.
    m_cells[static_cast<size_t>(i)] = Cell{ch >= ' ' && ch <= '~' ? ch : '?', ink, m_background};
}

void CellGrid::fill(int column, int row, Rgb color, unsigned char opacity) {
    const int i = index(column, row);
    if (i < 0) {
        return;
    }
    Cell& cell = m_cells[static_cast<size_t>(i)];
    cell.background = mix(cell.background, color, opacity);
    cell.ink = mix(cell.ink, color, opacity);
}

void CellGrid::set(int column, int row, const Cell& cell) {
    const int i = index(column, row);
    if (i >= 0) {
        m_cells[static_cast<size_t>(i)] = cell;
    }
}

void CellGrid::clear() {
    for (Cell& cell : m_cells) {
        cell = Cell{' ', m_background, m_background};
    }
}

const CellGrid::Cell& CellGrid::at(int column, int row) const {
    return m_cells[static_cast<size_t>(index(column, row))];
}

int CellGrid::getColumns() const {
    return m_columns;
}

int CellGrid::getRows() const {
    return m_rows;
}

std::string CellGrid::toText() const {
    Palette palette(m_background);
    std::string characters;
    std::string ink;
    std::string background;
    for (int row = 0; row < m_rows; row++) {
        for (int column = 0; column < m_columns; column++) {
            const Cell& cell = at(column, row);
            characters += cell.ch;
            ink += cell.ch == ' ' ? ' ' : palette.letterOf(cell.ink);
            background += palette.letterOf(cell.background);
        }
        characters += '\n';
        ink += '\n';
        background += '\n';
    }
    char background_hex[8];
    std::snprintf(background_hex, sizeof background_hex, "%06x", m_background);
    return characters + "-- ink\n" + ink + "-- background ('.' is #" + background_hex + ")" +
           palette.legend() + "\n" + background;
}

}  // namespace vl
