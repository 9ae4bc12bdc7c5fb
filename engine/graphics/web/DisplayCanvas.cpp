// SPDX-License-Identifier: MIT
// The browser's surface: the page's canvas, painted from the frame's cells (canvas-library.js). Only
// the cells that changed since the last frame are sent, and the page paints them where the window
// would: the background a tenth of a cell left and a fifth down, the glyph at the cell's corner.
#include <veltrane/graphics/DisplayManager.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Shape.hpp>

#include "../SfmlColor.h"
#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>

extern "C" {
// 0; -1 without a canvas on the page. The font is the file at font_path, in the packed data.
int vl_canvas_open(int columns, int rows, int width, int height, const char* font_path, int character_size);
// count cells of four words each: index, character, ink, background (0xRRGGBB); full repaints the whole
// canvas, cleared to clear_rgb first.
void vl_canvas_paint(const uint32_t* p_cells, int count, uint32_t clear_rgb, int full);
int vl_canvas_take_repaint();  // 1 once the font has arrived since the last call
void vl_canvas_close();
}

namespace vl {

namespace {

// TrueType and OpenType files, and collections of them, start with one of these.
bool looksLikeFont(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char tag[4] = {};
    if (!file.read(tag, sizeof tag)) {
        return false;
    }
    const char* const tags[] = {"\x00\x01\x00\x00", "true", "OTTO", "ttcf"};
    for (const char* p_tag : tags) {
        if (std::memcmp(tag, p_tag, sizeof tag) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

struct DisplayManager::Surface {
    sf::Color m_background = sf::Color::Black;
    bool m_open = false;
    std::unique_ptr<CellGrid> m_p_shown;  //!< what the canvas shows; null before the first frame
    std::vector<uint32_t> m_changes;      //!< this frame's cells for the page, four words each
};

DisplayManager::Surface* DisplayManager::createSurface() {
    return new Surface;
}

void DisplayManager::SurfaceDeleter::operator()(Surface* p_surface) const {
    delete p_surface;
}

void DisplayManager::routeLibraryErrors() {}

void DisplayManager::restoreLibraryErrors() {}

int DisplayManager::openSurface() {
    const LogManager& log = LogManager::getInstance();
    const Config& config = Config::getInstance();
    if (m_window_horizontal_pixels == 0 || m_window_vertical_pixels == 0) {
        log.writeLog("DisplayManager::startUp(): Error! The page needs the window's size in pixels "
                     "(window_horizontal_pixels and window_vertical_pixels).");
        return -1;
    }
    if (!looksLikeFont(config.getFontFile())) {
        log.writeLog("DisplayManager::startUp(): Error! Unable to open font from file '%s'.",
                     config.getFontFile().c_str());
        return -1;
    }
    if (vl_canvas_open(m_window_horizontal_chars, m_window_vertical_chars, m_window_horizontal_pixels,
                       m_window_vertical_pixels, config.getFontFile().c_str(),
                       static_cast<int>(m_character_size)) != 0) {
        log.writeLog("DisplayManager::startUp(): Unable to allocate window! The page has no canvas.");
        return -1;
    }
    Surface& surface = *m_p_surface;
    surface.m_open = true;
    surface.m_p_shown.reset();
    surface.m_background = colorToSFML(static_cast<Color>(config.getWindowBackgroundColor()));
    log.writeLog(5, "DisplayManager::startUp(): drawing %d x %d cells on the page's canvas (%d x %d pixels).",
                 m_window_horizontal_chars, m_window_vertical_chars, m_window_horizontal_pixels,
                 m_window_vertical_pixels);
    return 0;
}

void DisplayManager::closeSurface() {
    if (m_p_surface->m_open) {
        vl_canvas_close();
    }
    m_p_surface->m_open = false;
    m_p_surface->m_p_shown.reset();
}

bool DisplayManager::canDraw() const {
    if (refuseUnlessStarted()) {
        return false;
    }
    return m_p_surface->m_open;
}

// The canvas is painted from the cells alone.
void DisplayManager::drawOnSurface(Vector, char, unsigned char, unsigned char, unsigned char, float) const {}

void DisplayManager::drawShapeOnSurface(const sf::Shape&) const {}

int DisplayManager::flush() const {
    return canDraw() ? 0 : -1;  // the canvas is painted once, when the frame is shown
}

void DisplayManager::presentSurface() {
    Surface& surface = *m_p_surface;
    if (!surface.m_open) {
        return;
    }
    const CellGrid& frame = *m_p_cells;
    const bool full = surface.m_p_shown == nullptr || vl_canvas_take_repaint() != 0 ||
                      surface.m_p_shown->getBackground() != frame.getBackground();
    if (surface.m_p_shown == nullptr) {
        surface.m_p_shown = std::make_unique<CellGrid>(frame.getColumns(), frame.getRows());
    }
    CellGrid& shown = *surface.m_p_shown;
    surface.m_changes.clear();
    for (int row = 0; row < frame.getRows(); row++) {
        for (int column = 0; column < frame.getColumns(); column++) {
            const CellGrid::Cell& cell = frame.at(column, row);
            if (!full && cell == shown.at(column, row)) {
                continue;
            }
            shown.set(column, row, cell);
            surface.m_changes.push_back(static_cast<uint32_t>(row * frame.getColumns() + column));
            surface.m_changes.push_back(static_cast<unsigned char>(cell.ch));
            surface.m_changes.push_back(cell.ink);
            surface.m_changes.push_back(cell.background);
        }
    }
    shown.setBackground(frame.getBackground());
    if (!surface.m_changes.empty() || full) {
        vl_canvas_paint(surface.m_changes.data(), static_cast<int>(surface.m_changes.size() / 4),
                        frame.getBackground(), full ? 1 : 0);
    }
}

void DisplayManager::setSurfaceBackground(const sf::Color& background) {
    m_p_surface->m_background = background;
}

sf::Color DisplayManager::getBackgroundColor() const {
    return m_p_surface->m_background;
}

sf::RenderWindow* DisplayManager::getWindow() const {
    return nullptr;
}

bool DisplayManager::isTerminal() const {
    return false;
}

void DisplayManager::setBatching(bool batching) {
    m_batching = batching;
}

void DisplayManager::setCulling(bool culling) {
    m_culling = culling;
}

}  // namespace vl
