// The schedule from the command line, against a fixed clock.
#include "schedule/CommandLine.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/LocalClock.h"

namespace {

// The words a shell makes of the line: quoted stretches kept whole.
CommandLineOptions Parse(const std::string& arguments, std::time_t now) {
    std::istringstream line(arguments);
    std::vector<CCharString> words;
    for (std::string word; line >> std::quoted(word);) words.emplace_back(word);
    return ParseCommandLine(words, now);
}

}  // namespace

TEST(ParseCommandLine, AnEarlyMorningTimeGivenLateInTheEveningMeansTomorrow) {
    const CommandLineOptions evening = Parse("/S HM=2:00", LocalAt(2024, 6, 12, 21, 0, 0));
    EXPECT_TRUE(evening.scheduleArmed);
    EXPECT_EQ(evening.schedule.startMode, 1);
    EXPECT_EQ(evening.schedule.startTime, LocalAt(2024, 6, 13, 2, 0, 0));

    const CommandLineOptions earlier = Parse("/S HM=2:00", LocalAt(2024, 6, 12, 19, 0, 0));
    EXPECT_EQ(earlier.schedule.startTime, LocalAt(2024, 6, 12, 2, 0, 0)) << "today, already past";

    // Across a month end, and only for hours below 6.
    EXPECT_EQ(Parse("/S HMS=5:59:30", LocalAt(2024, 6, 30, 20, 0, 0)).schedule.startTime, LocalAt(2024, 7, 1, 5, 59, 30));
    EXPECT_EQ(Parse("/S HM=6:00", LocalAt(2024, 6, 30, 23, 0, 0)).schedule.startTime, LocalAt(2024, 6, 30, 6, 0, 0));
}

TEST(ParseCommandLine, DatesWithTwoDigitYearsAndQuotedBlanks) {
    const std::time_t now = LocalAt(2024, 6, 12, 12, 0, 0);
    const CommandLineOptions full = Parse("/S \"YMDHMS=05/6/1 14:30:00\"", now);
    EXPECT_TRUE(full.scheduleArmed);
    EXPECT_EQ(full.schedule.startMode, 1);
    EXPECT_EQ(full.schedule.startTime, LocalAt(2005, 6, 1, 14, 30, 0));
    EXPECT_EQ(Parse("/S \"ymdhm=2025/12/31 23:59\"", now).schedule.startTime, LocalAt(2025, 12, 31, 23, 59, 0));
    // Unquoted, the blank splits the value: the date alone is no start time.
    EXPECT_FALSE(Parse("/S YMDHMS=05/6/1 14:30:00", now).scheduleArmed);
}

TEST(ParseCommandLine, DurationsNeedTheirFullForm) {
    const std::time_t now = LocalAt(2024, 6, 12, 12, 0, 0);
    EXPECT_FALSE(Parse("/T HMS=1:30", now).scheduleArmed) << "three numbers required";
    const CommandLineOptions ms = Parse("/T MS=90:00", now);
    EXPECT_TRUE(ms.scheduleArmed);
    EXPECT_EQ(ms.schedule.endMode, 1);
    EXPECT_EQ(ms.schedule.durationSeconds, 5400);
    EXPECT_EQ(Parse("/T hms=1:02:03", now).schedule.durationSeconds, 3723);
    EXPECT_EQ(Parse("/T MS=0:07", now).schedule.durationSeconds, 7);
    EXPECT_EQ(Parse("/T ms=0:07", now).schedule.startMode, 0) << "starts at once";
}

