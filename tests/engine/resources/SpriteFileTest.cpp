// SPDX-License-Identifier: MIT
// Sprite files in both formats, read through the resource manager: the good files load with the right
// contents, and every broken file fails with its exact log lines and leaves the tables unchanged.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <istream>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "PresentationSupport.h"
#include "TestSupport.h"
#include <veltrane/graphics/Sprite.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/resources/SpriteReader.h>

namespace {

std::string spritePath(const std::string& name) {
    return vltest::dataPath("sprites/" + name);
}

class SpriteFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(vl::ResourceManager::getInstance().startUp(), 0); }
    void TearDown() override { vl::ResourceManager::getInstance().shutDown(); }
    vltest::LoggedConfig m_config{"headless:true"};
};

}  // namespace

TEST_F(SpriteFile, GoodFilesOfBothFormatsLoadQuietlyWithEitherLineEnd) {
    const struct {
        const char* file;
        int width, height, slowdown;
        vl::Color color;
        char transparency;
        std::vector<std::string> frames;
    } cases[] = {
        {"good-simple-crlf.txt", 3, 2, 4, vl::GREEN, 0, {".o.+=+", ".o.x=x"}},
        {"good-simple-spaces.txt", 4, 2, 0, vl::WHITE, 0, {" a      "}},
        {"good-robust-crlf.txt", 3, 2, 4, vl::GREEN, '.', {".o.+=+", ".o.x=x"}},
        // Robust header keys may be missing or in any order.
        {"good-robust-defaults.txt", 2, 1, 0, vl::WHITE, 0, {"ab"}},
        {"good-robust-space-transparency.txt", 3, 1, 0, vl::RED, ' ', {"( )"}},
        // The second "frames" line wins; unknown header and footer lines are only warned about.
        {"good-robust-extras.txt", 2, 2, 2, vl::BLUE, 0, {"/\\\\/"}},
        // Rows may read "end" themselves: only the line after the last row must.
        {"good-robust-end-row.txt", 3, 2, 0, vl::WHITE, 0, {"endend"}},
    };
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(resources.loadSprite(spritePath(c.file), c.file), 0);
        const vl::Sprite* p_sprite = resources.getSprite(c.file);
        ASSERT_NE(p_sprite, nullptr);
        EXPECT_EQ(p_sprite->getFrameCount(), static_cast<int>(c.frames.size()));
        EXPECT_EQ(p_sprite->getWidth(), c.width);
        EXPECT_EQ(p_sprite->getHeight(), c.height);
        EXPECT_EQ(p_sprite->getSlowdown(), c.slowdown);
        EXPECT_EQ(p_sprite->getColor(), c.color);
        EXPECT_EQ(p_sprite->getTransparency(), c.transparency);
        for (size_t i = 0; i < c.frames.size(); i++) {
            EXPECT_EQ(p_sprite->getFrame(static_cast<int>(i)).getString(), c.frames[i]);
        }
    }
    EXPECT_EQ(vltest::logMessages(m_config.log()), "");
}

