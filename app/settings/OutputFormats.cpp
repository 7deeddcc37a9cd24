// Output formats as the front ends check and estimate them.
#include "app/settings/OutputFormats.h"

#include "app/files/FileNameTemplate.h"
#include "audiofile/EncoderPlugIn.h"
#include "audiofile/FlacWriter.h"
#include "audiofile/LameLibrary.h"
#include "audiofile/OggWriter.h"
#include "tags/WmaDecoder.h"

const char* FormatName(OutputFormat format) {
    switch (format) {
        // untranslated: the formats' own names
        case OutputFormat::Wma: return "WMA";
        case OutputFormat::OggVorbis: return "OGG";
        case OutputFormat::Mp3: return "MP3";
        case OutputFormat::Flac: return "FLAC";
        case OutputFormat::Opus: return "OPUS";
        case OutputFormat::Wav: break;
    }
    return "WAV";
}

Result<void> OutputFormatAvailable(OutputFormat format) {
    switch (format) {
        case OutputFormat::Mp3: {
            const Result<const LameFunctions*> lame = LoadLameLibrary();
            if (lame) return {};
            return KindFailure(FailureKind::kMissing,
                               UserText("OutputFormats", "MP3 で録音するには LAME エンコーダーのモジュール lame_enc.so "
                                                         "(プログラムと同じ場所かモジュールフォルダ) が必要です: %1")
                                   .Arg(lame.error().message));
        }
        case OutputFormat::Wma:
            // The same search as the WMA writer's, so a present module here is the one it uses.
            if (LoadEncoderPlugIn(kWmaPlugInSlot, "WMAENC") || LoadEncoderPlugIn(kWmaPlugInSlot, "WMAENC8"))
                return {};
            return KindFailure(FailureKind::kMissing,
                               UserText("OutputFormats", "WMA で録音するにはエンコーダーのプラグイン WMAENC.so "
                                                         "(プログラムと同じ場所かモジュールフォルダ) が必要ですが、読み込めませんでした"));
        case OutputFormat::Wav:
        case OutputFormat::OggVorbis:
        case OutputFormat::Flac: break;
        case OutputFormat::Opus: break;
    }
    return {};
}

bool OutputFormatUsable(OutputFormat format) {
    return OutputFormatAvailable(format).has_value() && (format != OutputFormat::Wma || LoadWmaDecoder().has_value());
}

UserText EncoderInstallHint(OutputFormat format) {
    if (format == OutputFormat::Mp3)
        return UserText("OutputBarModel",
                        "このLinux環境では、パッケージ libmp3lame0 (sudo apt-get install libmp3lame0) と、"
                        "プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある lame_enc.so が必要です。");
    if (format == OutputFormat::Wma)
        return UserText("OutputBarModel",
                        "このLinux環境では、パッケージ libavcodec59 libavformat59 libtag1v5 "
                        "(sudo apt-get install libavcodec59 libavformat59 libtag1v5) と、"
                        "プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある WMAENC.so と WMADEC9.so が必要です。");
    return {};
}

UserText FallBackFromMissingEncoder(RecordingSettings& settings, const std::function<bool(OutputFormat)>& usable) {
    const OutputFormat chosen = settings.outputFormat;
    if (usable(chosen)) return {};
    // As a format switch leaves them: the default row, the default Ogg quality, the extension.
    settings.outputFormat = kFallBackFormat;
    settings.qualityIndex = DefaultQualityIndex(kFallBackFormat, settings.channels);
    settings.oggQuality = kDefaultOggQuality;
    settings.fileNameTemplate = TemplateWithFormatExtension(settings.fileNameTemplate, kFallBackFormat);
    return UserText("OutputFormats", "%1 のエンコーダーを使えないため、%2 形式 (拡張子 %3) で録音します。%4")
        .Arg(FormatName(chosen))
        .Arg(FormatName(kFallBackFormat))
        .Arg(DefaultExtension(kFallBackFormat))
        .Arg(EncoderInstallHint(chosen));
}

double OutputBytesPerSecond(const RecordingSettings& settings) {
    const QualityEntry* found =
        QualityTableFor(settings.outputFormat).Row(settings.qualityIndex);
    if (!found) return 0;
    const QualityEntry& row = *found;
    switch (settings.outputFormat) {
        case OutputFormat::Wav: return row.sampleRate * row.channels * (row.value / 8.0);
        case OutputFormat::Flac: return row.sampleRate * row.channels * 2 * kFlacSizeOfPcm;
        case OutputFormat::OggVorbis: {
            const int bitrate = OggNominalBitrate(settings.oggQuality, row.sampleRate, row.channels);
            return bitrate > 0 ? bitrate / 8.0 : 0;
        }
        case OutputFormat::Wma:
        case OutputFormat::Mp3:
        case OutputFormat::Opus: break;
    }
    return row.value / 8.0;
}
