// SPDX-License-Identifier: MIT
// The desktop's surfaces: the window, drawn with the graphics library at exact pixels, or the terminal.
#include <veltrane/graphics/DisplayManager.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

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

DisplayManager::Surface* DisplayManager::createSurface() {
    return new Surface;
}

void DisplayManager::SurfaceDeleter::operator()(Surface* p_surface) const {
    delete p_surface;
}

void DisplayManager::routeLibraryErrors() {
    routeSfmlErrors();
}

void DisplayManager::restoreLibraryErrors() {
    restoreSfmlErrors();
}

int DisplayManager::openSurface() {
    return Config::getInstance().getTerminal() ? openTerminal() : openWindow();
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
    updateCharacterSize();

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

void DisplayManager::closeSurface() {
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
}

bool DisplayManager::canDraw() const {
    if (refuseUnlessStarted()) {
        return false;
    }
    // Headless there is never a window; a started display otherwise always has one, or a terminal.
    return m_p_surface->m_p_window != nullptr || m_p_surface->m_p_terminal != nullptr;
}

void DisplayManager::drawOnSurface(Vector view_pos, char ch, unsigned char r, unsigned char g,
                                   unsigned char b, float rotation) const {
    Surface& surface = *m_p_surface;
    if (!surface.m_p_window) {
        return;  // headless and in the terminal, the cells are the picture
    }
    const Vector pixel = spacesToPixels(view_pos);
    const float cell_width = charWidth();
    const float cell_height = charHeight();
    // The background sits a tenth of a cell left and a fifth down, where the bold glyph's ink falls.
    const sf::Vector2f rect_pos(pixel.getX() - cell_width / 10, pixel.getY() + cell_height / 5);
    const sf::Vector2f text_pos(pixel.getX(), pixel.getY());
    const sf::Color glyph_color(r, g, b, 255);

    if (m_batching) {
        surface.m_p_batch->addCharacter(rect_pos, sf::Vector2f(cell_width, cell_height), surface.m_background,
                                        text_pos, ch, glyph_color, rotation);
        return;
    }
    surface.m_rectangle.setPosition(rect_pos);
    surface.m_rectangle.setRotation(rotation);
    surface.m_p_window->draw(surface.m_rectangle);
    surface.m_text.setString(std::string(1, ch));
    surface.m_text.setPosition(text_pos);
    surface.m_text.setFillColor(glyph_color);
    surface.m_text.setRotation(rotation);
    surface.m_p_window->draw(surface.m_text);
}

void DisplayManager::drawShapeOnSurface(const sf::Shape& shape) const {
    if (!m_p_surface->m_p_window) {
        return;
    }
    if (m_batching) {
        m_p_surface->m_p_batch->addShape(shape);
    } else {
        m_p_surface->m_p_window->draw(shape);
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

void DisplayManager::presentSurface() {
    Surface& surface = *m_p_surface;
    if (surface.m_p_terminal) {
        surface.m_p_terminal->present(*m_p_cells);
    } else if (surface.m_p_window) {
        surface.m_p_batch->submit(*surface.m_p_window);
        surface.m_p_window->display();
        surface.m_p_window->clear(surface.m_background);
        surface.m_p_batch->startFrame(surface.m_background);
    }
}

void DisplayManager::setSurfaceBackground(const sf::Color& background) {
    m_p_surface->m_background = background;
    m_p_surface->m_rectangle.setFillColor(background);
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

}  // namespace vl
