// The encoder plug-in table and the plug-in writer, with small fake plug-ins.
#include <dlfcn.h>
#include <stdlib.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "audiofile/EncoderPlugIn.h"
#include "audiofile/PlugInWriter.h"
#include "platform/RuntimeModule.h"
#include "tests/support/TempDir.h"

namespace {

// Whether the process still has the module beside the test program mapped.
bool IsMapped(const char* name) {
    const CCharString path = ProgramFolder() + name + ".so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

// Collects what the fake plug-ins report through VELSONA_FAKE_LOG.
class PlugInTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("VELSONA_FAKE_LOG", m_log.c_str(), 1); }
    void TearDown() override {
        unsetenv("VELSONA_FAKE_LOG");
        unsetenv("VELSONA_FAKE_INFO_FAILS");
    }
    std::string Log() const { return PathExists(m_log) ? ReadFileBytes(m_log) : std::string(); }
    // Loads the plug-in into the slot and forgets what loading logged.
    void Load(int slot, const char* library) {
        ASSERT_TRUE(LoadEncoderPlugIn(slot, library));
        std::remove(m_log.c_str());
    }

    TempDir m_dir;
    std::string m_log = m_dir / "calls.log";
};

// Each test uses its own slots: the table lives as long as the process.
constexpr int kInfoFailsSlot = 10;
constexpr int kMissingExportSlot = 11;
constexpr int kLongPrefixSlot = 12;
constexpr int kWriterSlot = 13;
constexpr int kRefusingSlot = 14;

}  // namespace

TEST_F(PlugInTest, FailingInfoUnloadsAndALaterLoadStartsAgain) {
    setenv("VELSONA_FAKE_INFO_FAILS", "1", 1);
    EXPECT_FALSE(LoadEncoderPlugIn(kInfoFailsSlot, "fake_plugin_info"));
    EXPECT_EQ(EncoderPlugInFunctions(kInfoFailsSlot), nullptr);
    EXPECT_FALSE(IsMapped("fake_plugin_info"));
    EXPECT_EQ(Log(), "INFO Info(0,30)\n");

    unsetenv("VELSONA_FAKE_INFO_FAILS");
    ASSERT_TRUE(LoadEncoderPlugIn(kInfoFailsSlot, "fake_plugin_info"));
    EXPECT_EQ(Log(), "INFO Info(0,30)\nINFO Info(0,30)\n") << "the second load asked the plug-in again";
    const PlugInFunctions* functions = EncoderPlugInFunctions(kInfoFailsSlot);
    ASSERT_NE(functions, nullptr);
    EXPECT_EQ(functions->setOpt(1, 21, 0), 42);

    // A filled slot is not loaded again.
    EXPECT_TRUE(LoadEncoderPlugIn(kInfoFailsSlot, "no_such_library"));
    EXPECT_EQ(EncoderPlugInFunctions(kInfoFailsSlot), functions);
}

TEST_F(PlugInTest, AMissingExportUnloadsThePlugIn) {
    EXPECT_FALSE(LoadEncoderPlugIn(kMissingExportSlot, "fake_plugin_nowrite"));
    EXPECT_EQ(EncoderPlugInFunctions(kMissingExportSlot), nullptr);
    EXPECT_FALSE(IsMapped("fake_plugin_nowrite"));
}

TEST_F(PlugInTest, PrefixesLongerThanFifteenCharactersAreRefused) {
    // "%s_OpenFromHandler" must fit 31 characters: 15 do, 16 do not.
    EXPECT_FALSE(LoadEncoderPlugIn(kLongPrefixSlot, "fake_plugin_prefix16"));
    EXPECT_EQ(EncoderPlugInFunctions(kLongPrefixSlot), nullptr);
    EXPECT_FALSE(IsMapped("fake_plugin_prefix16"));
    EXPECT_TRUE(LoadEncoderPlugIn(kLongPrefixSlot, "fake_plugin_prefix15"));
    EXPECT_NE(EncoderPlugInFunctions(kLongPrefixSlot), nullptr);
}

