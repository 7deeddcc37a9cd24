// The output settings bar's rules: lists, caption, encoder check, split method.
#include "app/bars/OutputBarModel.h"

#include <QtGlobal>

#include "app/bars/FileBarModel.h"
#include "app/files/FileNameTemplate.h"
#include "app/control/MakerPages.h"
#include "app/language/Catalogue.h"
#include "app/settings/OutputFormats.h"
#include "audiofile/OggWriter.h"
#include "schedule/RecordTimer.h"

namespace {

// What the bar tells about an encoder that cannot be loaded: the maker's Windows download and
// its installer, or the modules and Debian packages this program loads in their place.
struct MissingEncoderTexts {
    UserText notLoaded;  // %1: the install hint
    UserText downloadQuestion;
    UserText installerSteps;  // %1: the install hint
};

MissingEncoderTexts Mp3EncoderTexts() {
    return {UserText("OutputBarModel",
                     "MP3エンコードライブラリ「lame_enc.so」を読み込めません。\n"
                     "（MP3形式の出力にはLAMEエンコードライブラリが必要です）\n\n%1\n"
                     "インストールした後、一旦ソフトを終了し、ソフトウェアを再起動させてください。"),
            UserText("OutputBarModel",
                     "MP3エンコードライブラリ「LAME_ENC.DLL」がインストールされていません。\r\n"
                     "（MP3形式の出力には別途LAMEエンコードライブラリが必要です）\r\n\nダウンロードしますか？"),
            UserText("OutputBarModel",
                     "lame_enc39?.exeを実行しインストールを行ってください\n"
                     "MP3を有効にするにはその後一旦ソフトを終了し、\n"
                     "ソフトウェアを再起動させてください。\n\n%1")};
}

MissingEncoderTexts WmaEncoderTexts() {
    return {UserText("OutputBarModel",
                     "WMAエンコードライブラリ「WMAENC.so」「WMADEC9.so」を読み込めません。\n"
                     "（WMA形式の出力にはFFmpegとTagLibのライブラリが必要です）\n\n%1\n"
                     "インストールした後、一旦ソフトを終了し、ソフトウェアを再起動させてください。"),
            UserText("OutputBarModel",
                     "WMAランタイムライブラリ「wmfdist8.exe」がインストールされていません。\r\n"
                     "（WMA形式の出力には別途WMAランタイムライブラリが必要です）\r\n\nダウンロードしますか？"),
            UserText("OutputBarModel",
                     "wmfdist8.exeを実行しインストールを行ってください\n"
                     "WMAを有効にするにはその後一旦ソフトを終了し、\n"
                     "ソフトウェアを再起動させてください。\n\n%1")};
}

UserText SplitTimeLabel(int method) {
    if (method == kSplitInterval) return UserText("OutputBarModel", "分割時間：");
    if (method == kSplitSilence) return UserText("OutputBarModel", "無音時間：");
    return {};
}

CCharString NumberText(int number) { return CCharString::Formatted("%d", number); }

}  // namespace

const char* const COutputBarModel::kSplitMethodTexts[3] = {QT_TRANSLATE_NOOP("OutputBarModel", "手動で分割"),
                                                          QT_TRANSLATE_NOOP("OutputBarModel", "一定時間で分割"),
                                                          QT_TRANSLATE_NOOP("OutputBarModel", "無音区間で分割")};

COutputBarModel::COutputBarModel()
    : makerSite(kMakerSite), encoderAvailable(OutputFormatUsable) {}

bool COutputBarModel::Pull(bool tell) {
    ReadControls();
    if (!ParseBarInteger(controls.trackNumberText, trackNumber)) return RefuseNumber(kTrackNumber, tell);
    splitMethod = controls.splitSelection;
    if (controls.splitTimeReadable) splitTime = controls.splitTime;
    else if (splitMethod == kSplitInterval || splitMethod == kSplitSilence) return RefuseSplitTime(tell);
    alignToClock = controls.alignToClockChecked;
    if (!ParseBarInteger(controls.recordingNumberText, recordingNumber)) return RefuseNumber(kRecordingNumber, tell);
    outputFormat = controls.formatSelection;
    qualityIndex = controls.qualitySelection;
    oggQuality = controls.sliderPosition;
    skipSilence = controls.skipSilenceChecked;
    preRollSeconds = controls.preRollSeconds;
    return true;
}

