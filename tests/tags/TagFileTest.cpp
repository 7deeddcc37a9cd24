// The tag editor base: opening never creates a file, Close releases it, Clear resets.
#include "tags/TagFile.h"

#include <cerrno>
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace {
class PlainTagFile : public CTagFile {
public:
    PlainTagFile() : CTagFile(OutputFormat::Wav) {}
    Result<void> Write() override {
        written.push_back(Tags().title.c_str());
        return writeResult;
    }
    std::vector<std::string> written;  // the title at each Write
    Result<void> writeResult;
};
}  // namespace

TEST(TagFile, OpeningAMissingFileCreatesNothing) {
    TempDir dir;
    PlainTagFile editor;
    EXPECT_FALSE(editor.Open((dir / "missing.wav").c_str()));
    EXPECT_FALSE(editor.IsOpen());
    EXPECT_FALSE(PathExists(dir / "missing.wav"));
}

TEST(TagFile, OpenKeepsTheNameAndCloseReleasesIt) {
    TempDir dir;
    WriteFileBytes(dir / "a.wav", "data");
    PlainTagFile editor;
    ASSERT_TRUE(editor.Open((dir / "a.wav").c_str()));
    EXPECT_TRUE(editor.IsOpen());
    EXPECT_STREQ(editor.Name().c_str(), (dir / "a.wav").c_str());
    EXPECT_TRUE(editor.Close());
    EXPECT_TRUE(editor.Name().IsEmpty());
    EXPECT_FALSE(editor.Close());
    EXPECT_EQ(ReadFileBytes(dir / "a.wav"), "data");
}

TEST(TagFile, ClearResetsTagsAndStreamFacts) {
    PlainTagFile editor;
    editor.Tags().title = "x";
    editor.Tags().trackNumber = 3;
    editor.Stream().present = true;
    editor.Stream().durationMs = 10;
    editor.Clear();
    EXPECT_TRUE(editor.Tags().title.IsEmpty());
    EXPECT_EQ(editor.Tags().trackNumber, -1);
    EXPECT_EQ(editor.Tags().genreNumber, -1);
    EXPECT_FALSE(editor.Stream().present);
    EXPECT_EQ(editor.Stream().durationMs, -1);
}

TEST(TagFile, RewriteTagsWritesTheGivenTagsOnceAndReportsTheOutcome) {
    TempDir dir;
    WriteFileBytes(dir / "a.wav", "data");
    TagFieldSet tags;
    tags.title = "new";
    PlainTagFile editor;
    EXPECT_TRUE(RewriteTags(editor, (dir / "a.wav").c_str(), tags));
    EXPECT_EQ(editor.written, std::vector<std::string>{"new"});
    EXPECT_FALSE(editor.IsOpen()) << "the file is released";

    PlainTagFile failing;
    failing.writeResult = SystemFailure(ENOSPC, UserText::Verbatim("full"));
    const Result<void> refused = RewriteTags(failing, (dir / "a.wav").c_str(), tags);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().error, ENOSPC) << "the write's failure is the one reported";
    EXPECT_FALSE(failing.IsOpen());

    PlainTagFile missing;
    const Result<void> absent = RewriteTags(missing, (dir / "none.wav").c_str(), tags);
    ASSERT_FALSE(absent);
    EXPECT_EQ(absent.error().error, ENOENT);
    EXPECT_TRUE(missing.written.empty());
    EXPECT_FALSE(PathExists(dir / "none.wav"));
}
