// SPDX-License-Identifier: MIT
// Sprite files in both formats, read through the resource manager: the good files load with the right
// contents, and every broken file fails with its exact log lines and leaves the tables unchanged.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <istream>
#include <streambuf>
#include <string>
#include <vector>

#include "PresentationSupport.h"
#include "TestSupport.h"
#include <veltrane/graphics/Sprite.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/resources/SpriteReader.h>

namespace {

struct Expected {
    int frames;
    int width;
    int height;
    int slowdown;
    vl::Color color;
    char transparency;
    std::vector<std::string> frame_strings;
};

struct BrokenFile {
    const char* file;
    std::vector<std::string> messages;  // every line the failed load writes, in order
};

std::string spritePath(const std::string& name) {
    return vltest::dataPath("sprites/" + name);
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

class SpriteFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(vl::ResourceManager::getInstance().startUp(), 0); }
    vltest::LoggedConfig m_config{"headless:true"};
};

void expectSprite(const std::string& file, const Expected& expected) {
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    ASSERT_EQ(resources.loadSprite(spritePath(file), file), 0) << file;
    const vl::Sprite* p_sprite = resources.getSprite(file);
    ASSERT_NE(p_sprite, nullptr) << file;
    EXPECT_EQ(p_sprite->getLabel(), file);
    EXPECT_EQ(p_sprite->getFrameCount(), expected.frames) << file;
    EXPECT_EQ(p_sprite->getWidth(), expected.width) << file;
    EXPECT_EQ(p_sprite->getHeight(), expected.height) << file;
    EXPECT_EQ(p_sprite->getSlowdown(), expected.slowdown) << file;
    EXPECT_EQ(p_sprite->getColor(), expected.color) << file;
    EXPECT_EQ(p_sprite->getTransparency(), expected.transparency) << file;
    ASSERT_EQ(expected.frame_strings.size(), static_cast<size_t>(expected.frames));
    for (int i = 0; i < expected.frames; i++) {
        const vl::Frame frame = p_sprite->getFrame(i);
        EXPECT_EQ(frame.getString(), expected.frame_strings[static_cast<size_t>(i)])
            << file << " frame " << i;
        EXPECT_EQ(frame.getWidth(), expected.width) << file;
        EXPECT_EQ(frame.getHeight(), expected.height) << file;
    }
}

}  // namespace

TEST_F(SpriteFile, SimpleFormatLoadsWithLineFeedOrCarriageReturnLineEnds) {
    const Expected two_green{2, 3, 2, 4, vl::GREEN, 0, {".o.+=+", ".o.x=x"}};
    expectSprite("good-simple.txt", two_green);
    expectSprite("good-simple-crlf.txt", two_green);
    expectSprite("good-simple-spaces.txt", {1, 4, 2, 0, vl::WHITE, 0, {" a      "}});
    EXPECT_EQ(vltest::logMessages(m_config.log()), "");
}

TEST_F(SpriteFile, RobustFormatLoadsWithLineFeedOrCarriageReturnLineEnds) {
    const Expected two_green{2, 3, 2, 4, vl::GREEN, '.', {".o.+=+", ".o.x=x"}};
    expectSprite("good-robust.txt", two_green);
    expectSprite("good-robust-crlf.txt", two_green);
    EXPECT_EQ(vltest::logMessages(m_config.log()), "");
}

TEST_F(SpriteFile, RobustHeaderKeysMayBeMissingOrInAnyOrder) {
    expectSprite("good-robust-defaults.txt", {1, 2, 1, 0, vl::WHITE, 0, {"ab"}});
    expectSprite("good-robust-default-color.txt", {1, 1, 1, 3, vl::WHITE, 0, {"@"}});
    expectSprite("good-robust-space-transparency.txt", {1, 3, 1, 0, vl::RED, ' ', {"( )"}});
    // The second "frames" line wins; unknown header and footer lines are only warned about.
    expectSprite("good-robust-extras.txt", {1, 2, 2, 2, vl::BLUE, 0, {"/\\\\/"}});
    // Rows may read "end" themselves: only the line after the last row must.
    expectSprite("good-robust-end-row.txt", {1, 3, 2, 0, vl::WHITE, 0, {"endend"}});
    EXPECT_EQ(vltest::logMessages(m_config.log()), "");
}

