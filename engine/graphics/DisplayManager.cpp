// SPDX-License-Identifier: MIT
#include <veltrane/graphics/DisplayManager.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Shape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/String.hpp>
#include <SFML/Window/VideoMode.hpp>
#include <SFML/Window/WindowStyle.hpp>

#include "BatchRenderer.h"
#include "SfmlColor.h"
#include "SfmlErrors.h"
#include "TerminalSurface.h"
#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/TerminalSession.h>
#include <veltrane/platform/DisplayProbe.h>
#include <veltrane/platform/WindowErrors.h>

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

// Squeezes glyphs sideways just enough that the widest printable one ends, with the half pixel its
// smoothed edge takes, where the next cell's background begins: nine tenths of a cell right of the pen.
float glyphScaleFor(const sf::Font& font, unsigned int character_size, float cell_width) {
    float widest = 0;
    for (uint32_t code = '!'; code <= '~'; code++) {
        const sf::FloatRect bounds = font.getGlyph(code, character_size, true).bounds;
        widest = std::max(widest, bounds.left + bounds.width);
    }
    const float room = cell_width * 0.9f - 0.5f;
    return widest > room ? room / widest : 1.0f;
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

struct DisplayManager::Surface {
    sf::Font m_font;
    sf::Color m_background = sf::Color::Black;  //!< the window is cleared to it and each cell drawn on it
    std::unique_ptr<sf::RenderWindow> m_p_window;
    sf::RectangleShape m_rectangle;  //!< one cell of background behind each directly drawn character
    sf::Text m_text;                 //!< each directly drawn character
    std::unique_ptr<BatchRenderer> m_p_batch;      //!< this frame's vertices when batching
    std::unique_ptr<TerminalSession> m_p_session;  //!< the terminal taken over instead of a window
    std::unique_ptr<TerminalSurface> m_p_terminal;
};

DisplayManager::DisplayManager()
    : m_p_surface(std::make_unique<Surface>()), m_p_cells(std::make_unique<CellGrid>(0, 0)),
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
    routeSfmlErrors();

    m_character_size = characterSizeFor(config.getFontScale(), charWidth(), charHeight());
    m_headless = config.getHeadless();
    if (m_headless) {
        log.writeLog(1, "DisplayManager::startUp(): no graphics in headless mode.");
    } else if ((config.getTerminal() ? openTerminal() : openWindow()) != 0) {
        return -1;
    }

    if (Manager::startUp() != 0) {
        return -1;
    }
    log.writeLog(5, "DisplayManager::startUp(): successfully started.");
    return 0;
}

