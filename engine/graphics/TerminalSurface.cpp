// SPDX-License-Identifier: MIT
#include "TerminalSurface.h"

#include <curses.h>
#include <term.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include <veltrane/graphics/TerminalSession.h>
#include <veltrane/platform/Platform.h>

namespace vl {

namespace {

const int DIRECT_COLORS = 0x1000000;
const int RESIZE_POLL_MS = 50;

int distance(Rgb a, int r, int g, int b) {
    const int dr = redOf(a) - r;
    const int dg = greenOf(a) - g;
    const int db = blueOf(a) - b;
    return dr * dr + dg * dg + db * db;
}

// The cube's step nearest to one component: steps are 0, 95, 135, 175, 215, 255.
int cubeStep(int value) {
    if (value < 48) {
        return 0;
    }
    if (value < 115) {
        return 1;
    }
    return (value - 35) / 40;
}

int cubeLevel(int step) {
    return step == 0 ? 0 : 55 + step * 40;
}

}  // namespace

int nearest256(Rgb rgb) {
    const int r = cubeStep(redOf(rgb));
    const int g = cubeStep(greenOf(rgb));
    const int b = cubeStep(blueOf(rgb));
    const int cube = 16 + 36 * r + 6 * g + b;
    const int average = (redOf(rgb) + greenOf(rgb) + blueOf(rgb)) / 3;
    const int grey_step = average > 238 ? 23 : (average < 8 ? 0 : (average - 8 + 5) / 10);
    const int grey = 8 + 10 * grey_step;
    const int cube_distance = distance(rgb, cubeLevel(r), cubeLevel(g), cubeLevel(b));
    return distance(rgb, grey, grey, grey) < cube_distance ? 232 + grey_step : cube;
}

int nearest8(Rgb rgb) {
    // ANSI order: red is bit 0, green bit 1, blue bit 2.
    return (redOf(rgb) >= 128 ? 1 : 0) | (greenOf(rgb) >= 128 ? 2 : 0) | (blueOf(rgb) >= 128 ? 4 : 0);
}

TerminalSurface::TerminalSurface(TerminalSession& session, int width, int height)
    : m_session(session), m_columns(width), m_rows(height), m_shown(width, height), m_redraw_all(true),
      m_color_count(0), m_cursor_column(-1), m_cursor_row(-1), m_current_foreground(-1),
      m_current_background(-1) {
    m_output.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 32);
    if (has_colors()) {
        const bool direct = tigetflag(const_cast<char*>("RGB")) > 0 || COLORS >= DIRECT_COLORS;
        m_color_count = direct ? DIRECT_COLORS : (COLORS >= 256 ? 256 : (COLORS >= 8 ? 8 : 0));
    }
}

void TerminalSurface::redrawAll() {
    m_redraw_all = true;
}

int TerminalSurface::getColorCount() const {
    return m_color_count;
}

void TerminalSurface::present(const CellGrid& frame) {
    if (m_session.refreshSize()) {
        m_redraw_all = true;
    }
    waitForRoom();
    m_output.clear();
    m_cursor_column = -1;
    m_cursor_row = -1;
    m_current_foreground = -1;
    m_current_background = -1;
    // Names without the terminal database's macros (columns, lines).
    const int width = std::min(m_columns, frame.getColumns());
    const int height = std::min(m_rows, frame.getRows());
    for (int row = 0; row < height; row++) {
        for (int column = 0; column < width; column++) {
            const CellGrid::Cell& cell = frame.at(column, row);
            if (m_redraw_all || cell != m_shown.at(column, row)) {
                writeCell(column, row, cell);
                m_shown.set(column, row, cell);
            }
        }
    }
    if (!m_output.empty()) {
        append(exit_attribute_mode);
        m_session.writeRaw(m_output);  // the whole frame's changes in one write
    }
    m_redraw_all = false;
}

// The game is paused here, showing the request, until the terminal has room for the whole grid.
void TerminalSurface::waitForRoom() {
    bool waited = false;
    bool resized = false;
    while (m_session.getColumns() < m_columns || m_session.getRows() < m_rows) {
        if (!waited || resized) {
            showTooSmall();
        }
        waited = true;
        platform::sleepMilliseconds(RESIZE_POLL_MS);
        resized = m_session.refreshSize();
    }
    if (waited) {
        flushinp();  // keys typed at the request are not for the game
        m_session.notePause();
        clear();
        refresh();
        m_redraw_all = true;
    }
}

void TerminalSurface::showTooSmall() {
    const std::string message = "Terminal too small: " + std::to_string(m_columns) + "x" +
                                std::to_string(m_rows) + " needed, " +
                                std::to_string(m_session.getColumns()) + "x" +
                                std::to_string(m_session.getRows()) + " here. Enlarge it to play.";
    clear();  // the frame was written past the library: only clearing the whole screen removes it
    attr_set(A_NORMAL, 0, nullptr);
    mvaddnstr(0, 0, message.c_str(), m_session.getColumns());
    refresh();
}

void TerminalSurface::append(const char* p_capability) {
    if (p_capability != nullptr && p_capability != reinterpret_cast<char*>(-1)) {
        m_output += p_capability;
    }
}

// Moves only where the last character did not leave the cursor, and sets only colours that change.
void TerminalSurface::writeCell(int column, int row, const CellGrid::Cell& cell) {
    const bool last_cell = column == m_session.getColumns() - 1 && row == m_session.getRows() - 1;
    if (last_cell && auto_right_margin && !eat_newline_glitch) {
        return;  // writing there would scroll the whole screen up on this terminal
    }
    if (column != m_cursor_column || row != m_cursor_row) {
        append(tiparm(cursor_address, row, column));
    }
    if (m_color_count > 0) {
        const int foreground = colorNumber(cell.ink);
        const int background = colorNumber(cell.background);
        if (foreground != m_current_foreground) {
            append(tiparm(set_a_foreground, foreground));
            m_current_foreground = foreground;
        }
        if (background != m_current_background) {
            append(tiparm(set_a_background, background));
            m_current_background = background;
        }
    }
    m_output += cell.ch;
    m_cursor_column = column + 1;
    m_cursor_row = row;
}

int TerminalSurface::colorNumber(Rgb rgb) const {
    if (m_color_count == DIRECT_COLORS) {
        return rgb < 8 ? 8 : static_cast<int>(rgb);  // numbers below 8 name the palette, not a colour
    }
    return m_color_count == 256 ? nearest256(rgb) : nearest8(rgb);
}

}  // namespace vl
