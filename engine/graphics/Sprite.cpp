// SPDX-License-Identifier: MIT
#include <veltrane/graphics/Sprite.h>

#include <utility>

#include <veltrane/core/LogManager.h>

namespace vl {

Sprite::Sprite(int max_frames)
    : m_width(0), m_height(0), m_max_frame_count(0), m_frame_count(0), m_color(WHITE), m_slowdown(1),
      m_transparency(0), m_label("[Undefined]") {
    if (max_frames < 0 || max_frames > MAX_SPRITE_FRAMES) {
        LogManager::getInstance().writeLog("Sprite::Sprite(): Error! Unable to allocate %d frames.",
                                           max_frames);
        return;
    }
    m_max_frame_count = max_frames;
}

Sprite::~Sprite() = default;

int Sprite::pushFrame(Frame frame) {
    if (m_frame_count >= m_max_frame_count) {
        return -1;
    }
    m_frames.push_back(std::move(frame));
    m_frame_count++;
    return 0;
}

Frame Sprite::getFrame(int frame_number) const {
    if (frame_number < 0 || frame_number >= m_frame_count) {
        return Frame();
    }
    return m_frames[static_cast<size_t>(frame_number)];
}

int Sprite::getFrameCount() const {
    return m_frame_count;
}

int Sprite::getMaxFrameCount() const {
    return m_max_frame_count;
}

void Sprite::setWidth(int new_width) {
    m_width = new_width;
}

int Sprite::getWidth() const {
    return m_width;
}

void Sprite::setHeight(int new_height) {
    m_height = new_height;
}

int Sprite::getHeight() const {
    return m_height;
}

void Sprite::setColor(Color new_color) {
    m_color = new_color;
}

Color Sprite::getColor() const {
    return m_color;
}

void Sprite::setSlowdown(int new_slowdown) {
    m_slowdown = new_slowdown;
}

int Sprite::getSlowdown() const {
    return m_slowdown;
}

void Sprite::setTransparency(char new_transparency) {
    m_transparency = new_transparency;
}

char Sprite::getTransparency() const {
    return m_transparency;
}

void Sprite::setLabel(std::string new_label) {
    m_label = std::move(new_label);
}

std::string Sprite::getLabel() const {
    return m_label;
}

int Sprite::draw(int frame_number, Vector position, char transparency) const {
    if (frame_number < 0 || frame_number >= m_frame_count) {
        return 0;
    }
    return m_frames[static_cast<size_t>(frame_number)].draw(position, m_color, transparency);
}

}  // namespace vl