TEST_F(SpriteFile, BrokenFilesFailWithTheirExactMessages) {
    const std::string not_loaded = "RM::loadSprite(): Sprite 's' NOT loaded.";
    const std::string eof = "getLine(): Error! Unexpected end of file.";
    const std::string simple_eof = "RM::loadSimpleSprite(): Error! Unexpected end of file.";
    const std::string no_frame = "RM::loadRobustSprite(): Error! No frame data to add.";
    const std::string colors = "  Valid colors are: black, red, green, yellow,";
    const std::vector<BrokenFile> cases = {
        {"bad-simple-missing-width.txt", {eof, simple_eof, "\tMissing width (an integer).", not_loaded}},
        {"bad-simple-missing-color.txt", {eof, simple_eof, "\tMissing color (a string).", not_loaded}},
        {"bad-simple-width-not-a-number.txt",
         {"RM::loadSimpleSprite(): Error line 2! Width is 'wide'.", not_loaded}},
        {"bad-simple-zero-height.txt", {"RM::loadSimpleSprite(): Error line 3! Height is '0'.", not_loaded}},
        {"bad-simple-negative-slowdown.txt",
         {"RM::loadSimpleSprite(): Error line 4! Slowdown is '-1'.", not_loaded}},
        {"bad-simple-capital-color.txt",
         {"RM::loadSimpleSprite(): Error line 5! Unrecognized color 'Green'.", colors,
          "                    blue, magenta, cyan or white.", not_loaded}},
        {"bad-simple-color-trailing-space.txt",
         {"RM::loadSimpleSprite(): Error line 5! Unrecognized color 'green '.", colors,
          "                    blue, magenta, cyan or white.", not_loaded}},
        {"bad-simple-row-width.txt",
         {"RM::loadSimpleSprite(): Error line 7!", "\tLine  7: '+==+'", "\tWidth is 4, expected 3.",
          not_loaded}},
        {"bad-simple-extra-empty-line.txt",
         {"RM::loadSimpleSprite(): Error line 10!", "\tExtra file data: ''", not_loaded}},
        {"bad-simple-extra-data.txt",
         {"RM::loadSimpleSprite(): Error line 10!", "\tExtra file data: 'more'", not_loaded}},
        {"bad-simple-no-final-line-feed.txt",
         {eof, simple_eof, "\tReading frame 2 of 2, row 2 of 2.", not_loaded}},
        {"bad-simple-empty-row.txt", {simple_eof, "\tReading frame 1 of 2, row 2 of 2.", not_loaded}},
        {"bad-simple-missing-frame.txt",
         {eof, simple_eof, "\tReading frame 3 of 3, row 1 of 2.", not_loaded}},
        {"bad-simple-huge-frame-count.txt",
         {"Sprite::Sprite(): Error! Unable to allocate 2000000000 frames.",
          "RM::loadSimpleSprite(): Error! Unable to create Sprite.", not_loaded}},
        {"bad-simple-overflowing-number.txt",
         {"Sprite::Sprite(): Error! Unable to allocate 2147483647 frames.",
          "RM::loadSimpleSprite(): Error! Unable to create Sprite.", not_loaded}},
        {"bad-robust-missing-frames.txt",
         {"RM::loadRobustSprite(): Error! Missing 'frames' in header.", not_loaded}},
        {"bad-robust-height-alone.txt",
         {"RM::loadRobustSprite(): Error! Missing 'height' in header.", not_loaded}},
        {"bad-robust-capital-color.txt",
         {"RM::loadRobustSprite(): Error! Unrecognized color 'Green'.", colors,
          "                    blue, magenta, cyan and white.", not_loaded}},
        {"bad-robust-row-width.txt",
         {"\tError! Line 14: Line length is 4 (frame width is 3).", "\tLine 14: 'x==x'", no_frame,
          not_loaded}},
        {"bad-robust-missing-end.txt",
         {"\tError! Line 12: Expected 'end'.", "\tLine 12: '.o.'", no_frame, not_loaded}},
        {"bad-robust-extra-body.txt",
         {"RM::loadRobustSprite(): Error! Extra BODY:", "\tLine 16: junk", "\tLine 17: more junk",
          not_loaded}},
        {"bad-robust-missing-frame-data.txt",
         {"\tError! Line 16: No more frame data before 'end'.", no_frame, not_loaded}},
        {"bad-robust-misspelt-tag.txt",
         {"readData(): Error line 9! Expected '<BODY>', have '<BOD>'.", not_loaded}},
        {"bad-robust-footer-before-body.txt",
         {"readData(): Error line 6! Expected '<BODY>', have '<FOOTER>'.", not_loaded}},
        {"bad-robust-empty-line-in-header.txt",
         {"readData(): Error! Stop at line 4, never encountered '</HEADER>'.", not_loaded}},
        {"bad-robust-empty-line-in-body.txt",
         {"readData(): Error! Stop at line 13, never encountered '</BODY>'.", not_loaded}},
        {"bad-robust-unterminated-body.txt",
         {eof, "readData(): Error! Stop at line 9, never encountered '</BODY>'.", not_loaded}},
        {"bad-robust-no-final-line-feed.txt",
         {eof, "readData(): Error! Stop at line 19, never encountered '</FOOTER>'.", not_loaded}},
        {"bad-robust-missing-version.txt",
         {"RM::loadRobustSprite(): Error! Missing 'version' in FOOTER (line 19).", not_loaded}},
        {"bad-robust-empty-body.txt", {"readData(): Error! No data in '<BODY>' (line 7).", not_loaded}},
        {"bad-robust-zero-frames.txt",
         {"RM::loadRobustSprite(): Error! Extra BODY:", "\tLine 10: .o.", "\tLine 11: +=+", "\tLine 12: end",
          "\tLine 13: .o.", "\tLine 14: x=x", "\tLine 15: end", not_loaded}},
        {"bad-robust-negative-height.txt",
         {"\tError! Line 10: Expected 'end'.", "\tLine 10: '.o.'", no_frame, not_loaded}},
        {"bad-robust-huge-frame-count.txt",
         {"Sprite::Sprite(): Error! Unable to allocate 999999999 frames.",
          "RM::loadRobustSprite(): Error! Unable to create Sprite.", not_loaded}},
        {"bad-robust-huge-size.txt",
         {"\tError! Line 10: Line length is 3 (frame width is 2147483647).", "\tLine 10: '.o.'", no_frame,
          not_loaded}},
        {"bad-robust-long-line.txt",
         {"getLine(): Error! Line 18 is longer than 65536 characters.",
          "readData(): Error! Stop at line 18, never encountered '</FOOTER>'.", not_loaded}},
        {"bad-unknown-zero.txt",
         {"RM::loadSprite(): Error! Unknown sprite file format.", "RM::loadSprite(): First line is '0'.",
          not_loaded}},
        {"bad-unknown-empty.txt",
         {eof, "RM::loadSprite(): Error! Unknown sprite file format.", "RM::loadSprite(): First line is ''.",
          not_loaded}},
        {"bad-unknown-letter.txt",
         {"RM::loadSprite(): Error! Unknown sprite file format.",
          "RM::loadSprite(): First line is 'frames 2'.", not_loaded}},
        {"bad-unknown-lowercase-tag.txt",
         {"RM::loadSprite(): Error! Unknown sprite file format.",
          "RM::loadSprite(): First line is '<header>'.", not_loaded}},
        {"bad-unknown-header-without-line-feed.txt",
         {eof, "RM::loadSprite(): Error! Unknown sprite file format.", "RM::loadSprite(): First line is ''.",
          not_loaded}},
    };
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    ASSERT_EQ(resources.loadSprite(spritePath("good-simple.txt"), "kept"), 0);
    size_t seen = m_config.log().size();
    for (const BrokenFile& broken : cases) {
        EXPECT_EQ(resources.loadSprite(spritePath(broken.file), "s"), -1) << broken.file;
        const std::string log = m_config.log();
        EXPECT_EQ(vltest::logMessages(log.substr(seen)), joinLines(broken.messages)) << broken.file;
        seen = log.size();
    }
    EXPECT_EQ(resources.getSpriteCount(), 1);
    EXPECT_NE(resources.getSprite("kept"), nullptr);
}

