// The WAVE_FORMAT_* flag table.
#include "platform/WaveFormats.h"

const WaveFormatFlag kWaveFormatFlags[20] = {
    {0x00001, 11025, 1, 8},  {0x00002, 11025, 2, 8},  {0x00004, 11025, 1, 16}, {0x00008, 11025, 2, 16},
    {0x00010, 22050, 1, 8},  {0x00020, 22050, 2, 8},  {0x00040, 22050, 1, 16}, {0x00080, 22050, 2, 16},
    {0x00100, 44100, 1, 8},  {0x00200, 44100, 2, 8},  {0x00400, 44100, 1, 16}, {0x00800, 44100, 2, 16},
    {0x01000, 48000, 1, 8},  {0x02000, 48000, 2, 8},  {0x04000, 48000, 1, 16}, {0x08000, 48000, 2, 16},
    {0x10000, 96000, 1, 8},  {0x20000, 96000, 2, 8},  {0x40000, 96000, 1, 16}, {0x80000, 96000, 2, 16},
};

uint32_t WaveFormatFlagFor(int sampleRate, int channels, int bits) {
    for (const WaveFormatFlag& f : kWaveFormatFlags)
        if (f.sampleRate == sampleRate && f.channels == channels && f.bits == bits) return f.flag;
    return 0;
}
