// Runs where no encoder plug-in is and the decoder module lacks an export: WMA is unavailable.
#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "audiofile/WmaWriter.h"
#include "platform/RuntimeModule.h"
#include "tags/WmaDecoder.h"
#include "tags/WmaTagFile.h"
#include "tests/support/TempDir.h"

TEST(WmaMissing, AnIncompleteDecoderModuleCountsAsNoneAndIsUnloaded) {
    EXPECT_FALSE(LoadWmaDecoder());
    EXPECT_EQ(WmaDecoder(), nullptr);
    const CCharString path = ProgramFolder() + "WMADEC9.so";
    ASSERT_EQ(access(path.c_str(), F_OK), 0) << "the incomplete module is there";
    EXPECT_EQ(dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST(WmaMissing, TheWriterFailsCleanlyWithoutItsPlugIn) {
    TempDir dir;
    const std::string path = dir / "track.wma";
    TagFieldSet tags;
    CWmaWriter writer;
    EXPECT_EQ(writer.Slot(), 0);
    writer.SetTags(&tags);
    EXPECT_FALSE(writer.Open(path.c_str()));
    EXPECT_FALSE(writer.SetFormat(96000, 44100, 2, 16, -1, -1));
    EXPECT_FALSE(writer.Begin());
    static_cast<void>(writer.Write("abcd", 4));  // only buffered: nothing to hand it to
    EXPECT_FALSE(writer.End());
    EXPECT_FALSE(writer.Close());
    EXPECT_FALSE(PathExists(path));
}

TEST(WmaMissing, TheAttributeEditorRefusesToOpen) {
    TempDir dir;
    WriteFileBytes(dir / "track.wma", "not really");
    CWmaTagFile tagFile;
    EXPECT_FALSE(tagFile.Open((dir / "track.wma").c_str()));
    EXPECT_FALSE(tagFile.IsOpen());
    EXPECT_FALSE(tagFile.Write());
    EXPECT_FALSE(tagFile.Close());
}
