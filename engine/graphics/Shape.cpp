// SPDX-License-Identifier: MIT
#include <veltrane/graphics/Shape.h>

#include <cmath>
#include <cstdint>
#include <cstdio>

#include <SFML/Graphics/CircleShape.hpp>

#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/core/Utility.h>
#include <veltrane/graphics/DisplayManager.h>

namespace vl {

namespace {

// One figure serves every shape: drawing allocates nothing.
sf::CircleShape& sharedFigure() {
    static sf::CircleShape figure(0, 30);
    return figure;
}

size_t circlePoints(float size) {
    if (!(size >= 3.0f)) {
        return 3;
    }
    if (size > 10.0f) {
        return 10;
    }
    return static_cast<size_t>(size);
}

}  // namespace

std::string shapeTypeToString(int type) {
    switch (type) {
    case CIRCLE:
        return "circle";
    case SQUARE:
        return "square";
    case TRIANGLE:
        return "triangle";
    default:
        return "undefined";
    }
}

Shape::Shape()
    : m_color(WHITE), m_red(255), m_green(255), m_blue(255), m_type(CIRCLE), m_size(0), m_opacity(255) {
    const float smaller = charHeight() > charWidth() ? charWidth() : charHeight();
    m_size = Config::getInstance().getFontScale() * std::trunc(smaller);
}

int Shape::getType() const {
    return m_type;
}

void Shape::setType(int new_type) {
    if (new_type < UNDEFINED || new_type > TRIANGLE) {
        LogManager::getInstance().writeLog("Shape::setType(): Unknown shape type %d. Ignoring.", new_type);
        return;
    }
    m_type = new_type;
}

Color Shape::getColor() const {
    return m_color;
}

void Shape::setColor(Color new_color) {
    m_color = new_color;
}

void Shape::setColor(unsigned char r, unsigned char g, unsigned char b) {
    m_red = r;
    m_green = g;
    m_blue = b;
    m_color = CUSTOM;
}

void Shape::getRGB(unsigned char& r, unsigned char& g, unsigned char& b) const {
    r = m_red;
    g = m_green;
    b = m_blue;
}

float Shape::getSize() const {
    return m_size;
}

void Shape::setSize(float new_size) {
    m_size = new_size;
}

unsigned char Shape::getOpacity() const {
    return m_opacity;
}

void Shape::setOpacity(unsigned char new_opacity) {
    m_opacity = new_opacity;
}

void Shape::draw(Vector world_pos) {
    const DisplayManager& display = DisplayManager::getInstance();
    if (!display.isShowing()) {
        LogManager::getInstance().writeLog(5, "Shape::draw(): DisplayManager window not defined.");
        return;
    }
    // Only the three figures have a geometry; anything else would repeat the previous shape's figure.
    if (m_type != CIRCLE && m_type != SQUARE && m_type != TRIANGLE) {
        return;
    }
    const Vector pixel = spacesToPixels(worldToView(world_pos));
    sf::CircleShape& figure = sharedFigure();
    if (m_color != CUSTOM) {
        colorToRGB(m_color, m_red, m_green, m_blue);
    }
    figure.setFillColor(sf::Color(m_red, m_green, m_blue, m_opacity));
    const float x = pixel.getX();
    const float y = pixel.getY();
    switch (m_type) {
    case CIRCLE:
        figure.setPointCount(circlePoints(m_size));
        figure.setRadius(m_size);
        figure.setPosition(x - m_size * 0.5f, y - m_size * 0.5f);
        figure.setRotation(0);
        break;
    case SQUARE: {
        figure.setPointCount(4);
        figure.setRotation(45);
        const float scale = Config::getInstance().getFontScale();
        figure.setRadius(scale != 0 ? m_size / scale : m_size);
        figure.setPosition(x + m_size * 0.5f, y - m_size / 1.75f);
        break;
    }
    case TRIANGLE:
        figure.setPointCount(3);
        figure.setRadius(m_size * 0.5f);
        figure.setPosition(x - m_size * 0.5f, y - m_size * 0.5f);
        figure.setRotation(0);
        break;
    }
    LogManager::getInstance().writeLog(25, "Shape::draw(): Drawing at (%.2f, %.2f)", static_cast<double>(x),
                                       static_cast<double>(y));
    display.drawShape(figure);
}

std::string Shape::toString() const {
    char size_text[64];
    std::snprintf(size_text, sizeof(size_text), "%f", static_cast<double>(m_size));
    return shapeTypeToString(m_type) + ", size " + size_text + ", " + colorToName(m_color) + ", " +
           vl::toString(static_cast<int>(m_opacity));
}

int Shape::serialize(std::ostream& stream) const {
    const auto type = static_cast<int32_t>(m_type);
    const float size = m_size;
    const auto color = static_cast<int32_t>(m_color);
    const auto opacity = static_cast<uint8_t>(m_opacity);
    stream.write(reinterpret_cast<const char*>(&type), sizeof(type));
    stream.write(reinterpret_cast<const char*>(&size), sizeof(size));
    stream.write(reinterpret_cast<const char*>(&color), sizeof(color));
    stream.write(reinterpret_cast<const char*>(&opacity), sizeof(opacity));
    return checkStream("Shape::serialize()", stream);
}

int Shape::deserialize(std::istream& stream) {
    int32_t type = 0;
    float size = 0;
    int32_t color = 0;
    uint8_t opacity = 0;
    stream.read(reinterpret_cast<char*>(&type), sizeof(type));
    stream.read(reinterpret_cast<char*>(&size), sizeof(size));
    stream.read(reinterpret_cast<char*>(&color), sizeof(color));
    stream.read(reinterpret_cast<char*>(&opacity), sizeof(opacity));
    if (!stream) {
        return checkStream("Shape::deserialize()", stream);
    }
    const LogManager& log = LogManager::getInstance();
    if (type < UNDEFINED || type > TRIANGLE) {
        log.writeLog("Shape::deserialize(): Error! Unknown shape type %d.", static_cast<int>(type));
        return -1;
    }
    if (color < BLACK || color > CUSTOM) {
        log.writeLog("Shape::deserialize(): Error! Color %d not supported.", static_cast<int>(color));
        return -1;
    }
    if (!std::isfinite(size)) {
        log.writeLog("Shape::deserialize(): Error! Size is not a number.");
        return -1;
    }
    m_type = type;
    m_size = size;
    m_color = static_cast<Color>(color);
    m_opacity = opacity;
    return checkStream("Shape::deserialize()", stream);
}

}  // namespace vl
