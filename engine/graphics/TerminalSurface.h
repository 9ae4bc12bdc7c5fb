// SPDX-License-Identifier: MIT
// A frame of coloured character cells shown in the terminal: only the cells that changed since the last
// frame are written, with the terminal database's sequences, in the colours it says the terminal has,
// in one write per frame.
#ifndef VL_TERMINAL_SURFACE_H
#define VL_TERMINAL_SURFACE_H

#include <cstdint>
#include <string>
#include <vector>

namespace vl {

class TerminalSession;

// 0xRRGGBB
using Rgb = uint32_t;
Rgb toRgb(unsigned char r, unsigned char g, unsigned char b);

// The nearest colour of the terminal's palettes: the 6 x 6 x 6 cube and grey ramp of 256-colour terminals,
// and the 8 basic colours.
int nearest256(Rgb rgb);
int nearest8(Rgb rgb);

class TerminalSurface {
public:
    TerminalSurface(TerminalSession& session, int width, int height);

    void setBackground(Rgb background);  // from the next frame on, and behind every later character
    // A character on this frame's background; outside the grid nothing happens.
    void put(int column, int row, char ch, Rgb foreground);
    // A cell covered by a filled figure: its background (and the ink on it) take the figure's colour,
    // weighted by opacity.
    void fill(int column, int row, Rgb color, unsigned char opacity);

    // Writes the cells that differ from what the terminal shows, in one update, and starts the next frame.
    // A terminal smaller than the grid shows a one-line request for more room until it is enlarged.
    void present();
    void redrawAll();           // the next present writes every cell
    int getColorCount() const;  // 16777216 (direct colour), 256, 8, or 0 without colour

private:
    struct Cell {
        char ch;
        Rgb foreground;
        Rgb background;
        bool operator!=(const Cell& other) const;
    };

    void waitForRoom();
    void showTooSmall();
    void writeCell(int column, int row, const Cell& cell);
    void append(const char* p_capability);
    int colorNumber(Rgb rgb) const;

    TerminalSession& m_session;
    int m_columns;
    int m_rows;
    std::vector<Cell> m_frame;  //!< being drawn
    std::vector<Cell> m_shown;  //!< what the terminal shows
    Rgb m_background;
    bool m_redraw_all;
    int m_color_count;
    std::string m_output;  //!< this frame's bytes, written at once
    int m_cursor_column;   //!< where the terminal's cursor is while the frame is written
    int m_cursor_row;
    int m_current_foreground;  //!< colour numbers set so far in this frame, -1 none
    int m_current_background;
};

}  // namespace vl

#endif
