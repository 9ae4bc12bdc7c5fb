// SPDX-License-Identifier: MIT
#include <veltrane/audio/AudioResource.h>

namespace vl {

AudioResource::AudioResource()
    : m_label("[Undefined]"), m_channel_count(0), m_sample_rate(0), m_duration(0.0f) {}

AudioResource::~AudioResource() = default;

void AudioResource::setLabel(std::string new_label) {
    m_label = std::move(new_label);
}

std::string AudioResource::getLabel() const {
    return m_label;
}

unsigned int AudioResource::getChannelCount() const {
    return m_channel_count;
}

unsigned int AudioResource::getSampleRate() const {
    return m_sample_rate;
}

float AudioResource::getDuration() const {
    return m_duration;
}

void AudioResource::setFormat(unsigned int channels, unsigned int rate, float duration) {
    m_channel_count = channels;
    m_sample_rate = rate;
    m_duration = duration;
}

}  // namespace vl
