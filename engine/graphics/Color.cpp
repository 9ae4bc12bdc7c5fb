// SPDX-License-Identifier: MIT
#include <veltrane/graphics/Color.h>

#include "SfmlColor.h"
#include <veltrane/core/LogManager.h>

namespace vl {

namespace {

struct ColorEntry {
    unsigned char r, g, b;
    const char* name;       // as logged
    const char* file_name;  // as written in sprite files and the configuration
};

const ColorEntry COLOR_TABLE[] = {
    {0, 0, 0, "Black", "black"},       {255, 0, 0, "Red", "red"},         {0, 255, 0, "Green", "green"},
    {255, 255, 0, "Yellow", "yellow"}, {0, 0, 255, "Blue", "blue"},       {255, 0, 255, "Magenta", "magenta"},
    {0, 255, 255, "Cyan", "cyan"},     {255, 255, 255, "White", "white"},
};
const int TABLE_SIZE = static_cast<int>(sizeof(COLOR_TABLE) / sizeof(COLOR_TABLE[0]));

bool inTable(Color c) {
    return static_cast<int>(c) >= 0 && static_cast<int>(c) < TABLE_SIZE;
}

}  // namespace

void colorToRGB(Color c, unsigned char& r, unsigned char& g, unsigned char& b) {
    if (inTable(c)) {
        const ColorEntry& entry = COLOR_TABLE[static_cast<int>(c)];
        r = entry.r;
        g = entry.g;
        b = entry.b;
        return;
    }
    if (c != CUSTOM) {
        LogManager::getInstance().writeLog(5, "colorToRGB(): Color %d not supported.", static_cast<int>(c));
    }
}

sf::Color colorToSFML(Color c) {
    if (inTable(c)) {
        const ColorEntry& entry = COLOR_TABLE[static_cast<int>(c)];
        return sf::Color(entry.r, entry.g, entry.b, 255);
    }
    if (c == CUSTOM) {
        LogManager::getInstance().writeLog(5, "colorToSFML(): Color is CUSTOM.");
    } else {
        LogManager::getInstance().writeLog(5, "colorToSFML(): Color %d not supported.", static_cast<int>(c));
    }
    return sf::Color(255, 255, 255, 255);
}

std::string colorToName(Color c) {
    if (inTable(c)) {
        return COLOR_TABLE[static_cast<int>(c)].name;
    }
    return "Unknown color";
}

int colorFromName(const std::string& name, Color& color) {
    for (int i = 0; i < TABLE_SIZE; i++) {
        if (name == COLOR_TABLE[i].file_name) {
            color = static_cast<Color>(i);
            return 0;
        }
    }
    return -1;
}

}  // namespace vl