void COutputBarModel::Push() {
    controls.trackNumberText = NumberText(trackNumber);
    controls.splitSelection = splitMethod;
    controls.splitTime = splitTime;
    controls.alignToClockChecked = alignToClock;
    controls.alignToClockOffered = splitMethod == kSplitInterval;
    controls.recordingNumberText = NumberText(recordingNumber);
    controls.formatSelection = outputFormat;
    controls.qualitySelection =
        qualityIndex >= 0 && qualityIndex < static_cast<int>(controls.qualityLabels.size()) ? qualityIndex : -1;
    controls.sliderPosition = oggQuality;
    controls.skipSilenceChecked = skipSilence;
    controls.preRollSeconds = preRollSeconds;
    controls.skipSilenceEnabled = splitMethod == kSplitSilence;
    WriteControls();
}

int COutputBarModel::FillQualityList(OutputFormat format) {
    controls.sliderVisible = FormatRowOf(format).sliderQuality;
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
    const char* layout = channels == 1 ? "mono" : "stereo";  // untranslated: the caption's unit words
    const std::string rate = CCharString::Formatted("%2.1f", sampleRate * 0.001).str();
    UserText caption;
    if (formatInUse == OutputFormat::Wav)
        caption = UserText("OutputBarModel", "出力設定 (WAV:無圧縮/%1kHz/%2)").Arg(rate).Arg(layout);
    else if (formatInUse == OutputFormat::Flac)
        caption = UserText("OutputBarModel", "出力設定 (FLAC:レベル%1/%2kHz/%3)").Arg(value).Arg(rate).Arg(layout);
    else
        caption = UserText("OutputBarModel", "出力設定 (%1:%2kbps/%3kHz/%4)")
                      .Arg(FormatName(formatInUse))
                      .Arg(CCharString::Formatted("%3.1f", value * 0.001).str())
                      .Arg(rate)
                      .Arg(layout);
    controls.groupCaption = caption;
    WriteControls();
}

bool COutputBarModel::CheckEncoderLibrary(OutputFormat format) {
    if (encoderAvailable(format)) return true;
    // Before the message, which waits: whatever pulls the bar meanwhile or next (a running
    // recording's track close, the hand-over after the edit) finds the format that will be
    // recorded, with its rows and its extension.
    outputFormat = kFallBackFormat;
    controls.formatSelection = kFallBackFormat;
    WriteControls();
    OnFormatSelected();
    TellMissingEncoder(format);
    return false;
}

void COutputBarModel::TellMissingEncoder(OutputFormat format) {
    if (!prompts) return;
    const bool mp3 = format == OutputFormat::Mp3;
    const CCharString page = MakerPageUrl(makerSite, mp3 ? kLameDownloadQuery : kWmaDownloadQuery);
    MissingEncoderTexts texts = mp3 ? Mp3EncoderTexts() : WmaEncoderTexts();
    if (page.IsEmpty()) {
        // No download to offer: what this system needs instead.
        Inform(texts.notLoaded.Arg(EncoderInstallHint(format)));
        return;
    }
    if (!prompts->AskYesNo(texts.downloadQuestion)) return;
    prompts->OpenPage(page);
    Inform(texts.installerSteps.Arg(EncoderInstallHint(format)));
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

void COutputBarModel::OnSliderMoved(int position) {
    oggQuality = position;
    UpdateQualityCaption();
}

void COutputBarModel::OnSplitMethodSelected() {
    Pull();
    const int selection = controls.splitSelection;
    controls.splitTimeLabel = SplitTimeLabel(selection);
    controls.splitTimeVisible = selection == kSplitInterval || selection == kSplitSilence;
    splitTime = DefaultSplitTime(selection);
    splitMethod = selection;
    Push();
}

bool COutputBarModel::RefuseSplitTime(bool tell) const {
    if (!tell) return false;
    // Named as the label shows the field.
    const UserText refusal = controls.splitTimeLabel == SplitTimeLabel(kSplitSilence)
                                 ? UserText("OutputBarModel", "無音時間の指定が不正です")
                             : controls.splitTimeLabel == SplitTimeLabel(kSplitInterval)
                                 ? UserText("OutputBarModel", "分割時間の指定が不正です")
                                 : UserText("OutputBarModel", "間隔時間の指定が不正です");
    Refuse(ImpossibleTimeMessage(refusal, "00:30:00"));
    if (view) view->FocusControl(kSplitTime);
    return false;
}

bool COutputBarModel::TypedTrackNumber(int& number) {
    ReadControls();
    return ParseBarInteger(controls.trackNumberText, number);
}
