// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "PresentationSupport.h"
#include <veltrane/graphics/Sprite.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/resources/SpriteReader.h>

namespace {

struct HeaderCase {
    const char* header_line;  // the third header line, after frames and width
    const char* warning;      // "" when the header must load without a word
};

class SpriteHeaderWarnings : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(SpriteHeaderWarnings, NameTheLineAndTheKey) {
    vltest::LoggedConfig config("headless:true");
    ASSERT_EQ(vl::ResourceManager::getInstance().startUp(), 0);
    std::istringstream stream(
        std::string("<HEADER>\nframes 1\nwidth 2\n") + GetParam().header_line +
        "\nheight 1\n</HEADER>\n<BODY>\nab\nend\n</BODY>\n<FOOTER>\nversion 1\n</FOOTER>\n");
    vl::SpriteReader reader;
    const std::unique_ptr<vl::Sprite> p_sprite(reader.readSprite(stream, "s"));
    EXPECT_NE(p_sprite, nullptr);  // the warnings never refuse a sprite
    const std::string warning = GetParam().warning;
    EXPECT_EQ(config.log().find(warning.empty() ? "RM::loadRobustSprite(): Warning!" : warning) !=
                  std::string::npos,
              !warning.empty())
        << config.log();
    vl::ResourceManager::getInstance().shutDown();
}

INSTANTIATE_TEST_SUITE_P(
    Headers, SpriteHeaderWarnings,
    ::testing::Values(
        HeaderCase{"colour red", "Warning! Line 4: unknown header key 'colour'; did you mean 'color'?"},
        HeaderCase{"slowdown: 3",
                   "Warning! Line 4: 'slowdown: 3' is read as slowdown '3'; write 'slowdown <value>'."},
        HeaderCase{"slowdown 3x", "Line 4: 'slowdown 3x' is read as slowdown '3'"},
        HeaderCase{"color red", ""}, HeaderCase{"transparency #", ""}));

}  // namespace