TEST(ParseCommandLine, NowEndActionsAndPresetInAnyCase) {
    const std::time_t now = LocalAt(2024, 6, 12, 12, 0, 0);
    for (const char* line : {"/s now", "/S NOW"}) {
        const CommandLineOptions o = Parse(line, now);
        EXPECT_TRUE(o.scheduleArmed) << line;
        EXPECT_EQ(o.schedule.startMode, 0) << line;
        EXPECT_EQ(o.schedule.endMode, 0) << line;
        EXPECT_FALSE(o.schedule.endActionArmed) << line;
    }
    const struct {
        const char* word;
        EndAction action;
    } actions[] = {{"shutdown", EndAction::PowerOff},
                   {"EXIT", EndAction::ExitApplication},
                   {"Suspend", EndAction::Standby},
                   {"hibernate", EndAction::Hibernate}};
    for (const auto& [word, action] : actions) {
        const CommandLineOptions o = Parse((std::string("/E ") + word).c_str(), now);
        EXPECT_TRUE(o.scheduleArmed) << word;
        EXPECT_TRUE(o.schedule.endActionArmed) << word;
        EXPECT_EQ(o.schedule.endAction, action) << word;
        EXPECT_EQ(o.schedule.endMode, 0) << "an action alone does not set a duration";
    }
    const CommandLineOptions all = Parse("/S NOW /T MS=60:00 /E exit /P \"live set\"", now);
    EXPECT_EQ(all.schedule.durationSeconds, 3600);
    EXPECT_EQ(all.schedule.endAction, EndAction::ExitApplication);
    EXPECT_EQ(all.presetName, "live set");
    EXPECT_FALSE(Parse("/P radio", now).scheduleArmed) << "a preset alone records nothing";
}

TEST(ParseCommandLine, OddValuesAreIgnoredOneByOne) {
    const std::time_t now = LocalAt(2024, 6, 12, 12, 0, 0);
    const char* ignored[] = {
        "",
        "NOW",                               // a value before any option
        "/X NOW",                            // unknown option
        "/ NOW",                             // no option letter
        "/S HMS=1:30",                       // three numbers promised, HM= does not match
        "/S HM=5",                           // one number
        "/S HM=25:00",                       // no such hour
        "/S \"YMDHMS=2023/2/30 10:00:00\"",  // no such day
        "/S \"YMDHMS=1800/1/1 10:00:00\"",
        "/S HM=99999999999999999999:00",
        "/T 5",
        "/T MS=0:00",                        // over before it began
        "/T MS=-5:00",
        "/T x",
        "/E reboot",
        "/E none",                           // a schedule entry's word, no action
        "/SNOW /TMS=1:00",                   // the rest of an option token is not a value
    };
    for (const char* line : ignored) EXPECT_FALSE(Parse(line, now).scheduleArmed) << line;
    // The rest of the line still applies.
    const CommandLineOptions o = Parse("/S HM=25:00 /T MS=1:00", now);
    EXPECT_EQ(o.schedule.startMode, 0);
    EXPECT_EQ(o.schedule.durationSeconds, 60);
    // The last valid value of an option wins.
    EXPECT_EQ(Parse("/S HM=3:00 HM=4:00", now).schedule.startTime, LocalAt(2024, 6, 12, 4, 0, 0));
}

TEST(ParseCommandLine, ListsEveryIgnoredWordInOrder) {
    const std::time_t now = LocalAt(2024, 6, 12, 12, 0, 0);
    const struct {
        const char* line;
        const char* ignored;  // "option:value" entries joined by "|"; "-" for no option
    } cases[] = {
        {"/S NOW /T MS=90:00 /E exit /P \"live set\"", ""},
        {"/S HM=21:60", "S:HM=21:60"},
        {"/S tomorrow", "S:tomorrow"},
        {"/T MS=-1:00", "T:MS=-1:00"},
        {"/T MS=", "T:MS="},
        {"/E reboot", "E:reboot"},
        {"/S HM=3:00 HM=25:00 /T MS=1:00", "S:HM=25:00"},
        {"NOW /X 1 /S /P", "-:NOW|X:1|S:|P:"},
        // Only "/" and one letter is an option: a stray path is a word, never "/T".
        {"/ /SNOW", "-:/|-:/SNOW"},
        {"/tmp/take.wav /S NOW", "-:/tmp/take.wav"},
        {"/S NOW /T MS=0:10 /home/u/take.wav", "T:/home/u/take.wav"},
        {"/Start NOW /e exit", "-:/Start|-:NOW"},
    };
    for (const auto& c : cases) {
        std::string ignored;
        for (const IgnoredWord& word : Parse(c.line, now).ignored)
            ignored += (ignored.empty() ? "" : "|") + std::string(1, word.option ? word.option : '-') + ":" +
                       word.value.str();
        EXPECT_EQ(ignored, c.ignored) << c.line;
    }
}
