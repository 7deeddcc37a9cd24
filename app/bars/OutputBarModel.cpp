// The output settings bar's rules: lists, caption, encoder check, split method.
#include "app/bars/OutputBarModel.h"

#include <iterator>

#include "app/bars/FileBarModel.h"
#include "app/files/FileNameTemplate.h"
#include "app/control/MakerPages.h"
#include "app/language/Catalogue.h"
#include "app/settings/OutputFormats.h"
#include "audiofile/OggWriter.h"
#include "audiofile/QualityTable.h"
#include "tags/WmaDecoder.h"

namespace {

// The modules this program loads in place of the Windows libraries, and the Debian packages
// they need: the maker's download is for Windows only.
constexpr const char* kMp3InstallHint =
    "\n\nこのLinux環境では、パッケージ libmp3lame0 (sudo apt-get install libmp3lame0) と、"
    "プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある lame_enc.so が必要です。";
constexpr const char* kWmaInstallHint =
    "\n\nこのLinux環境では、パッケージ libavcodec59 libavformat59 libtag1v5 "
    "(sudo apt-get install libavcodec59 libavformat59 libtag1v5) と、"
    "プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある WMAENC.so と WMADEC9.so が必要です。";
constexpr const char* kRestartHint = "\nインストールした後、一旦ソフトを終了し、ソフトウェアを再起動させてください。";

bool ModulesPresent(OutputFormat format) {
    // Writing needs the encoder, tagging the decoder module.
    return OutputFormatAvailable(format).has_value() && (format != OutputFormat::Wma || LoadWmaDecoder().has_value());
}

CCharString NumberText(int number) { return CCharString::Formatted("%d", number); }

}  // namespace

const COutputBarModel::FormatEntry COutputBarModel::kFormats[] = {
    {OutputFormat::Wav, "WAV (PCM-Wave)"},
    {OutputFormat::Wma, "WMA (WindowsMedia)"},
    {OutputFormat::OggVorbis, "OGG (OggVorbis)"},
    {OutputFormat::Mp3, "MP3 (Mpeg1Layer3)"},
    {OutputFormat::Flac, "FLAC (FreeLossless)"},
    {OutputFormat::Opus, "OPUS (OggOpus)"},
};
const int COutputBarModel::kFormatCount = static_cast<int>(std::size(kFormats));
const char* const COutputBarModel::kSplitMethodTexts[3] = {"手動で分割", "一定時間で分割", "無音区間で分割"};

COutputBarModel::COutputBarModel()
    : makerSite(kMakerSite), encoderAvailable(ModulesPresent), post([this](std::function<void()> work) { m_posted.push_back(std::move(work)); }) {}

bool COutputBarModel::Pull(bool tell) {
    ReadControls();
    if (!ParseBarInteger(controls.trackNumberText, trackNumber)) return RefuseNumber(kTrackNumber, tell);
    splitMethod = controls.splitSelection;
    if (controls.splitTimeReadable) splitTime = controls.splitTime;
    else if (splitMethod == kSplitInterval || splitMethod == kSplitSilence) return RefuseSplitTime(tell);
    if (!ParseBarInteger(controls.recordingNumberText, recordingNumber)) return RefuseNumber(kRecordingNumber, tell);
    outputFormat = controls.formatSelection;
    qualityIndex = controls.qualitySelection;
    oggQuality = controls.sliderPosition;
    return true;
}

void COutputBarModel::Push() {
    controls.trackNumberText = NumberText(trackNumber);
    controls.splitSelection = splitMethod;
    controls.splitTime = splitTime;
    controls.recordingNumberText = NumberText(recordingNumber);
    controls.formatSelection = outputFormat;
    controls.qualitySelection =
        qualityIndex >= 0 && qualityIndex < static_cast<int>(controls.qualityLabels.size()) ? qualityIndex : -1;
    controls.sliderPosition = oggQuality;
    WriteControls();
}

int COutputBarModel::FillQualityList(OutputFormat format) {
    controls.sliderVisible = format == OutputFormat::OggVorbis;
    formatInUse = format;
    table = QualityTableFor(format);
    extension = DefaultExtension(format);
    if (fileBar) {
        fileBar->Pull();
        fileBar->fileNameTemplate = TemplateWithFormatExtension(fileBar->fileNameTemplate, format);
        fileBar->Push();
    }
    Push();
    controls.qualityLabels.clear();
    for (int i = 0; i < table.count; ++i) controls.qualityLabels.emplace_back(SaidUtf8(QualityLabel(table.rows[i])));
    controls.qualitySelection = -1;
    WriteControls();
    return DefaultQualityIndex(format);
}

