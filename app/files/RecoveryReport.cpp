// The recovery report in the forms the two programs show it.
#include "app/files/RecoveryReport.h"

CCharString RecoveryReport(const RecoveredTrack& track) {
    if (!track.found) return "Recovery: " + track.from + " is gone; nothing to finish";
    if (track.removed) return "Recovery: " + track.from + " held no audio; removed";
    CCharString line = track.renamed ? "Recovered: " + track.from + " -> " + track.to
                                     : "Recovery: " + track.from + " could not be renamed; it stays where it is";
    if (!track.tagged) line += " (tags could not be written)";
    return line;
}

bool RecoveredWhole(const RecoveredTrack& track) { return track.removed || (track.renamed && track.tagged); }

CCharString RecoveryNote(const std::vector<RecoveredTrack>& tracks) {
    if (tracks.empty()) return {};
    CCharString note = "前回終了しきれなかった録音を仕上げ、次の名前で保存しました:";
    for (const RecoveredTrack& track : tracks) {
        note += "\n" + track.from;
        if (!track.found) note += "（見つかりません）";
        else if (track.removed) note += "（音声がないため削除しました）";
        else if (track.renamed) note += "\n　→ " + track.to;
        else note += "（名前を付けられませんでした）";
        if (track.found && !track.removed && !track.tagged) note += "（タグを書き込めませんでした）";
    }
    return note;
}
