// The table of output formats and its lookups.
#include "audiofile/FormatTable.h"

#include <strings.h>

#include "audiofile/EncoderPlugIn.h"
#include "audiofile/FlacReader.h"
#include "audiofile/FlacWriter.h"
#include "audiofile/LameLibrary.h"
#include "audiofile/Mp3Reader.h"
#include "audiofile/Mp3Writer.h"
#include "audiofile/OggReader.h"
#include "audiofile/OggWriter.h"
#include "audiofile/OpusReader.h"
#include "audiofile/OpusWriter.h"
#include "audiofile/WavReader.h"
#include "audiofile/WavWriter.h"
#include "audiofile/WmaReader.h"
#include "audiofile/WmaWriter.h"
#include "foundation/PathUtils.h"
#include "tags/FlacTagFile.h"
#include "tags/Mp3TagFile.h"
#include "tags/OpusTagFile.h"
#include "tags/VorbisTagFile.h"
#include "tags/WavTagFile.h"
#include "tags/WmaDecoder.h"
#include "tags/WmaTagFile.h"

namespace {

template <typename Writer>
std::unique_ptr<CAudioWriter> NewWriter(int) {
    return std::make_unique<Writer>();
}

template <typename Reader>
std::unique_ptr<CAudioReader> NewReader() {
    return std::make_unique<Reader>();
}

template <typename Editor>
std::unique_ptr<CTagFile> NewEditor() {
    return std::make_unique<Editor>();
}

std::unique_ptr<CAudioWriter> NewOggWriter(int quality) {
    auto ogg = std::make_unique<COggWriter>();
    // The comments go in after the close, into the room their page keeps.
    ogg->SetRewriteComments(true);
    if (!ogg->SetQuality(quality)) return nullptr;
    return ogg;
}

std::unique_ptr<CAudioWriter> NewMp3Writer(int) {
    // Without the encoder module no file is created.
    if (!LoadLameLibrary()) return nullptr;
    return std::make_unique<CMp3Writer>();
}

std::unique_ptr<CAudioWriter> NewFlacWriter(int level) {
    auto flac = std::make_unique<CFlacWriter>();
    if (!flac->SetCompressionLevel(level)) return nullptr;
    return flac;
}

Result<void> LameAvailable() {
    const Result<const LameFunctions*> lame = LoadLameLibrary();
    if (lame) return {};
    return KindFailure(FailureKind::kMissing,
                       UserText("OutputFormats", "MP3 で録音するには LAME エンコーダーのモジュール lame_enc.so "
                                                 "(プログラムと同じ場所かモジュールフォルダ) が必要です: %1")
                           .Arg(lame.error().message));
}

Result<void> WmaEncoderAvailable() {
    // The same search as the WMA writer's, so a present module here is the one it uses.
    if (LoadEncoderPlugIn(kWmaPlugInSlot, "WMAENC") || LoadEncoderPlugIn(kWmaPlugInSlot, "WMAENC8")) return {};
    return KindFailure(FailureKind::kMissing,
                       UserText("OutputFormats", "WMA で録音するにはエンコーダーのプラグイン WMAENC.so "
                                                 "(プログラムと同じ場所かモジュールフォルダ) が必要ですが、読み込めませんでした"));
}

bool WmaTaggerAvailable() { return LoadWmaDecoder().has_value(); }

UserText LameInstallHint() {
    return UserText("OutputBarModel",
                    "このLinux環境では、パッケージ libmp3lame0 (sudo apt-get install libmp3lame0) と、"
                    "プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある lame_enc.so が必要です。");
}

UserText WmaInstallHint() {
    return UserText("OutputBarModel",
                    "このLinux環境では、パッケージ libavcodec59 libavformat59 libtag1v5 "
                    "(sudo apt-get install libavcodec59 libavformat59 libtag1v5) と、"
                    "プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある WMAENC.so と WMADEC9.so が必要です。");
}

double PcmBytesPerSecond(const QualityEntry& row, int) { return row.sampleRate * row.channels * (row.value / 8.0); }
double FlacBytesPerSecond(const QualityEntry& row, int) { return row.sampleRate * row.channels * 2 * kFlacSizeOfPcm; }
double OggBytesPerSecond(const QualityEntry& row, int quality) {
    const int bitrate = OggNominalBitrate(quality, row.sampleRate, row.channels);
    return bitrate > 0 ? bitrate / 8.0 : 0;
}
double BitrateBytesPerSecond(const QualityEntry& row, int) { return row.value / 8.0; }

const QualityTable kPcmQualities{kPcmQualityTable.data(), static_cast<int>(kPcmQualityTable.size()), kPcmQualityDefault,
                                 kPcmQualityDefault};

}  // namespace

