// The status panes' texts.
#include "app/control/RecordingStatus.h"

#include "foundation/CharString.h"

UserText TrackPaneText(const RecordingStatus& status) {
    const int64_t ms = status.trackTimeMs;
    return UserText("RecordingControl", "トラック(%1)時間 %2")
        .Arg(status.trackNumber)
        .Arg(CCharString::Formatted("%d:%02d.%02d", static_cast<int>(ms / 60000), static_cast<int>(ms / 1000 % 60),
                                    static_cast<int>(ms % 1000 / 10))
                 .str());
}

UserText TotalPaneText(const RecordingStatus& status) {
    const int64_t ms = status.totalTimeMs;
    return UserText("RecordingControl", "総時間 %1")
        .Arg(CCharString::Formatted("%d:%02d", static_cast<int>(ms / 60000), static_cast<int>(ms / 1000 % 60)).str());
}
