// CScopeWindow: the oscilloscope's copy of the start of the newest captured block, and the
// two traces drawn from it.
#pragma once

#include <cstdint>
#include <vector>

#include "recording/PcmFormat.h"

class CScopeWindow {
public:
    void SetFormat(const PcmFormat& format) { m_format = format; }
    const PcmFormat& Format() const { return m_format; }
    // A zeroed window of `ms` of the format (400 bytes when that is not positive). Allocates.
    void SetWindow(int ms);
    // Copies the start of a block into the window; nothing while there is no window.
    void Feed(const char* data, int bytes);

    bool HasWindow() const { return m_capacity > 0; }
    int Capacity() const { return m_capacity; }
    int ValidBytes() const { return m_valid; }
    const char* Data() const { return m_window.data(); }

private:
    PcmFormat m_format;
    std::vector<char> m_window;
    int m_capacity = 0;
    int m_valid = 0;
};

// The frames each panel shows of `validBytes` of `format` on a scope `innerWidth` pixels wide
// (the control less its frame): none but for 16-bit samples.
int ScopeFramesPerPanel(const PcmFormat& format, int validBytes, int innerWidth);
// Sample `i` of the left trace, and of the right one: the second channel, or for mono input the
// next frame's sample (the same channel shifted by one sample).
int16_t ScopeLeftSample(const char* data, const PcmFormat& format, int i);
int16_t ScopeRightSample(const char* data, const PcmFormat& format, int i);
