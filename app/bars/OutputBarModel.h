// COutputBarModel: the output settings bar without its widgets: format, quality and Ogg quality
// with the caption, the encoder check and its fall-back, track numbers and the split method.
#pragma once

#include <climits>
#include <functional>
#include <vector>

#include "app/bars/BarModel.h"
#include "app/settings/RecordingSettings.h"
#include "audiofile/FormatTable.h"
#include "foundation/UserText.h"

class CFileBarModel;

// What the bar's controls show.
struct OutputBarControls {
    OutputFormat formatSelection = OutputFormat::Wav;  // of the selected entry of the format list
    std::vector<CCharString> qualityLabels;
    int qualitySelection = -1;
    bool sliderVisible = false;
    int sliderPosition = 0;
    UserText groupCaption = UserText("OutputBarModel", "出力設定");
    CCharString recordingNumberText = "0";
    CCharString trackNumberText = "0";
    int splitSelection = -1;
    UserText splitTimeLabel = UserText("OutputBarModel", "間隔時間：");
    bool splitTimeVisible = true;
    SplitTime splitTime;
    bool splitTimeReadable = true;  // false while the field holds no time of day (then splitTime is stale)
    bool skipSilenceChecked = false;
    int preRollSeconds = 1;
    bool skipSilenceEnabled = false;  // with the silence split only: its thresholds and length decide
    bool alignToClockChecked = false;
    bool alignToClockOffered = false;  // shown with the interval method only: the others have no clock
};

class COutputBarModel : public CBarModel {
public:
    enum ControlId { kFormatList = 1004, kQualityList = 1005, kOggSlider = 1000, kRecordingNumber = 1014,
                     kTrackNumber = 1012, kSplitMethodList = 1008, kSplitTimeLabel = 1031, kSplitTime = 1028,
                     kSkipSilence = 1040, kPreRoll = 1041, kAlignToClock = 1032 };
    static constexpr int kNumberMin = 1;
    // As far as the settings store keeps: numbers go on, recording after recording.
    static constexpr int kNumberMax = INT_MAX - 1;
    // Marked for the catalogue (context "OutputBarModel"): the list says them in the user's language.
    static const char* const kSplitMethodTexts[3];

    COutputBarModel();
    COutputBarModel(const COutputBarModel&) = delete;
    COutputBarModel& operator=(const COutputBarModel&) = delete;

    // Fields, in the bar's order.
    CFileBarModel* fileBar = nullptr;  // gets the format's extension in its template
    OutputFormat formatInUse = OutputFormat::Wav;
    int value = 0;  // of the selected row; for Ogg Vorbis the encoder's nominal bitrate
    int sampleRate = 0;
    int channels = 0;
    QualityTable table;
    CCharString extension;
    int trackNumber = 1;
    int splitMethod = -1;
    SplitTime splitTime;
    bool alignToClock = false;  // "cut on the clock"
    int recordingNumber = 1;
    OutputFormat outputFormat = OutputFormat::Wav;
    int qualityIndex = 2;
    int oggQuality = 0;
    bool skipSilence = false;
    int preRollSeconds = 1;

    OutputBarControls controls;
    // The site offering the encoder downloads (the build's); empty: none is offered.
    CCharString makerSite;
    // Whether a format's encoder can be used; the default loads the modules.
    std::function<bool(OutputFormat format)> encoderAvailable;

    // False when a number field, or the split time the split method uses, cannot be read: the
    // fields after it keep their values and, with `tell`, the message is shown and the focus is
    // back on the field.
    bool Pull(bool tell = true);
    void Push();

    // Switches the lists, the extension and the file bar's template to `format`; returns the
    // format's default row.
    int FillQualityList(OutputFormat format);
    void UpdateQualityCaption();
    // True when the format can be used; otherwise tells the user once (or asks about the
    // download) and switches the bar to the fall-back format.
    bool CheckEncoderLibrary(OutputFormat format);
    // Tells the user that `format` cannot be recorded here and what to install.
    void TellMissingEncoder(OutputFormat format);

    // Handlers of the controls' changes.
    void OnFormatSelected();
    void OnQualitySelected() { UpdateQualityCaption(); }
    void OnSliderMoved(int position);
    void OnSplitMethodSelected();
    // The track number as typed, without refusing; false while the field holds no number.
    bool TypedTrackNumber(int& number);

private:
    bool RefuseSplitTime(bool tell) const;
};
