// SPDX-License-Identifier: MIT
#ifndef VL_CELL_GRID_H
#define VL_CELL_GRID_H

#include <cstdint>
#include <string>
#include <vector>

namespace vl {

/// 0xRRGGBB
using Rgb = uint32_t;
Rgb toRgb(unsigned char r, unsigned char g, unsigned char b);
int redOf(Rgb rgb);    ///< 0 to 255
int greenOf(Rgb rgb);  ///< 0 to 255
int blueOf(Rgb rgb);   ///< 0 to 255

/// The cell a character drawn at a view position (in cells) lands in: the nearest, halves rounding up.
int toCell(float position);

/// A frame as the player sees it: a grid of character cells, each with its character, ink and background.
/// A frame's cells, row by row.
class CellGrid {
public:
    /// One cell of a frame.
    struct Cell {
        char ch;                                   ///< printable, or ' '
        Rgb ink;                                   ///< the character's colour
        Rgb background;                            ///< the cell's colour behind it
        bool operator==(const Cell& other) const;  ///< the same character in the same colours
        bool operator!=(const Cell& other) const;  ///< not ==
    };

    CellGrid(int columns, int rows);  ///< every cell a black space on black

    void setBackground(Rgb background);  ///< behind every later character, and what clear() leaves
    Rgb getBackground() const;           ///< what clear() leaves
    /// A character on the background; outside the grid nothing happens, unprintable characters show '?'.
    void put(int column, int row, char ch, Rgb ink);
    /// A cell covered by a filled figure: its background and ink take the figure's colour, weighted by
    /// opacity.
    void fill(int column, int row, Rgb color, unsigned char opacity);
    void set(int column, int row, const Cell& cell);  ///< a copy of another grid's cell
    void clear();                                     ///< every cell a space on the background

    const Cell& at(int column, int row) const;  ///< column and row within the grid
    int getColumns() const;                     ///< width in cells
    int getRows() const;                        ///< height in cells

    /// The characters, then the ink of every non-blank cell and every cell's background as a letter per
    /// colour (k r g y b m c w for the eight named colours, '.' for the grid's background, A-Z for others,
    /// listed in a legend), readable in a diff.
    std::string toText() const;

private:
    int index(int column, int row) const;

    int m_columns;
    int m_rows;
    Rgb m_background;
    std::vector<Cell> m_cells;
};

}  // namespace vl

#endif
