// SPDX-License-Identifier: MIT
#include <veltrane/graphics/Frame.h>

#include <utility>

#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/DisplayManager.h>

namespace vl {

Frame::Frame() : m_width(0), m_height(0) {}

Frame::Frame(int new_width, int new_height, std::string frame_str)
    : m_width(new_width), m_height(new_height), m_frame_str(std::move(frame_str)) {}

int Frame::getWidth() const {
    return m_width;
}

int Frame::getHeight() const {
    return m_height;
}

std::string Frame::getString() const {
    return m_frame_str;
}

bool Frame::isEmpty() const {
    return m_frame_str.empty();
}

int Frame::draw(Vector position, Color color, char transparency) const {
    if (m_frame_str.empty() || m_height < 1) {
        return 0;
    }
    // A frame built by hand may claim more cells than it has characters: never index past them.
    const long long cells = static_cast<long long>(m_width) * m_height;
    if (m_width < 1 || cells > static_cast<long long>(m_frame_str.size())) {
        LogManager::getInstance().writeLog("Frame::draw(): Error! %d x %d frame has only %d characters.",
                                           m_width, m_height, static_cast<int>(m_frame_str.size()));
        return -1;
    }
    const DisplayManager& display = DisplayManager::getInstance();
    // Cells stay whole: of two middle columns (rows) the right (lower) one sits on the position.
    const auto x_offset = static_cast<float>(m_width / 2);
    const auto y_offset = static_cast<float>(m_height / 2);
    for (int y = 0; y < m_height; y++) {
        for (int x = 0; x < m_width; x++) {
            const char ch =
                m_frame_str[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
            if (transparency != 0 && ch == transparency) {
                continue;
            }
            const Vector cell(position.getX() + static_cast<float>(x) - x_offset,
                              position.getY() + static_cast<float>(y) - y_offset);
            if (display.drawCharacter(cell, ch, color, 0) != 0) {
                return -1;
            }
        }
    }
    return 0;
}

}  // namespace vl