TEST_F(PlugInTest, MissingLibrariesAndBadSlotsFail) {
    EXPECT_FALSE(LoadEncoderPlugIn(20, "no_such_velsona_plugin"));
    EXPECT_EQ(EncoderPlugInFunctions(20), nullptr);
    EXPECT_FALSE(LoadEncoderPlugIn(-1, "fake_plugin"));
    EXPECT_FALSE(LoadEncoderPlugIn(kPlugInSlotCount, "fake_plugin"));
    EXPECT_EQ(EncoderPlugInFunctions(kPlugInSlotCount), nullptr);
}

TEST_F(PlugInTest, TheWriterDrivesThePlugInInOrder) {
    Load(kWriterSlot, "fake_plugin");
    CPlugInWriter writer(OutputFormat::Wma, kWriterSlot);
    ASSERT_TRUE(writer.Open("track.wma"));
    EXPECT_TRUE(writer.IsOpen());
    EXPECT_TRUE(writer.SetFormat(96000, 44100, 2, 16, -1, -1));
    EXPECT_FALSE(writer.HasBitrateRange());
    EXPECT_TRUE(writer.Begin());
    const std::vector<unsigned char> pcm(1000);
    EXPECT_TRUE(writer.Write(pcm.data(), 1000));
    EXPECT_EQ(writer.SetOption(5), 10);
    EXPECT_TRUE(writer.End());
    EXPECT_EQ(writer.BytesWritten(), 1000);
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(Log(),
              "FAKE Open(track.wma)\n"
              "FAKE Output(7,96000,44100,2,16,-1,-1)\n"
              "FAKE Start(7)\n"
              "FAKE WriteDevice(7,1000)\n"
              "FAKE SetOpt(7,5,0)\n"
              "FAKE End(7)\n"
              "FAKE Close(7)\n");
    EXPECT_FALSE(writer.Close()) << "closing twice changes nothing";
}

TEST_F(PlugInTest, DestroyingAnOpenWriterClosesThePlugInHandle) {
    Load(kWriterSlot, "fake_plugin");
    {
        CPlugInWriter writer(OutputFormat::Wma, kWriterSlot);
        ASSERT_TRUE(writer.Open("abandoned.wma"));
    }
    EXPECT_EQ(Log(), "FAKE Open(abandoned.wma)\nFAKE Close(7)\n");
}

TEST_F(PlugInTest, APlugInWriterTakesNoFileObject) {
    Load(kWriterSlot, "fake_plugin");
    CPlugInWriter writer(OutputFormat::Wma, kWriterSlot);
    auto file = std::make_unique<CFileStream>();
    ASSERT_TRUE(file->Open((m_dir / "attached.wma").c_str(), CFileStream::kWrite));
    EXPECT_FALSE(writer.AttachFile(std::move(file)));
    EXPECT_FALSE(writer.OpenFile((m_dir / "opened.wma").c_str()));
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(PathExists(m_dir / "opened.wma"));
}

TEST_F(PlugInTest, WithoutAPlugInOrAHandleEveryCallFails) {
    CPlugInWriter none(OutputFormat::Wma, 0);
    EXPECT_FALSE(none.Open("x.wma"));
    EXPECT_FALSE(none.SetFormat(96000, 44100, 2, 16, -1, -1));
    EXPECT_FALSE(none.Begin());
    EXPECT_FALSE(none.Write("abcd", 4));
    EXPECT_FALSE(none.End());
    EXPECT_EQ(none.SetOption(1), 0);
    EXPECT_FALSE(none.Close());

    Load(kRefusingSlot, "fake_plugin");
    CPlugInWriter refused(OutputFormat::Wma, kRefusingSlot);
    EXPECT_FALSE(refused.Open("refuse.wma"));
    EXPECT_FALSE(refused.IsOpen());
    EXPECT_FALSE(refused.Begin());
    EXPECT_EQ(Log(), "FAKE Open(refuse.wma)\n") << "no call reaches the plug-in without a handle";
}
