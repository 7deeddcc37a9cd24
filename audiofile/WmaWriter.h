// CWmaWriter: WMA tracks through the WMA encoder plug-in, attributes through the decoder module.
#pragma once

#include "audiofile/PlugInWriter.h"
#include "audiofile/QualityTable.h"

// The WMA quality list: bitrate (bps), sample rate, channels.
constexpr int kWmaQualityCount = 33;
constexpr int kWmaDefaultQuality = 6;
extern const QualityEntry kWmaQualities[kWmaQualityCount];

class CWmaWriter : public CPlugInWriter {
public:
    // Loads "WMAENC", else "WMAENC8", into the WMA slot; without either, Open fails.
    CWmaWriter();

    // No blocks: the plug-in gets the PCM as written.
    Result<void> Begin() override;
    // Writes the attributes into the file the plug-in finished; a failure when they could not be
    // written.
    Result<void> FinishEnd() override;
};
