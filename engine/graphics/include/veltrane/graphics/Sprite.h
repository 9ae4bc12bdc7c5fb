// SPDX-License-Identifier: MIT
#ifndef VL_SPRITE_H
#define VL_SPRITE_H

#include <string>
#include <vector>

#include <veltrane/core/Vector.h>
#include <veltrane/graphics/Color.h>
#include <veltrane/graphics/Frame.h>

namespace vl {

const int MAX_SPRITE_FRAMES = 100000;  ///< a sprite asking for more (or for fewer than 0) gets no room at all

/// A labelled sequence of equal-sized frames sharing one colour, transparency character and animation speed.
class Sprite {
public:
    /// Room for max_frames frames; outside 0..MAX_SPRITE_FRAMES logs and leaves room for none.
    explicit Sprite(int max_frames);
    ~Sprite();

    [[nodiscard]] int pushFrame(Frame frame);  ///< 0, or -1 (frame discarded) when the sprite is full
    Frame getFrame(int frame_number) const;    ///< copy; an empty frame when out of range
    ///@{
    /// The frames added, and room for how many.
    int getFrameCount() const;
    int getMaxFrameCount() const;
    ///@}

    void setWidth(int new_width);  ///< of the bounding box; drawing uses each frame's own size
    ///@{
    /// The size of each frame in characters.
    int getWidth() const;
    void setHeight(int new_height);
    int getHeight() const;
    ///@}
    ///@{
    /// The colour the characters are drawn in.
    void setColor(Color new_color);
    Color getColor() const;
    ///@}
    void setSlowdown(int new_slowdown);  ///< draws per frame before the next one
    /// Draws per frame before the next one.
    int getSlowdown() const;
    void setTransparency(char new_transparency);  ///< 0: every character is drawn
    /// The character left undrawn; 0 for none.
    char getTransparency() const;
    ///@{
    /// The label the resource manager finds it by.
    void setLabel(std::string new_label);
    std::string getLabel() const;
    ///@}

    /// Draws frame frame_number centred on position in the sprite's colour; an out-of-range number draws
    /// nothing and gives 0. -1 when a character could not be drawn.
    int draw(int frame_number, Vector position, char transparency) const;

private:
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    int m_width;
    int m_height;
    int m_max_frame_count;
    int m_frame_count;
    Color m_color;
    int m_slowdown;
    char m_transparency;
    std::vector<Frame> m_frames;  //!< grows as frames arrive, so an untrusted count costs no memory up front
    std::string m_label;
};

}  // namespace vl

#endif
