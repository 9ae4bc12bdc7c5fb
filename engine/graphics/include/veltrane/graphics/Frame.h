// SPDX-License-Identifier: MIT
#ifndef VL_FRAME_H
#define VL_FRAME_H

#include <string>

#include <veltrane/core/Vector.h>
#include <veltrane/graphics/Color.h>

namespace vl {

/// One character picture: width x height characters, row by row from the top.
class Frame {
public:
    Frame();  ///< empty: 0 x 0, no characters
    /// A frame of new_width by new_height characters, row after row in frame_str.
    Frame(int new_width, int new_height, std::string frame_str);

    ///@{
    /// The size in characters.
    int getWidth() const;
    int getHeight() const;
    ///@}
    std::string getString() const;  ///< copy
    bool isEmpty() const;           ///< no characters

    /// Draws the picture centred on position (cells), skipping the transparency character (0: none); of
    /// two middle columns (rows) the right (lower) one is drawn on the position, so cells stay whole.
    /// 0, or -1 at the first character that could not be drawn (the rest are not drawn).
    int draw(Vector position, Color color, char transparency) const;

private:
    int m_width;
    int m_height;
    std::string m_frame_str;
};

}  // namespace vl

#endif
