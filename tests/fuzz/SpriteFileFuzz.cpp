// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the sprite-file reader as if they were a file's contents: it must neither crash
// nor hang nor exhaust memory, and any sprite it accepts must be consistent with its header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/Sprite.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/resources/SpriteReader.h>

extern "C" int LLVMFuzzerInitialize(int* /*p_argc*/, char*** /*p_argv*/) {
    // Thousands of failing loads a second would fill a real log file.
    setenv("VELTRANE_LOG", "/dev/null", 1);
    vl::Config::getInstance().loadConfig("headless:true");
    vl::LogManager::getInstance().startUp();
    vl::ResourceManager::getInstance().startUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    const std::string contents(reinterpret_cast<const char*>(p_data), size);
    std::istringstream stream(contents);
    vl::SpriteReader reader;
    vl::Sprite* p_sprite = reader.readSprite(stream, "fuzz");
    if (p_sprite == nullptr) {
        return 0;
    }
    const int width = p_sprite->getWidth();
    const int height = p_sprite->getHeight();
    if (p_sprite->getFrameCount() < 1 || p_sprite->getFrameCount() > p_sprite->getMaxFrameCount() ||
        width < 1 || height < 1) {
        std::abort();
    }
    for (int i = 0; i < p_sprite->getFrameCount(); i++) {
        const vl::Frame frame = p_sprite->getFrame(i);
        if (frame.getWidth() != width || frame.getHeight() != height ||
            frame.getString().size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
            std::abort();
        }
    }
    // Whatever was accepted must have come from the input: a frame's characters cannot outnumber its bytes.
    if (static_cast<size_t>(width) * static_cast<size_t>(height) > size) {
        std::abort();
    }
    delete p_sprite;
    return 0;
}
