// Every input the fuzzers found, run through every parser, reader, tag rewrite and the settings
// loader: a clear result, never a crash, a sanitizer report or a failed rewrite that changed the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "fuzz/Replay.h"
#include "tags/Id3v2Tag.h"
#include "tags/Mp3FileInfo.h"
#include "tags/RiffInfo.h"
#include "tags/WavHeader.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<std::filesystem::path> KeptInputs() {
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(VELSONA_FUZZ_DATA))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

class FuzzRegression : public testing::TestWithParam<std::filesystem::path> {};

}  // namespace

TEST_P(FuzzRegression, EveryParserTakesTheInputWithoutHarm) {
    const std::filesystem::path& input = GetParam();
    CFileStream file;
    ASSERT_TRUE(file.Open(input.c_str(), CFileStream::kRead));
    CId3v2Tag tag;
    tag.ReadTag(file);
    Mp3FileInfo info;
    TagFieldSet tags;
    static_cast<void>(file.Seek(0, CFileStream::kFromStart));
    if (ReadMp3FileInfo(file, info, true, &tag, &tags)) {
        EXPECT_LE(info.audioOffset + info.audioLength, info.fileSize);
    }
    static_cast<void>(file.Seek(0, CFileStream::kFromStart));
    ReadInfoList(file, tags);
    static_cast<void>(file.Seek(0, CFileStream::kFromStart));
    int64_t offset = 0;
    uint32_t size = 0;
    ParseWavHeader(file, offset, size);
    file.Close();

    // The readers choose by extension and the rewrites change the file: each gets its own copy.
    TempDir dir;
    const std::string bytes = ReadFileBytes(input);
    for (const char* extension : {".wav", ".mp3", ".ogg", ".wma", ".flac", ".opus"}) {
        SCOPED_TRACE(extension);
        const std::string copy = dir / (std::string("input") + extension);
        WriteFileBytes(copy, bytes);
        for (const int64_t seekMs : {int64_t{0}, int64_t{1500}, INT64_MAX})
            EXPECT_TRUE(ReplayReader(copy.c_str(), seekMs)) << "seek to " << seekMs;
    }
    const std::string settings = dir / "VelsonaF.conf";
    WriteFileBytes(settings, bytes);
    ReplaySettings(settings.c_str());
}

INSTANTIATE_TEST_SUITE_P(KeptInputs, FuzzRegression, testing::ValuesIn(KeptInputs()),
                         [](const testing::TestParamInfo<std::filesystem::path>& info) {
                             std::string name = info.param.parent_path().filename().string() + "_" +
                                                info.param.filename().string();
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });
