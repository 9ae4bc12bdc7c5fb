// SPDX-License-Identifier: MIT
// Arbitrary bytes as a sprite file: the reader must neither crash nor hang nor exhaust memory, and a sprite
// it accepts must have whole frames of the size its header gave.
#include <cstdint>
#include <cstdlib>
#include <memory>
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
    if (vl::LogManager::getInstance().startUp() != 0) {
        std::abort();
    }
    if (vl::ResourceManager::getInstance().startUp() != 0) {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    std::istringstream stream(std::string(reinterpret_cast<const char*>(p_data), size));
    const std::unique_ptr<vl::Sprite> p_sprite(vl::SpriteReader().readSprite(stream, "fuzz"));
    if (p_sprite == nullptr) {
        return 0;
    }
    const size_t cells =
        static_cast<size_t>(p_sprite->getWidth()) * static_cast<size_t>(p_sprite->getHeight());
    // A frame's characters cannot outnumber the input's bytes.
    if (p_sprite->getFrameCount() < 1 || cells < 1 || cells > size) {
        std::abort();
    }
    for (int i = 0; i < p_sprite->getFrameCount(); i++) {
        if (p_sprite->getFrame(i).getString().size() != cells) {
            std::abort();
        }
    }
    return 0;
}
