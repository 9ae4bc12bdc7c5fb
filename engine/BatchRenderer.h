// SPDX-License-Identifier: MIT
// Collects a frame's character cells and figures as textured triangles, in call order, for one draw call.
#ifndef VL_BATCH_RENDERER_H
#define VL_BATCH_RENDERER_H

#include <array>
#include <cstdint>
#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Glyph.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Shape.hpp>
#include <SFML/Graphics/Vertex.hpp>

namespace vl {

class BatchRenderer {
public:
    // Glyphs come from font at character_size in bold; the font must outlive the renderer.
    BatchRenderer(const sf::Font& font, unsigned int character_size);

    // A cell background rectangle (corner at rect_pos, size cell) followed by the glyph of ch with its
    // origin at text_pos: the same picture as one rectangle and one bold text drawn in that order.
    void addCharacter(sf::Vector2f rect_pos, sf::Vector2f cell, sf::Color background, sf::Vector2f text_pos,
                      char ch, sf::Color color, float rotation);
    void addShape(const sf::Shape& shape);  // its fill, as the library would draw it (no outline)

    void submit(sf::RenderTarget& target);  // one draw call with the font's texture; empties the batch
    void clear();                           // drops the batch; keeps the memory for the next frame
    size_t getVertexCount() const;

private:
    const sf::Glyph& glyphFor(char ch);
    void addVertex(const sf::Transform& transform, float x, float y, sf::Color color, float u, float v);

    const sf::Font& m_font;
    unsigned int m_character_size;
    std::vector<sf::Vertex> m_vertices;
    std::array<uint32_t, 256> m_code_points;  //!< each byte as the text object's locale conversion gives it
    std::array<sf::Glyph, 256> m_glyphs;      //!< looked up once per byte value
    std::array<bool, 256> m_glyph_known;
};

}  // namespace vl

#endif
