// Duration texts and the recording title.
#include "schedule/RecordingSchedule.h"

CCharString FormatDuration(int64_t seconds) {
    const long long s = seconds;
    const long long minutes = s / 60;
    if (s < 60) return CCharString::Formatted("%lld 秒", s);
    if (minutes >= 60) {
        const long long rest = minutes % 60;
        return rest != 0 ? CCharString::Formatted("%lld 時間%lld分", minutes / 60, rest)
                         : CCharString::Formatted("%lld 時間", minutes / 60);
    }
    return CCharString::Formatted("%lld 分%02lld 秒", minutes, s % 60);
}

CCharString RecordingTitle(const RecordingSchedule* schedule) {
    CCharString title(kProgramTitle);
    if (!schedule) return title;
    if (schedule->StopsAfterDuration()) title += " － ■録音時間: " + FormatDuration(schedule->durationSeconds);
    if (schedule->endActionArmed) title += CCharString("（終了時: ") + EndActionName(schedule->endAction) + "）";
    return title;
}