void COutputBarModel::UpdateQualityCaption() {
    ReadControls();
    formatInUse = controls.formatSelection;
    qualityIndex = controls.qualitySelection;
    const QualityEntry* row = table.Row(qualityIndex);
    if (!row) return;
    value = row->value;
    sampleRate = row->sampleRate;
    channels = row->channels;
    if (formatInUse == OutputFormat::OggVorbis) value = OggNominalBitrate(oggQuality, sampleRate, channels);
    const char* layout = channels == 1 ? "mono" : "stereo";
    CCharString caption = "出力設定 ";
    if (formatInUse == OutputFormat::Wav)
        caption += CCharString::Formatted("(%s:無圧縮/%2.1fkHz/%s)", "WAV", sampleRate * 0.001, layout);
    else if (formatInUse == OutputFormat::Flac)
        caption += CCharString::Formatted("(%s:レベル%d/%2.1fkHz/%s)", "FLAC", value, sampleRate * 0.001, layout);
    else
        caption += CCharString::Formatted("(%s:%3.1fkbps/%2.1fkHz/%s)", FormatName(formatInUse), value * 0.001,
                                          sampleRate * 0.001, layout);
    controls.groupCaption = caption;
    WriteControls();
}

bool COutputBarModel::CheckEncoderLibrary(OutputFormat format) {
    if ((format != OutputFormat::Mp3 && format != OutputFormat::Wma) || encoderAvailable(format)) return true;
    if (prompts) TellMissingEncoder(format == OutputFormat::Mp3);
    outputFormat = OutputFormat::OggVorbis;
    post([this] { OnFallBack(); });
    return false;
}

void COutputBarModel::TellMissingEncoder(bool mp3) {
    const CCharString page = MakerPageUrl(makerSite, mp3 ? kLameDownloadQuery : kWmaDownloadQuery);
    if (page.IsEmpty()) {
        // No download to offer: what this system needs instead.
        prompts->Inform(CCharString(mp3 ? "MP3エンコードライブラリ「lame_enc.so」を読み込めません。\n"
                                          "（MP3形式の出力にはLAMEエンコードライブラリが必要です）"
                                        : "WMAエンコードライブラリ「WMAENC.so」「WMADEC9.so」を読み込めません。\n"
                                          "（WMA形式の出力にはFFmpegとTagLibのライブラリが必要です）") +
                        (mp3 ? kMp3InstallHint : kWmaInstallHint) + kRestartHint);
        return;
    }
    if (!prompts->AskYesNo(mp3 ? "MP3エンコードライブラリ「LAME_ENC.DLL」がインストールされていません。\r\n"
                                 "（MP3形式の出力には別途LAMEエンコードライブラリが必要です）\r\n\nダウンロードしますか？"
                               : "WMAランタイムライブラリ「wmfdist8.exe」がインストールされていません。\r\n"
                                 "（WMA形式の出力には別途WMAランタイムライブラリが必要です）\r\n\nダウンロードしますか？"))
        return;
    prompts->OpenPage(page);
    prompts->Inform(CCharString(mp3 ? "lame_enc39?.exeを実行しインストールを行ってください\n"
                                       "MP3を有効にするにはその後一旦ソフトを終了し、\n"
                                       "ソフトウェアを再起動させてください。"
                                     : "wmfdist8.exeを実行しインストールを行ってください\n"
                                       "WMAを有効にするにはその後一旦ソフトを終了し、\n"
                                       "ソフトウェアを再起動させてください。") +
                    (mp3 ? kMp3InstallHint : kWmaInstallHint));
}

void COutputBarModel::OnFormatSelected() {
    ReadControls();
    const OutputFormat selection = controls.formatSelection;
    if (!CheckEncoderLibrary(selection)) return;
    outputFormat = selection;
    Pull();
    qualityIndex = FillQualityList(selection);
    controls.qualitySelection = qualityIndex;
    oggQuality = kDefaultOggQuality;
    controls.sliderPosition = kDefaultOggQuality;
    WriteControls();
    UpdateQualityCaption();
}

void COutputBarModel::OnFallBack() {
    ReadControls();
    if (controls.formatSelection != OutputFormat::Mp3 && controls.formatSelection != OutputFormat::Wma) return;
    controls.formatSelection = outputFormat;
    WriteControls();
    OnFormatSelected();
}

void COutputBarModel::OnSliderMoved(int position) {
    oggQuality = position;
    UpdateQualityCaption();
}

void COutputBarModel::OnSplitMethodSelected() {
    Pull();
    const int selection = controls.splitSelection;
    controls.splitTimeLabel = selection == kSplitInterval ? "分割時間：" : selection == kSplitSilence ? "無音時間：" : "";
    controls.splitTimeVisible = selection == kSplitInterval || selection == kSplitSilence;
    splitTime = DefaultSplitTime(selection);
    splitMethod = selection;
    Push();
}

bool COutputBarModel::RefuseSplitTime(bool tell) const {
    if (!tell) return false;
    // "分割時間の指定が不正です", after the label the field is shown with.
    const std::string_view colon = "：";
    std::string name = controls.splitTimeLabel.str();
    if (name.ends_with(colon)) name.resize(name.size() - colon.size());
    Inform(CCharString(name + "の指定が不正です"));
    if (view) view->FocusControl(kSplitTime);
    return false;
}

bool COutputBarModel::TypedTrackNumber(int& number) {
    ReadControls();
    return ParseBarInteger(controls.trackNumberText, number);
}

void COutputBarModel::RunPosted() {
    std::vector<std::function<void()>> work;
    work.swap(m_posted);
    for (auto& step : work) step();
}
