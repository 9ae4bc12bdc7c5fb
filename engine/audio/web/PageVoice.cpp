// SPDX-License-Identifier: MIT
#include "PageVoice.h"

#include <cstring>
#include <fstream>

extern "C" {
int vl_audio_load(const char* path, int music);  // a voice id; the page decodes in the background
void vl_audio_free(int id);
void vl_audio_play(int id);
void vl_audio_pause(int id);
void vl_audio_stop(int id);
void vl_audio_loop(int id, int loop);
int vl_audio_status(int id);  // 0 stopped, 1 paused, 2 playing
double vl_audio_offset(int id);
int vl_audio_available();
}

namespace sf {

PageVoice::PageVoice(const std::string& filename, bool music)
    : m_id(vl_audio_load(filename.c_str(), music ? 1 : 0)) {}

PageVoice::~PageVoice() {
    vl_audio_free(m_id);
}

void PageVoice::play() {
    vl_audio_play(m_id);
}

void PageVoice::pause() {
    vl_audio_pause(m_id);
}

void PageVoice::stop() {
    vl_audio_stop(m_id);
}

void PageVoice::setLoop(bool loop) {
    vl_audio_loop(m_id, loop ? 1 : 0);
}

PageVoice::Status PageVoice::getStatus() const {
    return static_cast<Status>(vl_audio_status(m_id));
}

float PageVoice::getOffset() const {
    return static_cast<float>(vl_audio_offset(m_id));
}

}  // namespace sf

namespace vl {

std::string audioContainer(const std::string& filename) {
    std::ifstream file(filename, std::ios::binary);
    unsigned char head[12] = {};
    file.read(reinterpret_cast<char*>(head), sizeof head);
    const std::streamsize got = file.gcount();
    if (got >= 3 && std::memcmp(head, "ID3", 3) == 0) {
        return "MP3";
    }
    if (got >= 2 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0) {
        return "MP3";  // an MPEG audio frame's sync bits
    }
    if (got >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) {
        return "WAV";
    }
    if (got >= 4 && std::memcmp(head, "OggS", 4) == 0) {
        return "OGG";
    }
    if (got >= 4 && std::memcmp(head, "fLaC", 4) == 0) {
        return "FLAC";
    }
    return "";
}

}  // namespace vl
