// The oscilloscope's sample window.
#include "app/monitor/ScopeWindow.h"

#include <algorithm>
#include <cstring>

namespace {

int16_t SampleAt(const char* data, int index) {
    int16_t sample;
    std::memcpy(&sample, data + 2 * index, sizeof sample);
    return sample;
}

}  // namespace

void CScopeWindow::SetWindow(int ms) {
    const int64_t bytes = int64_t{m_format.sampleRate / 1000} * (m_format.bitsPerSample / 8) * m_format.channels * ms;
    m_capacity = bytes > 0 && bytes < (1 << 24) ? static_cast<int>(bytes) : 400;
    m_window.assign(m_capacity + 2, 0);  // 2 bytes of slack: the mono right trace reads one sample on
    m_valid = 0;
}

void CScopeWindow::Feed(const char* data, int bytes) {
    if (!HasWindow() || !data || bytes <= 0) return;
    m_valid = std::min(m_capacity, bytes);
    std::memcpy(m_window.data(), data, m_valid);
}

int ScopeFramesPerPanel(const PcmFormat& format, int validBytes, int innerWidth) {
    if (format.bitsPerSample != 16 || format.BlockSize() <= 0 || validBytes <= 0 || innerWidth <= 0) return 0;
    return std::min(validBytes / format.BlockSize(), innerWidth) / 2;
}

int16_t ScopeLeftSample(const char* data, const PcmFormat& format, int i) {
    return SampleAt(data, i * format.channels);
}

int16_t ScopeRightSample(const char* data, const PcmFormat& format, int i) {
    return SampleAt(data, i * format.channels + 1);
}