TEST_F(SpriteFile, MissingFileIsReportedAndNotLoaded) {
    const std::string path = vltest::tempPath("no-such-sprite.txt");
    EXPECT_EQ(vl::ResourceManager::getInstance().loadSprite(path, "ghost"), -1);
    EXPECT_EQ(vltest::logMessages(m_config.log()), "RM::loadSprite(): Error! Cannot open file '" + path +
                                                       "'.\nRM::loadSprite(): Sprite 'ghost' not loaded.\n");
    EXPECT_EQ(vl::ResourceManager::getInstance().getSpriteCount(), 0);
}

// A directory opens as a file but throws on the first read; a named pipe would wait for a writer forever.
TEST_F(SpriteFile, DirectoriesAndPipesAreRefusedWithoutReading) {
    const std::string directory = vltest::tempPath("sprite-directory");
    const std::string pipe = vltest::tempPath("sprite-pipe");
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    EXPECT_EQ(resources.loadSprite(directory, "folder"), -1);
    EXPECT_EQ(resources.loadSprite(pipe, "pipe"), -1);
    EXPECT_EQ(vltest::logMessages(m_config.log()),
              "RM::loadSprite(): Error! '" + directory + "' is not a regular file.\n" +
                  "RM::loadSprite(): Sprite 'folder' not loaded.\n" + "RM::loadSprite(): Error! '" + pipe +
                  "' is not a regular file.\n" + "RM::loadSprite(): Sprite 'pipe' not loaded.\n");
    EXPECT_EQ(resources.getSpriteCount(), 0);
    rmdir(directory.c_str());
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

TEST_F(SpriteFile, LookupIsExactAndTheFirstLoadedWins) {
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    ASSERT_EQ(resources.loadSprite(spritePath("good-simple.txt"), "hero"), 0);
    ASSERT_EQ(resources.loadSprite(spritePath("good-robust-defaults.txt"), "hero"), 0);
    const vl::Sprite* p_hero = resources.getSprite("hero");
    ASSERT_NE(p_hero, nullptr);
    EXPECT_EQ(p_hero->getFrameCount(), 2);
    EXPECT_EQ(resources.getSprite("Hero"), nullptr);
    EXPECT_EQ(resources.getSprite("her"), nullptr);
    EXPECT_EQ(vltest::logMessages(m_config.log()),
              "RM::getSprite(): Warning! Sprite 'Hero' not found.\nRM::getSprite(): Warning! Sprite 'her' "
              "not found.\n");
}

TEST_F(SpriteFile, TheThousandAndFirstSpriteIsRefused) {
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    const std::string path = spritePath("good-simple.txt");
    for (int i = 0; i < vl::MAX_SPRITES; i++) {
        ASSERT_EQ(resources.loadSprite(path, "s" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(resources.loadSprite(path, "one too many"), -1);
    EXPECT_EQ(resources.getSpriteCount(), 1000);
    EXPECT_EQ(vltest::logMessages(m_config.log()),
              "RM::loadRobustSprite(): Error! Cannot add more Sprites (max is 1000).\n"
              "RM::loadRobustSprite(): Sprite 'one too many' not loaded.\n");
    EXPECT_NE(resources.getSprite("s999"), nullptr);
}

TEST(SpriteFileManager, NothingLoadsBeforeStartUpAndShutDownFreesEverything) {
    vltest::LoggedConfig config("headless:true");
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    EXPECT_EQ(resources.loadSprite(spritePath("good-simple.txt"), "early"), -1);
    EXPECT_EQ(vltest::countLines(vltest::logMessages(config.log()), "ResourceManager not started!"), 1);
    ASSERT_EQ(resources.startUp(), 0);
    ASSERT_EQ(resources.loadSprite(spritePath("good-simple.txt"), "a"), 0);
    resources.shutDown();
    EXPECT_EQ(resources.getSpriteCount(), 0);
    ASSERT_EQ(resources.startUp(), 0);
    EXPECT_EQ(resources.getSprite("a"), nullptr);
}
