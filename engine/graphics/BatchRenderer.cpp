// SPDX-License-Identifier: MIT
#include "BatchRenderer.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/Graphics/Transformable.hpp>
#include <SFML/System/String.hpp>

namespace vl {

namespace {

// Every font page keeps a white 2x2 block at its top-left corner: sampling its middle gives plain colour,
// so untextured figures share the glyphs' texture and draw call.
const float WHITE_U = 1.0f;
const float WHITE_V = 1.0f;

// The text object pads each glyph quad by one pixel; copying it keeps the pictures identical.
const float GLYPH_PADDING = 1.0f;

const size_t INITIAL_VERTICES = 80 * 24 * 12;

// Ink is indexed by 16-pixel tiles; anything beyond the grid lands in its edge tiles.
const float TILE_PIXELS = 16.0f;
const size_t TILE_COLUMNS = 256;
const size_t TILE_ROWS = 160;
const size_t MAX_TILES_PER_INK = 64;  // larger boxes are checked by every background instead

}  // namespace

BatchRenderer::BatchRenderer(const sf::Font& font, unsigned int character_size, float glyph_scale)
    : m_font(font), m_character_size(character_size), m_glyph_scale(glyph_scale), m_glyph_known{},
      m_bounded(false), m_culling(true), m_clear_known(false), m_tile_head(TILE_COLUMNS * TILE_ROWS, -1),
      m_tile_stamp(TILE_COLUMNS * TILE_ROWS, 0), m_frame(0), m_query(0) {
    m_vertices.reserve(INITIAL_VERTICES);
    m_ink.reserve(80 * 24 * 2);
    m_ink_visited.reserve(80 * 24 * 2);
    m_links.reserve(80 * 24 * 8);
    for (int i = 0; i < 256; i++) {
        const sf::String converted(std::string(1, static_cast<char>(i)));
        m_code_points[static_cast<size_t>(i)] = converted.isEmpty() ? 0 : converted[0];
    }
}

const sf::Glyph& BatchRenderer::glyphFor(char ch) {
    const auto index = static_cast<size_t>(static_cast<unsigned char>(ch));
    if (!m_glyph_known[index]) {
        m_glyphs[index] = m_font.getGlyph(m_code_points[index], m_character_size, true);
        m_glyph_known[index] = true;
    }
    return m_glyphs[index];
}

void BatchRenderer::addVertex(const sf::Transform& transform, float x, float y, sf::Color color, float u,
                              float v) {
    m_vertices.emplace_back(transform.transformPoint(x, y), color, sf::Vector2f(u, v));
}

void BatchRenderer::addRectangle(float left, float top, float right, float bottom, sf::Color color) {
    addQuad({left, top, right, bottom}, {WHITE_U, WHITE_V, WHITE_U, WHITE_V}, color, false);
}

// A vertex outside the surface sends the rasteriser's whole batch through its clipping stage, which
// costs more than the drawing: cut the quad to the bounds instead, its texture in proportion. The
// pixels covered are the same, and a quad inside the bounds is queued exactly as given.
void BatchRenderer::addQuad(const InkBox& quad, const InkBox& texture, sf::Color color, bool glyph) {
    InkBox cut = quad;
    InkBox uv = texture;
    if (m_bounded) {
        if (quad.right <= 0 || quad.bottom <= 0 || quad.left >= m_bounds.x || quad.top >= m_bounds.y) {
            return;  // covers no pixel
        }
        cut.left = std::max(quad.left, 0.0f);
        cut.top = std::max(quad.top, 0.0f);
        cut.right = std::min(quad.right, m_bounds.x);
        cut.bottom = std::min(quad.bottom, m_bounds.y);
        const float du = (texture.right - texture.left) / (quad.right - quad.left);
        const float dv = (texture.bottom - texture.top) / (quad.bottom - quad.top);
        if (cut.left != quad.left) {
            uv.left = texture.left + (cut.left - quad.left) * du;
        }
        if (cut.right != quad.right) {
            uv.right = texture.right - (quad.right - cut.right) * du;
        }
        if (cut.top != quad.top) {
            uv.top = texture.top + (cut.top - quad.top) * dv;
        }
        if (cut.bottom != quad.bottom) {
            uv.bottom = texture.bottom - (quad.bottom - cut.bottom) * dv;
        }
    }
    const sf::Transform& identity = sf::Transform::Identity;
    if (glyph) {
        // The text object's order of corners, so that glyphs inside the bounds come out as before.
        addVertex(identity, cut.left, cut.top, color, uv.left, uv.top);
        addVertex(identity, cut.right, cut.top, color, uv.right, uv.top);
        addVertex(identity, cut.left, cut.bottom, color, uv.left, uv.bottom);
        addVertex(identity, cut.left, cut.bottom, color, uv.left, uv.bottom);
        addVertex(identity, cut.right, cut.top, color, uv.right, uv.top);
        addVertex(identity, cut.right, cut.bottom, color, uv.right, uv.bottom);
        return;
    }
    addVertex(identity, cut.left, cut.top, color, uv.left, uv.top);
    addVertex(identity, cut.right, cut.top, color, uv.right, uv.top);
    addVertex(identity, cut.right, cut.bottom, color, uv.right, uv.bottom);
    addVertex(identity, cut.left, cut.top, color, uv.left, uv.top);
    addVertex(identity, cut.right, cut.bottom, color, uv.right, uv.bottom);
    addVertex(identity, cut.left, cut.bottom, color, uv.left, uv.bottom);
}

size_t BatchRenderer::tileIndex(float x, float y) const {
    const float column = x / TILE_PIXELS;
    const float row = y / TILE_PIXELS;
    // The negated tests also send NaN to tile 0.
    const size_t c = !(column >= 0)               ? 0
                     : column >= TILE_COLUMNS - 1 ? TILE_COLUMNS - 1
                                                  : static_cast<size_t>(column);
    const size_t r = !(row >= 0) ? 0 : row >= TILE_ROWS - 1 ? TILE_ROWS - 1 : static_cast<size_t>(row);
    return r * TILE_COLUMNS + c;
}

void BatchRenderer::addInk(const sf::Vector2f* p_corners, size_t count) {
    if (!m_clear_known || count == 0) {
        return;
    }
    InkBox box{p_corners[0].x, p_corners[0].y, p_corners[0].x, p_corners[0].y};
    for (size_t i = 1; i < count; i++) {
        box.left = std::min(box.left, p_corners[i].x);
        box.top = std::min(box.top, p_corners[i].y);
        box.right = std::max(box.right, p_corners[i].x);
        box.bottom = std::max(box.bottom, p_corners[i].y);
    }
    if (!(box.left <= box.right && box.top <= box.bottom) || m_ink.size() >= INT32_MAX) {
        // NaN corners cannot be boxed: trust nothing for the rest of the frame.
        m_clear_known = false;
        return;
    }
    const auto ink = static_cast<int32_t>(m_ink.size());
    m_ink.push_back(box);
    m_ink_visited.push_back(m_query);
    const size_t first = tileIndex(box.left, box.top);
    const size_t last = tileIndex(box.right, box.bottom);
    const size_t columns = last % TILE_COLUMNS - first % TILE_COLUMNS + 1;
    const size_t rows = last / TILE_COLUMNS - first / TILE_COLUMNS + 1;
    if (columns * rows > MAX_TILES_PER_INK) {
        m_wide_ink.push_back(ink);
        return;
    }
    for (size_t row = 0; row < rows; row++) {
        for (size_t column = 0; column < columns; column++) {
            const size_t tile = first + row * TILE_COLUMNS + column;
            if (m_tile_stamp[tile] != m_frame) {
                m_tile_stamp[tile] = m_frame;
                m_tile_head[tile] = -1;
            }
            m_links.push_back({ink, m_tile_head[tile]});
            m_tile_head[tile] = static_cast<int32_t>(m_links.size() - 1);
        }
    }
}

// Paints the part of a clear-coloured background that lies over one earlier ink box.
void BatchRenderer::coverInk(const InkBox& box, size_t ink, sf::Color color) {
    if (m_ink_visited[ink] == m_query) {
        return;
    }
    m_ink_visited[ink] = m_query;
    const InkBox& other = m_ink[ink];
    const float left = std::max(box.left, other.left);
    const float top = std::max(box.top, other.top);
    const float right = std::min(box.right, other.right);
    const float bottom = std::min(box.bottom, other.bottom);
    if (left < right && top < bottom) {
        addRectangle(left, top, right, bottom, color);
    }
}

void BatchRenderer::addBackground(const sf::Transform& transform, sf::Vector2f cell, sf::Color background,
                                  float rotation) {
    const sf::Vector2f corners[4] = {transform.transformPoint(0, 0), transform.transformPoint(cell.x, 0),
                                     transform.transformPoint(cell.x, cell.y),
                                     transform.transformPoint(0, cell.y)};
    const bool clear_coloured = m_clear_known && background == m_clear_color && background.a == 255;
    if (!m_culling || !clear_coloured || rotation != 0) {
        if (rotation == 0) {
            addRectangle(corners[0].x, corners[0].y, corners[2].x, corners[2].y, background);
        } else {
            addVertex(transform, 0, 0, background, WHITE_U, WHITE_V);
            addVertex(transform, cell.x, 0, background, WHITE_U, WHITE_V);
            addVertex(transform, cell.x, cell.y, background, WHITE_U, WHITE_V);
            addVertex(transform, 0, 0, background, WHITE_U, WHITE_V);
            addVertex(transform, cell.x, cell.y, background, WHITE_U, WHITE_V);
            addVertex(transform, 0, cell.y, background, WHITE_U, WHITE_V);
        }
        if (!clear_coloured) {
            addInk(corners, 4);
        }
        return;
    }
    // Opaque clear colour over the cleared surface changes nothing: only earlier ink needs covering,
    // and the pieces have exactly the whole rectangle's edges where they meet them.
    const InkBox box{std::min(corners[0].x, corners[2].x), std::min(corners[0].y, corners[2].y),
                     std::max(corners[0].x, corners[2].x), std::max(corners[0].y, corners[2].y)};
    if (++m_query == 0) {
        std::fill(m_ink_visited.begin(), m_ink_visited.end(), 0);
        m_query = 1;
    }
    const size_t first = tileIndex(box.left, box.top);
    const size_t last = tileIndex(box.right, box.bottom);
    for (size_t row = first / TILE_COLUMNS; row <= last / TILE_COLUMNS; row++) {
        for (size_t column = first % TILE_COLUMNS; column <= last % TILE_COLUMNS; column++) {
            const size_t tile = row * TILE_COLUMNS + column;
            if (m_tile_stamp[tile] != m_frame) {
                continue;
            }
            for (int32_t link = m_tile_head[tile]; link >= 0;
                 link = m_links[static_cast<size_t>(link)].next) {
                coverInk(box, static_cast<size_t>(m_links[static_cast<size_t>(link)].ink), background);
            }
        }
    }
    for (const int32_t ink : m_wide_ink) {
        coverInk(box, static_cast<size_t>(ink), background);
    }
}

void BatchRenderer::addCharacter(sf::Vector2f rect_pos, sf::Vector2f cell, sf::Color background,
                                 sf::Vector2f text_pos, char ch, sf::Color color, float rotation) {
    sf::Transform rect_transform;
    rect_transform.translate(rect_pos).rotate(rotation);
    addBackground(rect_transform, cell, background, rotation);

    // The text object draws no quad for blanks; they only advance the pen.
    const uint32_t code = m_code_points[static_cast<unsigned char>(ch)];
    if (code == ' ' || code == '\t' || code == '\n') {
        return;
    }
    const sf::Glyph& glyph = glyphFor(ch);
    // Placed as the text object places itself, so that both compute the very same corners.
    sf::Transformable placement;
    placement.setPosition(text_pos);
    placement.setRotation(rotation);
    placement.setScale(m_glyph_scale, 1.0f);
    const sf::Transform& text_transform = placement.getTransform();
    // A single character's pen starts at the left edge on the baseline, one character size down.
    const float baseline = static_cast<float>(m_character_size);
    const float left = glyph.bounds.left - GLYPH_PADDING;
    const float top = baseline + glyph.bounds.top - GLYPH_PADDING;
    const float right = glyph.bounds.left + glyph.bounds.width + GLYPH_PADDING;
    const float bottom = baseline + glyph.bounds.top + glyph.bounds.height + GLYPH_PADDING;
    const float u1 = static_cast<float>(glyph.textureRect.left) - GLYPH_PADDING;
    const float v1 = static_cast<float>(glyph.textureRect.top) - GLYPH_PADDING;
    const float u2 = static_cast<float>(glyph.textureRect.left + glyph.textureRect.width) + GLYPH_PADDING;
    const float v2 = static_cast<float>(glyph.textureRect.top + glyph.textureRect.height) + GLYPH_PADDING;
    const sf::Vector2f corners[4] = {
        text_transform.transformPoint(left, top), text_transform.transformPoint(right, top),
        text_transform.transformPoint(right, bottom), text_transform.transformPoint(left, bottom)};
    if (rotation == 0) {
        addQuad({corners[0].x, corners[0].y, corners[2].x, corners[2].y}, {u1, v1, u2, v2}, color, true);
    } else {
        addVertex(text_transform, left, top, color, u1, v1);
        addVertex(text_transform, right, top, color, u2, v1);
        addVertex(text_transform, left, bottom, color, u1, v2);
        addVertex(text_transform, left, bottom, color, u1, v2);
        addVertex(text_transform, right, top, color, u2, v1);
        addVertex(text_transform, right, bottom, color, u2, v2);
    }
    addInk(corners, 4);
}

void BatchRenderer::addShape(const sf::Shape& shape) {
    const size_t count = shape.getPointCount();
    if (count < 3) {
        return;
    }
    // The library fans a filled figure out from the middle of its points' bounding box.
    sf::Vector2f low = shape.getPoint(0);
    sf::Vector2f high = low;
    for (size_t i = 1; i < count; i++) {
        const sf::Vector2f p = shape.getPoint(i);
        low.x = p.x < low.x ? p.x : low.x;
        low.y = p.y < low.y ? p.y : low.y;
        high.x = p.x > high.x ? p.x : high.x;
        high.y = p.y > high.y ? p.y : high.y;
    }
    const sf::Vector2f centre((low.x + high.x) / 2, (low.y + high.y) / 2);
    const sf::Transform& transform = shape.getTransform();
    const sf::Color color = shape.getFillColor();
    for (size_t i = 0; i < count; i++) {
        const sf::Vector2f a = shape.getPoint(i);
        const sf::Vector2f b = shape.getPoint((i + 1) % count);
        addVertex(transform, centre.x, centre.y, color, WHITE_U, WHITE_V);
        addVertex(transform, a.x, a.y, color, WHITE_U, WHITE_V);
        addVertex(transform, b.x, b.y, color, WHITE_U, WHITE_V);
    }
    // The figure's vertices are the last 3 x count queued.
    sf::Vector2f corners[4] = {m_vertices[m_vertices.size() - 3 * count].position};
    corners[1] = corners[0];
    for (size_t i = m_vertices.size() - 3 * count; i < m_vertices.size(); i++) {
        const sf::Vector2f p = m_vertices[i].position;
        corners[0] = sf::Vector2f(std::min(corners[0].x, p.x), std::min(corners[0].y, p.y));
        corners[1] = sf::Vector2f(std::max(corners[1].x, p.x), std::max(corners[1].y, p.y));
    }
    addInk(corners, 2);
}

void BatchRenderer::submit(sf::RenderTarget& target) {
    if (!m_vertices.empty()) {
        sf::RenderStates states;
        states.texture = &m_font.getTexture(m_character_size);
        target.draw(m_vertices.data(), m_vertices.size(), sf::Triangles, states);
    }
    m_vertices.clear();
}

void BatchRenderer::startFrame(sf::Color clear_color) {
    m_clear_color = clear_color;
    m_clear_known = true;
    m_ink.clear();
    m_ink_visited.clear();
    m_wide_ink.clear();
    m_links.clear();
    if (++m_frame == 0) {
        // The stamps wrapped: no tile may look current by accident.
        std::fill(m_tile_stamp.begin(), m_tile_stamp.end(), 0);
        m_frame = 1;
    }
}

void BatchRenderer::forgetFrame() {
    m_clear_known = false;
}

void BatchRenderer::setBounds(float width, float height) {
    m_bounded = width > 0 && height > 0;
    m_bounds = sf::Vector2f(width, height);
}

void BatchRenderer::setCulling(bool culling) {
    m_culling = culling;
}

void BatchRenderer::clear() {
    m_vertices.clear();
}

size_t BatchRenderer::getVertexCount() const {
    return m_vertices.size();
}

}  // namespace vl
