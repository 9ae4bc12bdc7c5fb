// SPDX-License-Identifier: MIT
#ifndef VL_DISPLAY_MANAGER_H
#define VL_DISPLAY_MANAGER_H

#include <memory>
#include <string>
#include <vector>

#include <veltrane/core/Manager.h>
#include <veltrane/core/Vector.h>
#include <veltrane/graphics/CellGrid.h>
#include <veltrane/graphics/Color.h>

namespace sf {
class Color;
class RenderWindow;
class Shape;
}  // namespace sf

namespace vl {

enum Justification : int {
    LEFT = 0,
    CENTER = 1,
    RIGHT = 2,
};

float charWidth();                            ///< pixels per cell horizontally (0 without cells)
float charHeight();                           ///< pixels per cell vertically (0 without cells)
Vector spacesToPixels(Vector spaces);         ///< cells to pixels
Vector pixelsToSpaces(Vector pixels);         ///< pixels to cells (0 along an axis without cells)
Vector worldToView(const Vector& world_pos);  ///< minus the view's corner
Vector viewToWorld(const Vector& view_pos);   ///< plus the view's corner

/// The window or the terminal: draws coloured characters in a grid of cells, and converts between cells and
/// pixels.
class DisplayManager : public Manager {
public:
    /// The one display of the program.
    static DisplayManager& getInstance();
    ~DisplayManager() override;

    /// Opens the window and font from the configuration (or only sets the cell geometry when headless).
    /// -1 when already started, the X display cannot be reached, or the window or font cannot be made.
    [[nodiscard]] int startUp() override;
    void shutDown() override;  ///< closes and frees the window; the font stays loaded

    /// One character at a world position in cells, on a background-coloured cell. rotation in degrees.
    /// 0 when drawn (into the cells, and in a window queued in the frame's batch); -1 when not started.
    /// CUSTOM and unsupported colours have no components of their own and draw white.
    int drawCharacter(Vector world_pos, char ch, Color color, float rotation = 0) const;
    /// The same in the colour r, g, b; 0 or -1 as above.
    int drawCharacter(Vector world_pos, char ch, unsigned char r, unsigned char g, unsigned char b,
                      float rotation = 0) const;
    /// A string justified around world_pos; 0 when started (whatever each character gave).
    int drawString(Vector world_pos, std::string str, Justification just, Color color) const;
    /// A filled window-system figure, in pixels, drawn in order with the characters; -1 when not started.
    int drawShape(const sf::Shape& shape) const;

    int flush() const;  ///< hands the frame drawn so far to the window without showing it; -1 without one
    /// Shows the frame drawn since the last call and clears to the background colour (headless, only the
    /// cells); -1 when not started.
    int swapBuffers();
    /// false headless; applies to later characters and clears (the cells follow it headless too)
    bool setBackgroundColor(Color color);

    /// The frame being drawn, as cells, in every mode: each character lands in the cell nearest its view
    /// position (toCell), a figure colours the cells under it. The window draws at exact pixels instead.
    const CellGrid& getCells() const;
    /// Writes the cells of the frame being drawn to path (CellGrid::toText) when it is shown, at the next
    /// swapBuffers or at shut-down. A file that cannot be written is logged.
    void saveScreen(const std::string& path);

    /// The world position drawn at the window's top-left corner; the world manager sets it to its view's
    /// corner whenever the view changes.
    void setViewCorner(Vector corner);
    /// The world position of the view's top-left corner.
    Vector getViewCorner() const;

    int getHorizontalChars() const;         ///< window width in character cells
    int getVerticalChars() const;           ///< window height in character cells
    int getHorizontalPixels() const;        ///< window width in pixels
    int getVerticalPixels() const;          ///< window height in pixels
    unsigned int getCharacterSize() const;  ///< glyph size in pixels chosen at start-up
    float getGlyphScale() const;            ///< horizontal scale that fits the widest glyph in its cell
    /// The colour cells are cleared to.
    sf::Color getBackgroundColor() const;
    /// null before start-up, headless and after shut-down; not owned. Drawing into it directly between
    /// swaps bypasses the batch: call setBatching(false) first, as for any direct drawing.
    sf::RenderWindow* getWindow() const;
    /// true when started to draw in the terminal the program runs in (configuration key terminal)
    bool isTerminal() const;
    /// true when started with something to show the frame in: a window, a terminal or a page's canvas
    bool isShowing() const;

    /// true (the default): one draw call per frame; false: two per character, the reference the batch
    /// is tested against
    void setBatching(bool batching);
    /// Whether characters are drawn in one batch per frame.
    bool isBatching() const;
    /// true (the default): a batched cell's background is drawn only over what the frame drew before it
    /// there, since elsewhere it repaints the cleared colour; the picture is the same either way.
    void setCulling(bool culling);
    /// Whether the batch leaves out characters outside the window.
    bool isCulling() const;

private:
    /// Where the frame is shown, defined by each build: the window-system objects (font, window, cell
    /// background, text and batch) or the terminal on the desktop, the page's canvas in the browser.
    struct Surface;
    struct SurfaceDeleter {
        void operator()(Surface* p_surface) const;
    };

    DisplayManager();
    static Surface* createSurface();
    static void routeLibraryErrors();    ///< the drawing library's complaints go to the log
    static void restoreLibraryErrors();  ///< and back where they were
    [[nodiscard]] int openSurface();     ///< a window, the terminal or the page's canvas; -1 logged
    void updateCharacterSize();          ///< glyphs sized to the cells, from the font scale
    [[nodiscard]] int openWindow();
    [[nodiscard]] int openTerminal();
    void closeSurface();
    /// A character at its exact view position in cells, where the surface draws them so (the window).
    void drawOnSurface(Vector view_pos, char ch, unsigned char r, unsigned char g, unsigned char b,
                       float rotation) const;
    void drawShapeOnSurface(const sf::Shape& shape) const;
    void presentSurface();  ///< the frame drawn so far becomes visible
    void setSurfaceBackground(const sf::Color& background);
    void drawShapeInCells(const sf::Shape& shape) const;
    [[nodiscard]] bool canDraw() const;  ///< started with a window; logs when not started
    void writeScreens();                 ///< the screens asked for, of the frame drawn so far

    std::unique_ptr<Surface, SurfaceDeleter> m_p_surface;  //!< as long as the manager: the font stays loaded
    std::unique_ptr<CellGrid> m_p_cells;                   //!< the frame being drawn, in every mode
    std::vector<std::string> m_screen_paths;               //!< screens to write when the frame is shown
    int m_window_horizontal_pixels;
    int m_window_vertical_pixels;
    int m_window_horizontal_chars;
    int m_window_vertical_chars;
    Vector m_view_corner;  //!< world position of the window's top-left corner
    bool m_headless;
    bool m_batching;
    bool m_culling;  //!< backgrounds only where they cover earlier ink
    unsigned int m_character_size;
    float m_glyph_scale;
};

}  // namespace vl

#endif