// Each broken file and every line its failed load writes, in order.
TEST_F(SpriteFile, BrokenFilesFailWithTheirExactMessages) {
    const std::string not_loaded = "RM::loadSprite(): Sprite 's' not loaded.\n";
    const std::string refused = "RM::loadSprite(): Sprite 's' NOT loaded.\n";
    const std::string eof = "getLine(): Error! Unexpected end of file.\n";
    const std::string simple_eof = eof + "RM::loadSimpleSprite(): Error! Unexpected end of file.\n\t";
    const std::string no_data = "RM::loadRobustSprite(): Error! No frame data to add.\n" + refused;
    const std::string colors =
        "'.\n  Valid colors are: black, red, green, yellow,\n                    blue, "
        "magenta, cyan ";
    const std::string unknown =
        "RM::loadSprite(): Error! Unknown sprite file format.\nRM::loadSprite(): First "
        "line is '";
    const std::pair<std::string, std::string> cases[] = {
        {"no-such-file.txt", "RM::loadSprite(): Error! Cannot open file '" + spritePath("no-such-file.txt") +
                                 "'.\n" + not_loaded},
        // A directory opens as a file but throws on the first read.
        {".", "RM::loadSprite(): Error! '" + spritePath(".") + "' is not a regular file.\n" + not_loaded},
        {"bad-simple-missing-width.txt", simple_eof + "Missing width (an integer).\n" + refused},
        {"bad-simple-missing-color.txt", simple_eof + "Missing color (a string).\n" + refused},
        {"bad-simple-width-not-a-number.txt",
         "RM::loadSimpleSprite(): Error line 2! Width is 'wide'.\n" + refused},
        {"bad-simple-zero-height.txt", "RM::loadSimpleSprite(): Error line 3! Height is '0'.\n" + refused},
        {"bad-simple-negative-slowdown.txt",
         "RM::loadSimpleSprite(): Error line 4! Slowdown is '-1'.\n" + refused},
        {"bad-simple-capital-color.txt", "RM::loadSimpleSprite(): Error line 5! Unrecognized color 'Green" +
                                             colors + "or white.\n" + refused},
        {"bad-simple-color-trailing-space.txt",
         "RM::loadSimpleSprite(): Error line 5! Unrecognized color 'green " + colors + "or white.\n" +
             refused},
        {"bad-simple-row-width.txt",
         "RM::loadSimpleSprite(): Error line 7!\n\tLine  7: '+==+'\n\tWidth is 4, expected 3.\n" + refused},
        {"bad-simple-extra-empty-line.txt",
         "RM::loadSimpleSprite(): Error line 10!\n\tExtra file data: ''\n" + refused},
        {"bad-simple-extra-data.txt",
         "RM::loadSimpleSprite(): Error line 10!\n\tExtra file data: 'more'\n" + refused},
        {"bad-simple-no-final-line-feed.txt", simple_eof + "Reading frame 2 of 2, row 2 of 2.\n" + refused},
        {"bad-simple-empty-row.txt",
         "RM::loadSimpleSprite(): Error! Unexpected end of file.\n\tReading frame 1 of 2, row 2 of 2.\n" +
             refused},
        {"bad-simple-missing-frame.txt", simple_eof + "Reading frame 3 of 3, row 1 of 2.\n" + refused},
        {"bad-simple-huge-frame-count.txt",
         "Sprite::Sprite(): Error! Unable to allocate 2000000000 frames.\nRM::loadSimpleSprite(): Error! "
         "Unable to create Sprite.\n" +
             refused},
        {"bad-simple-overflowing-number.txt",
         "Sprite::Sprite(): Error! Unable to allocate 2147483647 frames.\nRM::loadSimpleSprite(): Error! "
         "Unable to create Sprite.\n" +
             refused},
        {"bad-robust-missing-frames.txt",
         "RM::loadRobustSprite(): Error! Missing 'frames' in header.\n" + refused},
        {"bad-robust-height-alone.txt",
         "RM::loadRobustSprite(): Error! Missing 'height' in header.\n" + refused},
        {"bad-robust-capital-color.txt",
         "RM::loadRobustSprite(): Error! Unrecognized color 'Green" + colors + "and white.\n" + refused},
        {"bad-robust-row-width.txt",
         "\tError! Line 14: Line length is 4 (frame width is 3).\n\tLine 14: 'x==x'\n" + no_data},
        {"bad-robust-missing-end.txt", "\tError! Line 12: Expected 'end'.\n\tLine 12: '.o.'\n" + no_data},
        {"bad-robust-extra-body.txt",
         "RM::loadRobustSprite(): Error! Extra BODY:\n\tLine 16: junk\n\tLine 17: more junk\n" + refused},
        {"bad-robust-missing-frame-data.txt",
         "\tError! Line 16: No more frame data before 'end'.\n" + no_data},
        {"bad-robust-misspelt-tag.txt",
         "readData(): Error line 9! Expected '<BODY>', have '<BOD>'.\n" + refused},
        {"bad-robust-footer-before-body.txt",
         "readData(): Error line 6! Expected '<BODY>', have '<FOOTER>'.\n" + refused},
        {"bad-robust-empty-line-in-header.txt",
         "readData(): Error! Stop at line 4, never encountered '</HEADER>'.\n" + refused},
        {"bad-robust-empty-line-in-body.txt",
         "readData(): Error! Stop at line 13, never encountered '</BODY>'.\n" + refused},
        {"bad-robust-unterminated-body.txt",
         eof + "readData(): Error! Stop at line 9, never encountered '</BODY>'.\n" + refused},
        {"bad-robust-no-final-line-feed.txt",
         eof + "readData(): Error! Stop at line 19, never encountered '</FOOTER>'.\n" + refused},
        {"bad-robust-missing-version.txt",
         "RM::loadRobustSprite(): Error! Missing 'version' in FOOTER (line 19).\n" + refused},
        {"bad-robust-empty-body.txt", "readData(): Error! No data in '<BODY>' (line 7).\n" + refused},
        {"bad-robust-zero-frames.txt",
         "RM::loadRobustSprite(): Error! Extra BODY:\n\tLine 10: .o.\n\tLine 11: +=+\n\tLine 12: end\n\tLine "
         "13: .o.\n\tLine 14: x=x\n\tLine 15: end\n" +
             refused},
        {"bad-robust-negative-height.txt", "\tError! Line 10: Expected 'end'.\n\tLine 10: '.o.'\n" + no_data},
        {"bad-robust-huge-frame-count.txt",
         "Sprite::Sprite(): Error! Unable to allocate 999999999 frames.\nRM::loadRobustSprite(): Error! "
         "Unable to create Sprite.\n" +
             refused},
        {"bad-robust-huge-size.txt",
         "\tError! Line 10: Line length is 3 (frame width is 2147483647).\n\tLine 10: '.o.'\n" + no_data},
        {"bad-robust-long-line.txt",
         "getLine(): Error! Line 18 is longer than 65536 characters.\nreadData(): Error! Stop at line 18, "
         "never encountered '</FOOTER>'.\n" +
             refused},
        {"bad-unknown-zero.txt", unknown + "0'.\n" + refused},
        {"bad-unknown-empty.txt", eof + unknown + "'.\n" + refused},
        {"bad-unknown-letter.txt", unknown + "frames 2'.\n" + refused},
        {"bad-unknown-lowercase-tag.txt", unknown + "<header>'.\n" + refused},
        {"bad-unknown-header-without-line-feed.txt", eof + unknown + "'.\n" + refused},
    };
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    ASSERT_EQ(resources.loadSprite(spritePath("good-simple.txt"), "kept"), 0);
    size_t seen = m_config.log().size();
    for (const auto& c : cases) {
        EXPECT_EQ(resources.loadSprite(spritePath(c.first), "s"), -1) << c.first;
        const std::string log = m_config.log();
        EXPECT_EQ(vltest::logMessages(log.substr(seen)), c.second) << c.first;
        seen = log.size();
    }
    EXPECT_EQ(resources.getSpriteCount(), 1);
    EXPECT_NE(resources.getSprite("kept"), nullptr);
}