std::span<const FormatRow> FormatRows() {
    // Built at first use: settings made during static initialisation look their defaults up here.
    static const FormatRow kRows[] = {
        {OutputFormat::Wav, "WAV", "WAV (PCM-Wave)", "wav", ".wav", nullptr, kPcmQualities, false, false,
         NewWriter<CWavWriter>, NewReader<CWavReader>, NewEditor<CWavTagFile>, nullptr, nullptr, nullptr,
         RepairCutWav, PcmBytesPerSecond, false},
        {OutputFormat::Wma, "WMA", "WMA (WindowsMedia)", "wma", ".wma", nullptr,
         {kWmaQualities, kWmaQualityCount, kWmaDefaultQuality, kWmaDefaultQuality}, false, false,
         NewWriter<CWmaWriter>, NewReader<CWmaReader>, NewEditor<CWmaTagFile>, WmaEncoderAvailable,
         WmaTaggerAvailable, WmaInstallHint, RepairCutWma, BitrateBytesPerSecond, true},
        {OutputFormat::OggVorbis, "OGG", "OGG (OggVorbis)", "ogg", ".ogg", nullptr, kPcmQualities, true, false,
         NewOggWriter, NewReader<COggReader>, NewEditor<CVorbisTagFile>, nullptr, nullptr, nullptr, nullptr,
         OggBytesPerSecond, true},
        {OutputFormat::Mp3, "MP3", "MP3 (Mpeg1Layer3)", "mp3", ".mp3", ".rmp",
         {kMp3Qualities, kMp3QualityCount, kMp3DefaultQuality, kMp3DefaultQuality}, false, false, NewMp3Writer,
         NewReader<CMp3Reader>, NewEditor<CMp3TagFile>, LameAvailable, nullptr, LameInstallHint, RepairCutMp3,
         BitrateBytesPerSecond, true},
        {OutputFormat::Flac, "FLAC", "FLAC (FreeLossless)", "flac", ".flac", nullptr,
         {kFlacQualities.data(), kFlacQualityCount, kFlacDefaultQuality, kFlacDefaultQuality}, false, false,
         NewFlacWriter, NewReader<CFlacReader>, NewEditor<CFlacTagFile>, nullptr, nullptr, nullptr, RepairCutFlac,
         FlacBytesPerSecond, true},
        {OutputFormat::Opus, "OPUS", "OPUS (OggOpus)", "opus", ".opus", nullptr,
         {kOpusQualities, kOpusQualityCount, kOpusDefaultQuality, kOpusMonoDefaultQuality}, false, true,
         NewWriter<COpusWriter>, NewReader<COpusReader>, NewEditor<COpusTagFile>, nullptr, nullptr, nullptr,
         RepairCutOpus, BitrateBytesPerSecond, true},
    };
    return kRows;
}

const FormatRow& FormatRowOf(OutputFormat format) {
    for (const FormatRow& row : FormatRows())
        if (row.format == format) return row;
    // A number that is no format reads as WAV, the settings' default.
    return FormatRows().front();
}

std::optional<OutputFormat> OutputFormatOfCode(int code) {
    for (const FormatRow& row : FormatRows())
        if (static_cast<int>(row.format) == code) return row.format;
    return std::nullopt;
}

std::optional<OutputFormat> OutputFormatOfExtension(const char* extension) {
    if (!extension) return std::nullopt;
    for (const FormatRow& row : FormatRows())
        if (strcasecmp(extension, row.extension) == 0 || (row.otherExtension && strcasecmp(extension, row.otherExtension) == 0))
            return row.format;
    return std::nullopt;
}

std::optional<OutputFormat> OutputFormatOfOption(const char* option) {
    for (const FormatRow& row : FormatRows())
        if (option && strcasecmp(option, row.option) == 0) return row.format;
    return std::nullopt;
}

std::unique_ptr<CAudioReader> NewReaderByExtension(const char* path) {
    const std::optional<OutputFormat> format = OutputFormatOfExtension(ExtensionOf(CCharString(path)).c_str());
    return format ? FormatRowOf(*format).newReader() : nullptr;
}
