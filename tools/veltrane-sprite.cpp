// SPDX-License-Identifier: MIT
// Checks sprite files with the engine's own loader and previews every frame in the terminal.
//
// Usage: veltrane-sprite check [--color|--no-color] FILE...
//
// The loader's messages go to standard error, exactly as the engine logs them before its log file is
// open; the summary and the frames go to standard output. Transparent cells are shown blank, as the
// game draws them. Colour is used when standard output is a terminal, unless NO_COLOR is set.
// Exit status: 0 when every file loads, 1 when any does not, 2 on a usage error.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <veltrane/graphics/Color.h>
#include <veltrane/graphics/Sprite.h>
#include <veltrane/platform/Platform.h>
#include <veltrane/resources/ResourceManager.h>

namespace {

const char* const USAGE = "usage: veltrane-sprite check [--color|--no-color] FILE...\n";

std::string transparencyText(char transparency) {
    if (transparency == 0) {
        return "none";
    }
    return std::string("'") + transparency + "'";
}

// The colours 0..7 are in the order of the terminal's eight foreground colours.
void printRow(const std::string& row, const vl::Sprite& sprite, bool use_color) {
    std::string shown = row;
    for (char& c : shown) {
        if (sprite.getTransparency() != 0 && c == sprite.getTransparency()) {
            c = ' ';
        }
    }
    const int color = sprite.getColor();
    if (use_color && color >= vl::BLACK && color <= vl::WHITE) {
        std::printf("    |\033[1;%dm%s\033[0m|\n", 30 + color, shown.c_str());
    } else {
        std::printf("    |%s|\n", shown.c_str());
    }
}

void printFrames(const vl::Sprite& sprite, bool use_color) {
    for (int i = 0; i < sprite.getFrameCount(); i++) {
        const vl::Frame frame = sprite.getFrame(i);
        const std::string text = frame.getString();
        const auto width = static_cast<size_t>(frame.getWidth());
        const std::string edge = "    +" + std::string(width, '-') + "+";
        std::printf("  frame %d\n%s\n", i + 1, edge.c_str());
        for (size_t start = 0; width > 0 && start + width <= text.size(); start += width) {
            printRow(text.substr(start, width), sprite, use_color);
        }
        std::printf("%s\n", edge.c_str());
    }
}

// Loads one file as a game would, under its path as the label; true when the loader accepted it.
bool checkFile(const std::string& path, bool use_color) {
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    // A fresh start per file frees the last sprite, so any number of files can be checked.
    if (resources.startUp() != 0) {
        std::printf("%s: NOT checked: the resource manager did not start\n", path.c_str());
        return false;
    }
    // Standard error is unbuffered: flushing here keeps the loader's messages next to their file.
    std::fflush(stdout);
    const bool loaded = resources.loadSprite(path, path) == 0;
    if (loaded) {
        const vl::Sprite& sprite = *resources.getSprite(path);
        std::printf("%s: OK: %d frame(s), %d x %d, %s, slowdown %d, transparency %s\n", path.c_str(),
                    sprite.getFrameCount(), sprite.getWidth(), sprite.getHeight(),
                    vl::colorToName(sprite.getColor()).c_str(), sprite.getSlowdown(),
                    transparencyText(sprite.getTransparency()).c_str());
        printFrames(sprite, use_color);
    } else {
        std::printf("%s: NOT loaded\n", path.c_str());
    }
    resources.shutDown();
    return loaded;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2 || std::strcmp(argv[1], "check") != 0) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    bool use_color = vl::platform::isTerminal(1) && std::getenv("NO_COLOR") == nullptr;
    std::vector<std::string> files;
    for (int i = 2; i < argc; i++) {
        const std::string arg = argv[i];
        if (arg == "--color") {
            use_color = true;
        } else if (arg == "--no-color") {
            use_color = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "veltrane-sprite: unknown option '%s'\n%s", arg.c_str(), USAGE);
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    // Nothing is played: the silent device keeps the audio library from probing real hardware.
    setenv("ALSOFT_DRIVERS", "null", 1);
    int failures = 0;
    for (const std::string& path : files) {
        if (!checkFile(path, use_color)) {
            failures++;
        }
    }
    std::printf("%zu file(s) checked, %d failed\n", files.size(), failures);
    return failures == 0 ? 0 : 1;
}
