// SPDX-License-Identifier: MIT
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

/// Collects a frame's character cells and figures as textured triangles, in call order, for one draw call.
class BatchRenderer {
public:
    /// Glyphs come from font at character_size in bold, scaled sideways by glyph_scale; the font must
    /// outlive the renderer.
    BatchRenderer(const sf::Font& font, unsigned int character_size, float glyph_scale = 1.0f);

    /// A cell background rectangle (corner at rect_pos, size cell) followed by the glyph of ch with its
    /// origin at text_pos: the same picture as one rectangle and one bold text drawn in that order.
    void addCharacter(sf::Vector2f rect_pos, sf::Vector2f cell, sf::Color background, sf::Vector2f text_pos,
                      char ch, sf::Color color, float rotation);
    void addShape(const sf::Shape& shape);  ///< its fill, as the library would draw it (no outline)

    /// The surface was just cleared to clear_color. Until the next call, a background of that colour is
    /// queued only where it covers something queued before it in this frame: the same picture, far fewer
    /// pixels for the software rasteriser.
    void startFrame(sf::Color clear_color);
    void forgetFrame();             ///< the surface holds pixels drawn elsewhere: backgrounds go whole
    void setCulling(bool culling);  ///< false: every background whole, as the text object draws them
    /// The surface's size in pixels: upright quads are cut to it, anything wholly outside is dropped.
    /// 0 or less: nothing is cut.
    void setBounds(float width, float height);

    void submit(sf::RenderTarget& target);  ///< one draw call with the font's texture; empties the batch
    void clear();                           ///< drops the batch; keeps the memory for the next frame
    size_t getVertexCount() const;

private:
    struct InkBox {
        float left, top, right, bottom;  //!< pixels, as queued
    };
    struct TileLink {
        int32_t ink;   //!< index into m_ink
        int32_t next;  //!< next link of the same tile, or -1
    };

    const sf::Glyph& glyphFor(char ch);
    void addVertex(const sf::Transform& transform, float x, float y, sf::Color color, float u, float v);
    void addRectangle(float left, float top, float right, float bottom, sf::Color color);
    void addQuad(const InkBox& quad, const InkBox& texture, sf::Color color, bool glyph);
    void addBackground(const sf::Transform& transform, sf::Vector2f cell, sf::Color background,
                       float rotation);
    void addInk(const sf::Vector2f* p_corners, size_t count);  ///< the corners' bounding box holds new ink
    void coverInk(const InkBox& box, size_t ink, sf::Color color);
    size_t tileIndex(float x, float y) const;

    const sf::Font& m_font;
    unsigned int m_character_size;
    float m_glyph_scale;
    std::vector<sf::Vertex> m_vertices;
    std::array<uint32_t, 256> m_code_points;  //!< each byte as the text object's locale conversion gives it
    std::array<sf::Glyph, 256> m_glyphs;      //!< looked up once per byte value
    std::array<bool, 256> m_glyph_known;

    bool m_bounded;
    sf::Vector2f m_bounds;  //!< pixels; quads are cut to it when m_bounded
    bool m_culling;
    bool m_clear_known;  //!< everything on the surface is m_clear_color or listed in m_ink
    sf::Color m_clear_color;
    std::vector<InkBox> m_ink;            //!< what this frame has queued that differs from the clear colour
    std::vector<uint32_t> m_ink_visited;  //!< the background query that last looked at each ink box
    std::vector<int32_t> m_wide_ink;      //!< ink boxes spanning too many tiles to list in each
    std::vector<TileLink> m_links;
    std::vector<int32_t> m_tile_head;  //!< first link of each tile, valid when its stamp is m_frame
    std::vector<uint32_t> m_tile_stamp;
    uint32_t m_frame;
    uint32_t m_query;
};

}  // namespace vl

#endif
