// SPDX-License-Identifier: MIT
// What every display shares: the cells of the frame, the cell geometry, strings and the screens written for
// replays. Where the frame is shown is each build's own (DisplayWindow.cpp, web/DisplayCanvas.cpp).
#include <veltrane/graphics/DisplayManager.h>

#include <cmath>
#include <fstream>
#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Shape.hpp>

#include "SfmlColor.h"
#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>

namespace vl {

namespace {

const unsigned int MAX_CHARACTER_SIZE = 512;  // beyond this glyphs no longer fit the font's texture pages

float cellSize(int pixels, int chars) {
    if (chars <= 0) {
        return 0;
    }
    return static_cast<float>(pixels) / static_cast<float>(chars);
}

// font_scale times the smaller cell dimension, truncated; kept within sizes the font can render.
unsigned int characterSizeFor(float font_scale, float cell_width, float cell_height) {
    const float smaller = cell_height > cell_width ? cell_width : cell_height;
    const float size = font_scale * smaller;
    if (!(size >= 1.0f)) {
        return 1;
    }
    if (size > static_cast<float>(MAX_CHARACTER_SIZE)) {
        return MAX_CHARACTER_SIZE;
    }
    return static_cast<unsigned int>(size);
}

}  // namespace

float charWidth() {
    const DisplayManager& display = DisplayManager::getInstance();
    return cellSize(display.getHorizontalPixels(), display.getHorizontalChars());
}

float charHeight() {
    const DisplayManager& display = DisplayManager::getInstance();
    return cellSize(display.getVerticalPixels(), display.getVerticalChars());
}

Vector spacesToPixels(Vector spaces) {
    const Vector pixels(spaces.getX() * charWidth(), spaces.getY() * charHeight());
    LogManager::getInstance().writeLog(30, "spacesToPixels(int): spaces (%.2f,%.2f) = pixels (%.2f,%.2f)",
                                       static_cast<double>(spaces.getX()), static_cast<double>(spaces.getY()),
                                       static_cast<double>(pixels.getX()),
                                       static_cast<double>(pixels.getY()));
    return pixels;
}

Vector pixelsToSpaces(Vector pixels) {
    const float width = charWidth();
    const float height = charHeight();
    const Vector spaces(width > 0 ? pixels.getX() / width : 0, height > 0 ? pixels.getY() / height : 0);
    LogManager::getInstance().writeLog(30, "pixelsToSpaces(): pixels (%.2f,%.2f) = spaces (%.2f,%.2f)",
                                       static_cast<double>(pixels.getX()), static_cast<double>(pixels.getY()),
                                       static_cast<double>(spaces.getX()),
                                       static_cast<double>(spaces.getY()));
    return spaces;
}

Vector worldToView(const Vector& world_pos) {
    return world_pos - DisplayManager::getInstance().getViewCorner();
}

Vector viewToWorld(const Vector& view_pos) {
    return view_pos + DisplayManager::getInstance().getViewCorner();
}

DisplayManager::DisplayManager()
    : m_p_surface(createSurface()), m_p_cells(std::make_unique<CellGrid>(0, 0)),
      m_window_horizontal_pixels(Config::getInstance().getWindowHorizontalPixels()),
      m_window_vertical_pixels(Config::getInstance().getWindowVerticalPixels()),
      m_window_horizontal_chars(Config::getInstance().getWindowHorizontalChars()),
      m_window_vertical_chars(Config::getInstance().getWindowVerticalChars()), m_headless(false),
      m_batching(true), m_culling(true), m_character_size(0), m_glyph_scale(1.0f) {
    setType("DisplayManager");
}

DisplayManager::~DisplayManager() = default;

DisplayManager& DisplayManager::getInstance() {
    static DisplayManager instance;
    return instance;
}

int DisplayManager::startUp() {
    const LogManager& log = LogManager::getInstance();
    if (refuseIfStarted()) {
        return -1;
    }
    const Config& config = Config::getInstance();
    m_window_horizontal_pixels = config.getWindowHorizontalPixels();
    m_window_vertical_pixels = config.getWindowVerticalPixels();
    m_window_horizontal_chars = config.getWindowHorizontalChars();
    m_window_vertical_chars = config.getWindowVerticalChars();
    // Cells are divided by these counts everywhere: a zero or negative count would make every position NaN.
    if (m_window_horizontal_chars < 1 || m_window_vertical_chars < 1 || m_window_horizontal_pixels < 0 ||
        m_window_vertical_pixels < 0) {
        log.writeLog("DisplayManager::startUp(): Error! Window of %d x %d pixels and %d x %d characters "
                     "is not valid.",
                     m_window_horizontal_pixels, m_window_vertical_pixels, m_window_horizontal_chars,
                     m_window_vertical_chars);
        return -1;
    }

    m_p_cells = std::make_unique<CellGrid>(m_window_horizontal_chars, m_window_vertical_chars);
    const sf::Color background = colorToSFML(static_cast<Color>(config.getWindowBackgroundColor()));
    m_p_cells->setBackground(toRgb(background.r, background.g, background.b));
    m_p_cells->clear();
    m_screen_paths.clear();

    // Library complaints (vertical sync, GL context, audio device) belong in the log, not on the console.
    routeLibraryErrors();

    updateCharacterSize();
    m_headless = config.getHeadless();
    if (m_headless) {
        log.writeLog(1, "DisplayManager::startUp(): no graphics in headless mode.");
    } else if (openSurface() != 0) {
        return -1;
    }

    if (Manager::startUp() != 0) {
        return -1;
    }
    log.writeLog(5, "DisplayManager::startUp(): successfully started.");
    return 0;
}

void DisplayManager::updateCharacterSize() {
    m_character_size = characterSizeFor(Config::getInstance().getFontScale(), charWidth(), charHeight());
}

void DisplayManager::shutDown() {
    writeScreens();  // the last frame drawn is never shown by a swap
    closeSurface();
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "DisplayManager::shutDown(): successfully stopped.");
    restoreLibraryErrors();
}

