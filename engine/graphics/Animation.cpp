// SPDX-License-Identifier: MIT
#include <veltrane/graphics/Animation.h>

#include <climits>
#include <cstdint>
#include <utility>

#include <veltrane/core/LogManager.h>
#include <veltrane/core/Utility.h>
#include <veltrane/graphics/Sprite.h>

namespace vl {

namespace {

// Bytes left to read in a seekable stream, or -1 when it cannot tell.
long long remainingBytes(std::istream& stream) {
    const std::istream::pos_type here = stream.tellg();
    if (here == std::istream::pos_type(-1)) {
        return -1;
    }
    stream.seekg(0, std::ios::end);
    const std::istream::pos_type end = stream.tellg();
    stream.seekg(here);
    if (end == std::istream::pos_type(-1)) {
        return -1;
    }
    return static_cast<long long>(end - here);
}

const uint64_t MAX_UNSEEKABLE_NAME = 1 << 20;  // when the stream cannot say how much it holds

}  // namespace

Animation::Animation() : m_p_sprite(nullptr), m_index(0), m_slowdown_count(0), m_modified(true) {}

void Animation::setSprite(Sprite* p_new_sprite) {
    if (p_new_sprite != nullptr && m_name != p_new_sprite->getLabel()) {
        m_name = p_new_sprite->getLabel();
    }
    m_p_sprite = p_new_sprite;
    if (m_index != 0) {
        m_index = 0;
    }
    m_modified = true;
}

Sprite* Animation::getSprite() const {
    return m_p_sprite;
}

void Animation::setName(std::string new_name) {
    if (new_name != m_name) {
        m_name = std::move(new_name);
        m_modified = true;
    }
}

std::string Animation::getName() const {
    return m_name;
}

void Animation::setIndex(int new_index) {
    if (new_index != m_index) {
        m_index = new_index;
        m_modified = true;
    }
}

int Animation::getIndex() const {
    return m_index;
}

void Animation::setSlowdownCount(int new_slowdown_count) {
    if (new_slowdown_count != m_slowdown_count) {
        m_slowdown_count = new_slowdown_count;
        m_modified = true;
    }
}

int Animation::getSlowdownCount() const {
    return m_slowdown_count;
}

bool Animation::isModified() const {
    return m_modified;
}

void Animation::setModified(bool new_modified) {
    m_modified = new_modified;
}

int Animation::draw(Vector position) {
    if (m_p_sprite == nullptr) {
        return 0;
    }
    const int result = m_p_sprite->draw(m_index, position, m_p_sprite->getTransparency());
    if (m_slowdown_count == -1) {
        return result;
    }
    if (m_slowdown_count < INT_MAX) {
        m_slowdown_count++;
    }
    if (m_slowdown_count >= m_p_sprite->getSlowdown()) {
        m_slowdown_count = 0;
        m_index++;
        if (m_index >= m_p_sprite->getFrameCount() || m_index < 0) {
            m_index = 0;
        }
    }
    return result;
}

Box Animation::getBox() const {
    if (m_p_sprite == nullptr) {
        return Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f);
    }
    const auto width = static_cast<float>(m_p_sprite->getWidth());
    const auto height = static_cast<float>(m_p_sprite->getHeight());
    return Box(Vector(-width * 0.5f, -height * 0.5f), width, height);
}

std::string Animation::toString() const {
    return "sprite " + m_name + ", frame_idx " + vl::toString(m_index);
}

int Animation::serialize(std::ostream& stream) const {
    const uint64_t length = m_name.size();
    const auto index = static_cast<int32_t>(m_index);
    const auto slowdown_count = static_cast<int32_t>(m_slowdown_count);
    stream.write(reinterpret_cast<const char*>(&length), sizeof(length));
    stream.write(m_name.data(), static_cast<std::streamsize>(length));
    stream.write(reinterpret_cast<const char*>(&index), sizeof(index));
    stream.write(reinterpret_cast<const char*>(&slowdown_count), sizeof(slowdown_count));
    return checkStream("Animation::serialize()", stream);
}

int Animation::deserialize(std::istream& stream) {
    uint64_t length = 0;
    stream.read(reinterpret_cast<char*>(&length), sizeof(length));
    if (!stream) {
        return checkStream("Animation::deserialize()", stream);
    }
    // The length comes from outside: never allocate more than the record can still hold.
    const long long remaining = remainingBytes(stream);
    const uint64_t limit = remaining >= 0 ? static_cast<uint64_t>(remaining) : MAX_UNSEEKABLE_NAME;
    if (length > limit) {
        LogManager::getInstance().writeLog("Animation::deserialize(): Error! Cannot allocate %d bytes.",
                                           length > INT_MAX ? INT_MAX : static_cast<int>(length));
        stream.setstate(std::ios::failbit);
        return checkStream("Animation::deserialize()", stream);
    }
    std::string name(static_cast<size_t>(length), '\0');
    stream.read(&name[0], static_cast<std::streamsize>(length));
    int32_t index = 0;
    int32_t slowdown_count = 0;
    stream.read(reinterpret_cast<char*>(&index), sizeof(index));
    stream.read(reinterpret_cast<char*>(&slowdown_count), sizeof(slowdown_count));
    if (!stream) {
        return checkStream("Animation::deserialize()", stream);
    }
    setName(name);
    setIndex(index);
    setSlowdownCount(slowdown_count);
    return checkStream("Animation::deserialize()", stream);
}

}  // namespace vl
