// QualityEntry: one row of a format's quality list, a fixed 64-byte record.
#pragma once

#include <cstdint>

struct QualityEntry {
    char label[52];      // NUL-terminated
    int32_t value;       // bits per second, or bits per sample for the PCM list
    int32_t sampleRate;  // Hz
    int32_t channels;
};
static_assert(sizeof(QualityEntry) == 64);
