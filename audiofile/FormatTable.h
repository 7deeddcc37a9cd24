// The output formats, one row each: everything the program knows of a format outside its
// writer, reader and tag editor, and the lookups over the rows. A format is added here.
#pragma once

#include <memory>
#include <optional>
#include <span>

#include "audiofile/AudioReader.h"
#include "audiofile/AudioWriter.h"
#include "audiofile/CutTrackRepair.h"
#include "audiofile/QualityTable.h"
#include "foundation/Result.h"
#include "foundation/UserText.h"
#include "tags/OutputFormat.h"
#include "tags/TagFile.h"

struct FormatRow {
    OutputFormat format;         // its number is the code stored in the settings and the journal
    const char* name;            // "MP3": captions and messages
    const char* listName;        // "MP3 (Mpeg1Layer3)": the output bar's list
    const char* option;          // "mp3": velsona-rec's --format
    const char* extension;       // ".mp3": the one given to new files
    const char* otherExtension;  // also read as this format (".rmp"), or null
    QualityTable qualities;
    bool sliderQuality;     // the encoder takes the slider's quality, not the row's value
    bool keepsCaptureRate;  // the encoder resamples itself: it gets the capture's rate
    // The recorder's writer, with `quality` as SetFormat takes it; null when it cannot be made.
    std::unique_ptr<CAudioWriter> (*newWriter)(int quality);
    std::unique_ptr<CAudioReader> (*newReader)();
    std::unique_ptr<CTagFile> (*newTagEditor)();
    // Fails, saying why, when the encoder's module cannot be loaded; null: built in.
    Result<void> (*encoderAvailable)();
    // True when the module that writes the tags loads; null: built in.
    bool (*taggerAvailable)();
    // What this system needs for the modules (packages and module files); null: nothing.
    UserText (*installHint)();
    // What recovery writes into a cut file; null: the file needs nothing but its tags.
    bool (*repairCut)(const CutTrack& cut);
    // Bytes a second of recording at `row` takes; 0 when unknown.
    double (*bytesPerSecond)(const QualityEntry& row, int sliderQuality);
    // Its tags carry the track's loudness (the gain players apply), so finishing measures it.
    bool tagsLoudness;
};

// Every row, in the order of the output bar's list.
std::span<const FormatRow> FormatRows();
const FormatRow& FormatRowOf(OutputFormat format);

// The format a stored number stands for; none for a number that is no format.
std::optional<OutputFormat> OutputFormatOfCode(int code);
// The format a file name's extension stands for (".wav", ".mp3", ".rmp" (RIFF-MP3), ".ogg",
// ".wma", ".flac", ".opus"), in any case; none for anything else.
std::optional<OutputFormat> OutputFormatOfExtension(const char* extension);
// The format velsona-rec's --format names ("wav", "mp3" …), in any case.
std::optional<OutputFormat> OutputFormatOfOption(const char* option);

// "WAV", "WMA", "OGG", "MP3", "FLAC" or "OPUS".
inline const char* FormatName(OutputFormat format) { return FormatRowOf(format).name; }

// The reader for a file by its extension; null for any other name: such a file is no audio item.
std::unique_ptr<CAudioReader> NewReaderByExtension(const char* path);

// The list the output settings offer for a format; WAV and Ogg Vorbis share the PCM list.
inline QualityTable QualityTableFor(OutputFormat format) { return FormatRowOf(format).qualities; }
// A format's row at `index`, or null when its list has none there.
inline const QualityEntry* QualityRow(OutputFormat format, int index) { return QualityTableFor(format).Row(index); }
// The row the output bar selects when it switches to a format.
inline int DefaultQualityIndex(OutputFormat format, int inputChannels = 2) {
    const QualityTable table = QualityTableFor(format);
    return inputChannels == 1 ? table.monoDefaultRow : table.defaultRow;
}
