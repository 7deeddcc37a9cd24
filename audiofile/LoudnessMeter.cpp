// Loudness through libebur128, fed block by block from the reader's decoder.
#include "audiofile/LoudnessMeter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

struct StateFree {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};

Failure Unmeasured(UserText why) { return KindFailure(FailureKind::kBadData, std::move(why)); }

}  // namespace

Result<TrackLoudness> MeasureLoudness(CAudioReader& reader, const char* path) {
    if (Result<void> opened = reader.Open(path); !opened) return std::move(opened).error();
    Result<void> begun = reader.Begin();
    if (!begun) {
        static_cast<void>(reader.Close());
        return std::move(begun).error();
    }
    const int channels = reader.Channels();
    if (channels <= 0 || reader.SampleRate() <= 0 || reader.BitsPerSample() != 16) {
        static_cast<void>(reader.End());
        static_cast<void>(reader.Close());
        return Unmeasured(UserText("LoudnessMeter", "デコードした音声の形式を測れません"));
    }
    const std::unique_ptr<ebur128_state, StateFree> state(
        ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(reader.SampleRate()),
                     EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK));
    bool fed = state != nullptr;
    while (fed && reader.ReadBlock()) {
        const auto frames = static_cast<size_t>(reader.BlockBytes()) / (2 * static_cast<size_t>(channels));
        fed = ebur128_add_frames_short(state.get(), reinterpret_cast<const short*>(reader.Block()), frames) ==
              EBUR128_SUCCESS;
    }
    static_cast<void>(reader.End());
    static_cast<void>(reader.Close());
    if (!fed) return Unmeasured(UserText("LoudnessMeter", "ラウドネスの計測に失敗しました"));
    double integrated = -HUGE_VAL;
    if (ebur128_loudness_global(state.get(), &integrated) != EBUR128_SUCCESS || !std::isfinite(integrated))
        return Unmeasured(UserText("LoudnessMeter", "短すぎるか無音のため、ラウドネスを測れません"));
    TrackLoudness loudness{integrated, 0};
    for (int channel = 0; channel < channels; ++channel) {
        double peak = 0;
        if (ebur128_sample_peak(state.get(), static_cast<unsigned>(channel), &peak) == EBUR128_SUCCESS)
            loudness.peak = std::max(loudness.peak, peak);
    }
    return loudness;
}