int DisplayManager::openWindow() {
    const LogManager& log = LogManager::getInstance();
    const Config& config = Config::getInstance();
    Surface& surface = *m_p_surface;

    // The graphics library aborts the process when it cannot reach the display, so ask first.
    const DisplayProbe probe;
    if (!probe.isReachable()) {
        log.writeLog("DisplayManager::startUp(): Unable to allocate window!");
        log.writeLog("DisplayManager::startUp(): Cannot open X display '%s'. Run headless "
                     "(headless:true in the configuration) or under xvfb-run.",
                     probe.getName().c_str());
        std::fprintf(stderr,
                     "Veltrane: cannot open X display '%s'. Run headless (headless:true in the "
                     "configuration) or under xvfb-run.\n",
                     probe.getName().c_str());
        return -1;
    }

    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    log.writeLog(5, "DisplayManager::startUp(): window resolution (%d, %d) pixels.",
                 static_cast<int>(desktop.width), static_cast<int>(desktop.height));
    if (m_window_horizontal_pixels == 0) {
        m_window_horizontal_pixels = static_cast<int>(desktop.width);
    }
    if (m_window_vertical_pixels == 0) {
        m_window_vertical_pixels = static_cast<int>(desktop.height);
    }
    // The cells, and the glyphs sized to them, follow the desktop's size when it stands in.
    m_character_size = characterSizeFor(config.getFontScale(), charWidth(), charHeight());

    auto style = static_cast<sf::Uint32>(config.getWindowStyle());
    if (config.getWindowState() != 0) {
        style |= sf::Style::Fullscreen;
    }
    const sf::VideoMode mode(static_cast<unsigned int>(m_window_horizontal_pixels),
                             static_cast<unsigned int>(m_window_vertical_pixels), 32);
    surface.m_p_window = std::make_unique<sf::RenderWindow>(mode, sf::String(config.getWindowTitle()), style);
    if (!surface.m_p_window->isOpen()) {
        log.writeLog("DisplayManager::startUp(): Unable to allocate window!");
        return -1;
    }
    // A window destroyed under the game must end it as a close request does, not through a fatal X error.
    platform::catchWindowErrors();
    surface.m_p_window->setMouseCursorVisible(config.getShowMouse());
    surface.m_p_window->setVerticalSyncEnabled(true);

    if (!surface.m_font.loadFromFile(config.getFontFile())) {
        log.writeLog("DisplayManager::startUp(): Error! Unable to open font from file '%s'.",
                     config.getFontFile().c_str());
        std::fprintf(stderr,
                     "Veltrane: cannot load the font file '%s'. Run the game from the directory that holds "
                     "it, or name another with font_file in the configuration.\n",
                     config.getFontFile().c_str());
        return -1;
    }

    surface.m_background = colorToSFML(static_cast<Color>(config.getWindowBackgroundColor()));
    surface.m_rectangle.setSize(sf::Vector2f(charWidth(), charHeight()));
    surface.m_rectangle.setFillColor(surface.m_background);
    surface.m_text.setFont(surface.m_font);
    surface.m_text.setStyle(sf::Text::Bold);
    surface.m_text.setCharacterSize(m_character_size);
    m_glyph_scale = glyphScaleFor(surface.m_font, m_character_size, charWidth());
    surface.m_text.setScale(m_glyph_scale, 1.0f);

    surface.m_p_batch = std::make_unique<BatchRenderer>(surface.m_font, m_character_size, m_glyph_scale);
    surface.m_p_batch->setCulling(m_culling);
    surface.m_p_batch->setBounds(static_cast<float>(m_window_horizontal_pixels),
                                 static_cast<float>(m_window_vertical_pixels));
    log.writeLog(5, "DisplayManager::startUp(): drawing %s.",
                 m_batching ? "each frame in one batch" : "character by character");
    surface.m_p_window->clear(surface.m_background);
    surface.m_p_batch->startFrame(surface.m_background);
    return 0;
}

int DisplayManager::openTerminal() {
    const LogManager& log = LogManager::getInstance();
    Surface& surface = *m_p_surface;
    surface.m_p_session = std::make_unique<TerminalSession>();
    std::string reason;
    if (surface.m_p_session->open(reason) != 0) {
        surface.m_p_session.reset();
        log.writeLog("DisplayManager::startUp(): Error! Cannot draw in the terminal: %s.", reason.c_str());
        std::fprintf(stderr, "Veltrane: cannot play in this terminal: %s.\n", reason.c_str());
        return -1;
    }
    surface.m_p_terminal = std::make_unique<TerminalSurface>(*surface.m_p_session, m_window_horizontal_chars,
                                                             m_window_vertical_chars);
    surface.m_background = colorToSFML(static_cast<Color>(Config::getInstance().getWindowBackgroundColor()));
    log.writeLog(
        "DisplayManager::startUp(): drawing %d x %d cells in the terminal (%d x %d) with %d colours.",
        m_window_horizontal_chars, m_window_vertical_chars, surface.m_p_session->getColumns(),
        surface.m_p_session->getRows(), surface.m_p_terminal->getColorCount());
    return 0;
}

void DisplayManager::shutDown() {
    writeScreens();  // the last frame drawn is never shown by a swap
    Surface& surface = *m_p_surface;
    surface.m_p_terminal.reset();
    if (surface.m_p_session) {
        surface.m_p_session->close();
        surface.m_p_session.reset();
    }
    if (surface.m_p_window) {
        surface.m_p_window->close();
        surface.m_p_window.reset();
    }
    surface.m_p_batch.reset();
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "DisplayManager::shutDown(): successfully stopped.");
    restoreSfmlErrors();
}

