// Duration texts and the recording title.
#include "schedule/RecordingSchedule.h"

#include "foundation/CharString.h"

UserText ProgramTitle() { return UserText("RecordingSchedule", "♪Velsona - パソコン長時間録音機 v1.25"); }

UserText FormatDuration(int64_t seconds) {
    const long long s = seconds;
    const long long minutes = s / 60;
    if (s < 60) return UserText("RecordingSchedule", "%1 秒").Arg(s);
    if (minutes >= 60) {
        const long long rest = minutes % 60;
        return rest != 0 ? UserText("RecordingSchedule", "%1 時間%2分").Arg(minutes / 60).Arg(rest)
                         : UserText("RecordingSchedule", "%1 時間").Arg(minutes / 60);
    }
    return UserText("RecordingSchedule", "%1 分%2 秒").Arg(minutes).Arg(CCharString::Formatted("%02lld", s % 60).str());
}

UserText RecordingTitle(const RecordingSchedule* schedule) {
    UserText title = ProgramTitle();
    if (!schedule) return title;
    if (schedule->StopsAfterDuration())
        title = UserText("RecordingSchedule", "%1 － ■録音時間: %2").Arg(std::move(title)).Arg(FormatDuration(schedule->durationSeconds));
    if (schedule->endActionArmed)
        title = UserText("RecordingSchedule", "%1（終了時: %2）").Arg(std::move(title)).Arg(EndActionName(schedule->endAction));
    return title;
}
