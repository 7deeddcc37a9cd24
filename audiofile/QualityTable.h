// QualityEntry: one row of a format's quality list, a fixed 64-byte record; QualityTable: a format's list.
#pragma once

#include <cstdint>

#include "foundation/UserText.h"

struct QualityEntry {
    char label[52];      // NUL-terminated
    int32_t value;       // bits per second, or bits per sample for the PCM list
    int32_t sampleRate;  // Hz
    int32_t channels;
};
static_assert(sizeof(QualityEntry) == 64);

struct QualityTable {
    const QualityEntry* rows = nullptr;
    int count = 0;
    int defaultRow = 0;      // the row preselected when the format is chosen
    int monoDefaultRow = 0;  // the same for a mono input

    // The row at `index`, or null when the list has none there.
    const QualityEntry* Row(int index) const { return index >= 0 && index < count ? rows + index : nullptr; }
};

// A row's label as the user reads it: the stored label with its words ("Stereo", "Mono",
// "Level 5") from the catalogue, its numbers and units as they stand.
UserText QualityLabel(const QualityEntry& row);
