// SPDX-License-Identifier: MIT
#include "BatchRenderer.h"

#include <string>

#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Transform.hpp>
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

}  // namespace

BatchRenderer::BatchRenderer(const sf::Font& font, unsigned int character_size)
    : m_font(font), m_character_size(character_size), m_glyph_known{} {
    m_vertices.reserve(INITIAL_VERTICES);
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

void BatchRenderer::addCharacter(sf::Vector2f rect_pos, sf::Vector2f cell, sf::Color background,
                                 sf::Vector2f text_pos, char ch, sf::Color color, float rotation) {
    sf::Transform rect_transform;
    rect_transform.translate(rect_pos).rotate(rotation);
    addVertex(rect_transform, 0, 0, background, WHITE_U, WHITE_V);
    addVertex(rect_transform, cell.x, 0, background, WHITE_U, WHITE_V);
    addVertex(rect_transform, cell.x, cell.y, background, WHITE_U, WHITE_V);
    addVertex(rect_transform, 0, 0, background, WHITE_U, WHITE_V);
    addVertex(rect_transform, cell.x, cell.y, background, WHITE_U, WHITE_V);
    addVertex(rect_transform, 0, cell.y, background, WHITE_U, WHITE_V);

    // The text object draws no quad for blanks; they only advance the pen.
    const uint32_t code = m_code_points[static_cast<unsigned char>(ch)];
    if (code == ' ' || code == '\t' || code == '\n') {
        return;
    }
    const sf::Glyph& glyph = glyphFor(ch);
    sf::Transform text_transform;
    text_transform.translate(text_pos).rotate(rotation);
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
    addVertex(text_transform, left, top, color, u1, v1);
    addVertex(text_transform, right, top, color, u2, v1);
    addVertex(text_transform, left, bottom, color, u1, v2);
    addVertex(text_transform, left, bottom, color, u1, v2);
    addVertex(text_transform, right, top, color, u2, v1);
    addVertex(text_transform, right, bottom, color, u2, v2);
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
}

void BatchRenderer::submit(sf::RenderTarget& target) {
    if (!m_vertices.empty()) {
        sf::RenderStates states;
        states.texture = &m_font.getTexture(m_character_size);
        target.draw(m_vertices.data(), m_vertices.size(), sf::Triangles, states);
    }
    m_vertices.clear();
}

void BatchRenderer::clear() {
    m_vertices.clear();
}

size_t BatchRenderer::getVertexCount() const {
    return m_vertices.size();
}

}  // namespace vl