bool DisplayManager::canDraw() const {
    if (refuseUnlessStarted()) {
        return false;
    }
    // Headless there is never a window; a started display otherwise always has one, or a terminal.
    return m_p_surface->m_p_window != nullptr || m_p_surface->m_p_terminal != nullptr;
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
    Surface& surface = *m_p_surface;
    if (!surface.m_p_window) {
        return 0;  // headless and in the terminal, the cells are the picture
    }
    const Vector pixel = spacesToPixels(worldToView(world_pos));
    const float cell_width = charWidth();
    const float cell_height = charHeight();
    // The background sits a tenth of a cell left and a fifth down, where the bold glyph's ink falls.
    const sf::Vector2f rect_pos(pixel.getX() - cell_width / 10, pixel.getY() + cell_height / 5);
    const sf::Vector2f text_pos(pixel.getX(), pixel.getY());
    const sf::Color glyph_color(r, g, b, 255);

    if (m_batching) {
        surface.m_p_batch->addCharacter(rect_pos, sf::Vector2f(cell_width, cell_height), surface.m_background,
                                        text_pos, ch, glyph_color, rotation);
        return 0;
    }
    surface.m_rectangle.setPosition(rect_pos);
    surface.m_rectangle.setRotation(rotation);
    surface.m_p_window->draw(surface.m_rectangle);
    surface.m_text.setString(std::string(1, ch));
    surface.m_text.setPosition(text_pos);
    surface.m_text.setFillColor(glyph_color);
    surface.m_text.setRotation(rotation);
    surface.m_p_window->draw(surface.m_text);
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
    if (!m_p_surface->m_p_window) {
        return 0;
    }
    if (m_batching) {
        m_p_surface->m_p_batch->addShape(shape);
    } else {
        m_p_surface->m_p_window->draw(shape);
    }
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

int DisplayManager::flush() const {
    if (!canDraw()) {
        return -1;
    }
    if (m_p_surface->m_p_terminal) {
        return 0;  // the terminal is written once, when the frame is shown
    }
    m_p_surface->m_p_batch->submit(*m_p_surface->m_p_window);
    return 0;
}

int DisplayManager::swapBuffers() {
    if (refuseUnlessStarted()) {
        return -1;
    }
    writeScreens();
    Surface& surface = *m_p_surface;
    if (surface.m_p_terminal) {
        surface.m_p_terminal->present(*m_p_cells);
    } else if (surface.m_p_window) {
        surface.m_p_batch->submit(*surface.m_p_window);
        surface.m_p_window->display();
        surface.m_p_window->clear(surface.m_background);
        surface.m_p_batch->startFrame(surface.m_background);
    }
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
    m_p_surface->m_background = background;
    m_p_surface->m_rectangle.setFillColor(background);
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

sf::Color DisplayManager::getBackgroundColor() const {
    return m_p_surface->m_background;
}

sf::RenderWindow* DisplayManager::getWindow() const {
    return m_p_surface->m_p_window.get();
}

bool DisplayManager::isTerminal() const {
    return m_p_surface->m_p_terminal != nullptr;
}

void DisplayManager::setBatching(bool batching) {
    if (batching == m_batching) {
        return;
    }
    Surface& surface = *m_p_surface;
    // Whatever was queued must reach the window before characters start going there directly.
    if (!batching && surface.m_p_batch && surface.m_p_window) {
        surface.m_p_batch->submit(*surface.m_p_window);
        surface.m_p_batch->forgetFrame();  // the batch cannot see what is drawn directly
    }
    m_batching = batching;
}

void DisplayManager::setCulling(bool culling) {
    m_culling = culling;
    if (m_p_surface->m_p_batch) {
        m_p_surface->m_p_batch->setCulling(culling);
    }
}

bool DisplayManager::isCulling() const {
    return m_culling;
}

bool DisplayManager::isBatching() const {
    return m_batching;
}

}  // namespace vl