int DisplayManager::drawCharacter(Vector world_pos, char ch, Color color, float rotation) const {
    // CUSTOM and unsupported colours have no components of their own: draw them white.
    unsigned char r = 255;
    unsigned char g = 255;
    unsigned char b = 255;
    colorToRGB(color, r, g, b);
    return drawCharacter(world_pos, ch, r, g, b, rotation);
}

int DisplayManager::drawCharacter(Vector world_pos, char ch, unsigned char r, unsigned char g,
                                  unsigned char b, float rotation) const {
    if (refuseUnlessStarted()) {
        return -1;
    }
    const Vector view = worldToView(world_pos);
    m_p_cells->put(toCell(view.getX()), toCell(view.getY()), ch, toRgb(r, g, b));
    drawOnSurface(view, ch, r, g, b, rotation);
    return 0;
}

int DisplayManager::drawString(Vector world_pos, std::string str, Justification just, Color color) const {
    if (refuseUnlessStarted()) {
        return -1;
    }
    Vector start = world_pos;
    const int length = static_cast<int>(str.size());
    if (just == CENTER) {
        start.setX(start.getX() - static_cast<float>(length / 2));
    } else if (just == RIGHT) {
        start.setX(start.getX() - static_cast<float>(length));
    }
    for (int i = 0; i < length; i++) {
        drawCharacter(Vector(start.getX() + static_cast<float>(i), start.getY()), str[static_cast<size_t>(i)],
                      color, 0);
    }
    return 0;
}

int DisplayManager::drawShape(const sf::Shape& shape) const {
    if (refuseUnlessStarted()) {
        return -1;
    }
    drawShapeInCells(shape);
    drawShapeOnSurface(shape);
    return 0;
}

