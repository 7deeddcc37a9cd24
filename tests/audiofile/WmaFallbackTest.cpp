// Runs beside a fake "WMAENC8" and a fake "WMADEC8" only: the older modules are taken.
#include <stdlib.h>

#include <gtest/gtest.h>

#include "audiofile/WmaWriter.h"
#include "tags/WmaDecoder.h"
#include "tests/support/TempDir.h"

TEST(WmaFallback, TheOlderDecoderModuleGivesVersion8) {
    EXPECT_EQ(LoadWmaDecoder().value_or(0), 8);
    EXPECT_NE(WmaDecoder(), nullptr);
}

TEST(WmaFallback, TheWriterUsesWmaenc8AsTheAudioComesAndTagsAfterItsEnd) {
    TempDir dir;
    const std::string log = dir / "calls.log";
    setenv("VELSONA_FAKE_LOG", log.c_str(), 1);
    TagFieldSet tags;
    tags.trackNumber = 5;
    {
        CWmaWriter writer;
        ASSERT_EQ(writer.Slot(), kWmaPlugInSlot);
        const QualityEntry& quality = kWmaQualities[kWmaDefaultQuality];
        writer.SetTags(&tags);
        ASSERT_TRUE(writer.Open("track.wma"));
        ASSERT_TRUE(writer.SetFormat(quality.value, quality.sampleRate, quality.channels, 16, -1, -1));
        ASSERT_TRUE(writer.Begin());
        // 2.5 s in 100 ms buffers, each handed on as it comes.
        const std::vector<char> buffer(17640);
        for (int i = 0; i < 25; ++i) ASSERT_TRUE(writer.Write(buffer.data(), 17640));
        ASSERT_TRUE(writer.End());
        ASSERT_TRUE(writer.Close());
    }
    unsetenv("VELSONA_FAKE_LOG");
    EXPECT_EQ(ReadFileBytes(log),
              "WMAENC8 Info(0,30)\n"
              "WMAENC8 Open(track.wma)\n"
              "WMAENC8 Output(7,96000,44100,2,16,-1,-1)\n"
              "WMAENC8 Start(7)\n" +
                  [] {
                      std::string blocks;
                      for (int i = 0; i < 25; ++i) blocks += "WMAENC8 WriteDevice(7,17640)\n";
                      return blocks;
                  }() +
              "WMAENC8 End(7)\n"
              "WMATag_SetAttrb(3,1,Title)\n"
              "WMATag_SetAttrb(3,1,Author)\n"
              "WMATag_SetAttrb(3,1,WM/AlbumTitle)\n"
              "WMATag_SetAttrb(3,1,WM/Year)\n"
              "WMATag_SetAttrb(3,1,WM/Genre)\n"
              "WMATag_SetAttrb(3,1,Description)\n"
              "WMATag_SetAttrb(3,2,WM/Track)\n"
              "WMATag_SetAttrb(3,2,WM/TrackNumber)\n"
              "WMATag_SetAttrb(3,1,WM/GenreID)\n"
              "WMAENC8 Close(7)\n");
}
