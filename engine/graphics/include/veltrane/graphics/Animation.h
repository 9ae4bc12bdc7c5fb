// SPDX-License-Identifier: MIT
#ifndef VL_ANIMATION_H
#define VL_ANIMATION_H

#include <istream>
#include <ostream>
#include <string>

#include <veltrane/core/Box.h>
#include <veltrane/core/Vector.h>

namespace vl {

class Sprite;

/// An object's playback of a sprite: which frame shows and for how many more draws.
class Animation {
public:
    Animation();  ///< no sprite, frame 0, count 0, no name, modified

    void setSprite(Sprite* p_new_sprite);  ///< not owned; takes its label as the name, restarts at frame 0
    /// The sprite shown, not owned; null for none.
    Sprite* getSprite() const;
    void setName(std::string new_name);  ///< the sprite's label, for finding it again after a record is read
    /// The sprite's label.
    std::string getName() const;
    ///@{
    /// The frame shown.
    void setIndex(int new_index);
    int getIndex() const;
    ///@}
    void setSlowdownCount(int new_slowdown_count);  ///< -1 freezes the current frame
    /// Draws of the current frame so far; -1 when frozen.
    int getSlowdownCount() const;
    bool isModified() const;  ///< set by construction and by any change; kept for the object record
    /// Sets or clears the modified mark.
    void setModified(bool new_modified);

    /// Draws the current frame centred on position (cells), then advances unless frozen, whether or not the
    /// drawing succeeded. 0 without a sprite, else the sprite's result.
    int draw(Vector position);
    /// The cells the sprite covers, relative to the object's position; just under one cell without a sprite.
    Box getBox() const;
    std::string toString() const;  ///< "sprite <name>, frame_idx <index>"

    /// The record: name (8-byte length, then its bytes), index and slowdown count (4 bytes each), in the
    /// machine's byte order. 0, or -1 when the stream reports an error.
    [[nodiscard]] int serialize(std::ostream& stream) const;
    /// Reads a record; a name longer than what the stream still holds is refused (logged, -1, unchanged).
    [[nodiscard]] int deserialize(std::istream& stream);

private:
    Sprite* m_p_sprite;
    int m_index;
    int m_slowdown_count;
    std::string m_name;
    bool m_modified;
};

}  // namespace vl

#endif
