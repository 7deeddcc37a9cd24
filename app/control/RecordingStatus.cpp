// The status panes' texts.
#include "app/control/RecordingStatus.h"

#include <algorithm>
#include <string>

namespace {

// "%d:%02d" of the minutes and seconds, then ".%02d" of the hundredths if asked: written ten
// times a second, so without printf.
std::string ClockText(int64_t ms, bool hundredths) {
    ms = std::max<int64_t>(ms, 0);
    std::string text = std::to_string(static_cast<int>(ms / 60000));
    const auto twoDigits = [&text](char separator, int value) {
        text += separator;
        text += static_cast<char>('0' + value / 10);
        text += static_cast<char>('0' + value % 10);
    };
    twoDigits(':', static_cast<int>(ms / 1000 % 60));
    if (hundredths) twoDigits('.', static_cast<int>(ms % 1000 / 10));
    return text;
}

}  // namespace

UserText TrackPaneText(const RecordingStatus& status) {
    return UserText("RecordingControl", "トラック(%1)時間 %2").Arg(status.trackNumber).Arg(ClockText(status.trackTimeMs, true));
}

UserText TotalPaneText(const RecordingStatus& status) {
    return UserText("RecordingControl", "総時間 %1").Arg(ClockText(status.totalTimeMs, false));
}
