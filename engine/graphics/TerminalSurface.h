// SPDX-License-Identifier: MIT
#ifndef VL_TERMINAL_SURFACE_H
#define VL_TERMINAL_SURFACE_H

#include <string>

#include <veltrane/graphics/CellGrid.h>

namespace vl {

class TerminalSession;

/// The nearest colour of the terminal's palettes: the 6 x 6 x 6 cube and grey ramp of 256-colour terminals,
/// and the 8 basic colours.
int nearest256(Rgb rgb);
int nearest8(Rgb rgb);

/// A frame of coloured character cells shown in the terminal: only the cells that changed since the last
/// frame are written, with the terminal database's sequences, in the colours it says the terminal has,
/// in one write per frame.
class TerminalSurface {
public:
    TerminalSurface(TerminalSession& session, int width, int height);

    /// Writes the cells of frame that differ from what the terminal shows, in one update. A terminal
    /// smaller than the grid shows a one-line request for more room until it is enlarged.
    void present(const CellGrid& frame);
    void redrawAll();           ///< the next present writes every cell
    int getColorCount() const;  ///< 16777216 (direct colour), 256, 8, or 0 without colour

private:
    void waitForRoom();
    void showTooSmall();
    void writeCell(int column, int row, const CellGrid::Cell& cell);
    void append(const char* p_capability);
    int colorNumber(Rgb rgb) const;

    TerminalSession& m_session;
    int m_columns;
    int m_rows;
    CellGrid m_shown;  //!< what the terminal shows
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