// A cell takes the figure's colour when the middle of its ink falls inside the figure; a figure
// smaller than a cell still colours the one cell under its middle.
void DisplayManager::drawShapeInCells(const sf::Shape& shape) const {
    const float cell_width = charWidth();
    const float cell_height = charHeight();
    if (cell_width <= 0 || cell_height <= 0 || shape.getPointCount() < 3) {
        return;
    }
    const sf::Transform& transform = shape.getTransform();
    const size_t count = shape.getPointCount();
    std::vector<sf::Vector2f> points(count);
    for (size_t i = 0; i < count; i++) {
        points[i] = transform.transformPoint(shape.getPoint(i));
    }
    const auto inside = [&points](sf::Vector2f p) {
        int sign = 0;
        for (size_t i = 0; i < points.size(); i++) {
            const sf::Vector2f a = points[i];
            const sf::Vector2f b = points[(i + 1) % points.size()];
            const float cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
            const int side = cross > 0 ? 1 : (cross < 0 ? -1 : 0);
            if (side != 0 && sign != 0 && side != sign) {
                return false;
            }
            sign = side != 0 ? side : sign;
        }
        return true;
    };
    const sf::FloatRect bounds = shape.getGlobalBounds();
    const sf::Color fill = shape.getFillColor();
    const Rgb color = toRgb(fill.r, fill.g, fill.b);
    // Ink sits a tenth of a cell left and a fifth down of a character's position (as in the window).
    const int first_column = static_cast<int>(std::floor(bounds.left / cell_width));
    const int last_column = static_cast<int>(std::ceil((bounds.left + bounds.width) / cell_width));
    const int first_row = static_cast<int>(std::floor(bounds.top / cell_height)) - 1;
    const int last_row = static_cast<int>(std::ceil((bounds.top + bounds.height) / cell_height));
    bool covered = false;
    for (int row = first_row; row <= last_row; row++) {
        for (int column = first_column; column <= last_column; column++) {
            const sf::Vector2f middle((static_cast<float>(column) + 0.4f) * cell_width,
                                      (static_cast<float>(row) + 0.7f) * cell_height);
            if (inside(middle)) {
                m_p_cells->fill(column, row, color, fill.a);
                covered = true;
            }
        }
    }
    if (!covered) {
        const float x = bounds.left + bounds.width / 2;
        const float y = bounds.top + bounds.height / 2;
        m_p_cells->fill(static_cast<int>(std::floor(x / cell_width - 0.4f + 0.5f)),
                        static_cast<int>(std::floor(y / cell_height - 0.7f + 0.5f)), color, fill.a);
    }
}

int DisplayManager::swapBuffers() {
    if (refuseUnlessStarted()) {
        return -1;
    }
    writeScreens();
    presentSurface();
    m_p_cells->clear();
    return 0;
}

const CellGrid& DisplayManager::getCells() const {
    return *m_p_cells;
}

void DisplayManager::saveScreen(const std::string& path) {
    m_screen_paths.push_back(path);
}

void DisplayManager::writeScreens() {
    const LogManager& log = LogManager::getInstance();
    for (const std::string& path : m_screen_paths) {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << m_p_cells->toText();
        if (!file.flush()) {
            log.writeLog("DisplayManager::swapBuffers(): Error! Cannot write screen file '%s'.",
                         path.c_str());
            continue;
        }
        log.writeLog(5, "DisplayManager::swapBuffers(): screen written to '%s'.", path.c_str());
    }
    m_screen_paths.clear();
}

bool DisplayManager::setBackgroundColor(Color color) {
    const sf::Color background = colorToSFML(color);
    m_p_cells->setBackground(toRgb(background.r, background.g, background.b));
    if (m_headless || Config::getInstance().getHeadless()) {
        return false;
    }
    setSurfaceBackground(background);
    return true;
}

void DisplayManager::setViewCorner(Vector corner) {
    m_view_corner = corner;
}

Vector DisplayManager::getViewCorner() const {
    return m_view_corner;
}

int DisplayManager::getHorizontalChars() const {
    return m_window_horizontal_chars;
}

int DisplayManager::getVerticalChars() const {
    return m_window_vertical_chars;
}

int DisplayManager::getHorizontalPixels() const {
    return m_window_horizontal_pixels;
}

int DisplayManager::getVerticalPixels() const {
    return m_window_vertical_pixels;
}

unsigned int DisplayManager::getCharacterSize() const {
    return m_character_size;
}

float DisplayManager::getGlyphScale() const {
    return m_glyph_scale;
}

bool DisplayManager::isShowing() const {
    return isStarted() && !m_headless;
}

bool DisplayManager::isCulling() const {
    return m_culling;
}

bool DisplayManager::isBatching() const {
    return m_batching;
}

}  // namespace vl