// A named pipe would wait for a writer forever.
TEST_F(SpriteFile, PipesAreRefusedWithoutReading) {
    const std::string pipe = vltest::tempPath("sprite-pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(vl::ResourceManager::getInstance().loadSprite(pipe, "pipe"), -1);
    EXPECT_EQ(vltest::logMessages(m_config.log()),
              "RM::loadSprite(): Error! '" + pipe +
                  "' is not a regular file.\nRM::loadSprite(): Sprite 'pipe' not loaded.\n");
    unlink(pipe.c_str());
}

// The reader itself survives a stream whose buffer throws, as a file buffer does on a failed read.
TEST_F(SpriteFile, AFailingReadEndsTheLoadWithAMessage) {
    struct ThrowingBuffer : std::streambuf {
        int_type underflow() override { throw std::ios_base::failure("read failed"); }
    } buffer;
    std::istream stream(&buffer);
    vl::SpriteReader reader;
    EXPECT_EQ(reader.readSprite(stream, "broken"), nullptr);
    const std::string messages = vltest::logMessages(m_config.log());
    EXPECT_NE(messages.find("getLine(): Error! Cannot read line 1."), std::string::npos) << messages;
    EXPECT_NE(messages.find("Sprite 'broken' NOT loaded."), std::string::npos) << messages;
}

// Header slips are warned about by line and key, but never refuse the sprite.
TEST_F(SpriteFile, HeaderSlipsAreWarnedAboutByLineAndKey) {
    const struct {
        const char* header_line;  // the third header line, after frames and width
        std::string warning;      // "" when the header must load without a word
    } cases[] = {
        {"colour red", "Warning! Line 4: unknown header key 'colour'; did you mean 'color'?"},
        {"slowdown: 3", "Warning! Line 4: 'slowdown: 3' is read as slowdown '3'; write 'slowdown <value>'."},
        {"slowdown 3x", "Line 4: 'slowdown 3x' is read as slowdown '3'"},
        {"color red", ""}};
    for (const auto& c : cases) {
        const size_t seen = m_config.log().size();
        std::istringstream stream(
            std::string("<HEADER>\nframes 1\nwidth 2\n") + c.header_line +
            "\nheight 1\n</HEADER>\n<BODY>\nab\nend\n</BODY>\n<FOOTER>\nversion 1\n</FOOTER>\n");
        const std::unique_ptr<vl::Sprite> p_sprite(vl::SpriteReader().readSprite(stream, "s"));
        EXPECT_NE(p_sprite, nullptr) << c.header_line;
        const std::string log = m_config.log().substr(seen);
        EXPECT_EQ(log.find(c.warning.empty() ? "Warning!" : c.warning) != std::string::npos,
                  !c.warning.empty())
            << c.header_line << log;
    }
}

// Lookups are exact and the first sprite of a label wins.
TEST(SpriteFileManager, NothingLoadsBeforeStartUpAndShutDownFreesEverything) {
    vltest::LoggedConfig config("headless:true");
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    EXPECT_EQ(resources.loadSprite(spritePath("good-simple.txt"), "early"), -1);
    EXPECT_EQ(vltest::countLines(vltest::logMessages(config.log()), "ResourceManager not started!"), 1);
    ASSERT_EQ(resources.startUp(), 0);
    ASSERT_EQ(resources.loadSprite(spritePath("good-simple.txt"), "a"), 0);
    ASSERT_EQ(resources.loadSprite(spritePath("good-robust-defaults.txt"), "a"), 0);
    EXPECT_EQ(resources.getSprite("a")->getFrameCount(), 2);  // the first loaded wins
    EXPECT_EQ(resources.getSprite("A"), nullptr);
    EXPECT_EQ(vltest::countLines(vltest::logMessages(config.log()),
                                 "RM::getSprite(): Warning! Sprite 'A' not found."),
              1);
    resources.shutDown();
    EXPECT_EQ(resources.getSpriteCount(), 0);
    ASSERT_EQ(resources.startUp(), 0);
    EXPECT_EQ(resources.getSprite("a"), nullptr);
}
