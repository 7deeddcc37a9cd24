// The report of recovered tracks in its two forms: velsona-rec's lines and the window's note.
#include "app/files/RecoveryReport.h"

#include <gtest/gtest.h>

#include "tests/support/UserLanguage.h"

namespace {

RecoveredTrack Track(bool found, bool removed, bool renamed, bool tagged) {
    RecoveredTrack track;
    track.from = "/music/Take001.wav";
    track.to = renamed ? "/music/Take001.recovered.wav" : "/music/Take001.wav";
    track.found = found;
    track.removed = removed;
    track.renamed = renamed;
    track.tagged = tagged;
    return track;
}

TEST(RecoveryReport, EachOutcomeInBothForms) {
    const struct {
        RecoveredTrack track;
        const char* line;
        bool whole;
        const char* noteLines;
    } cases[] = {
        {Track(false, false, false, false), "Recovery: /music/Take001.wav is gone; nothing to finish", false,
         "\n/music/Take001.wav（見つかりません）"},
        {Track(true, true, false, false), "Recovery: /music/Take001.wav held no audio; removed", true,
         "\n/music/Take001.wav（音声がないため削除しました）"},
        {Track(true, false, true, true), "Recovered: /music/Take001.wav -> /music/Take001.recovered.wav", true,
         "\n/music/Take001.wav\n　→ /music/Take001.recovered.wav"},
        {Track(true, false, true, false),
         "Recovered: /music/Take001.wav -> /music/Take001.recovered.wav (tags could not be written)", false,
         "\n/music/Take001.wav\n　→ /music/Take001.recovered.wav（タグを書き込めませんでした）"},
        {Track(true, false, false, true),
         "Recovery: /music/Take001.wav could not be renamed; it stays where it is", false,
         "\n/music/Take001.wav（名前を付けられませんでした）"},
        {Track(true, false, false, false),
         "Recovery: /music/Take001.wav could not be renamed; it stays where it is (tags could not be written)", false,
         "\n/music/Take001.wav（名前を付けられませんでした）（タグを書き込めませんでした）"},
    };
    const std::string heading = "前回終了しきれなかった録音を仕上げ、次の名前で保存しました:";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(RecoveredWhole(c.track), c.whole);
        EXPECT_EQ(SaidUtf8(RecoveryNote({c.track})), heading + c.noteLines);
    }
    EXPECT_EQ(SaidUtf8(RecoveryNote({cases[0].track, cases[2].track})), heading + cases[0].noteLines + cases[2].noteLines);
    EXPECT_TRUE(RecoveryNote({}).empty()) << "nothing recovered, nothing to tell";
    // velsona-rec's lines read in English as they always did.
    UserLanguage english(Language::kEnglish);
    ASSERT_TRUE(english.active());
    for (const auto& c : cases) EXPECT_EQ(SaidUtf8(RecoveryReport(c.track)), c.line);
    EXPECT_FALSE(HasJapanese(SaidUtf8(RecoveryNote({cases[0].track, cases[3].track, cases[5].track}))));
}

}  // namespace
