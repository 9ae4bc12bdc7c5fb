// SPDX-License-Identifier: MIT
// The engine's colours as the window system's colour, for the graphics sources that draw with it.
#ifndef VL_SFML_COLOR_H
#define VL_SFML_COLOR_H

#include <SFML/Graphics/Color.hpp>

#include <veltrane/graphics/Color.h>

namespace vl {

/// The colour with alpha 255; CUSTOM and unsupported values log at level 5 and give white.
sf::Color colorToSFML(Color c);

}  // namespace vl

#endif
