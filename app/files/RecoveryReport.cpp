// The recovery report in the forms the two programs show it.
#include "app/files/RecoveryReport.h"

#include "app/language/Catalogue.h"

UserText RecoveryReport(const RecoveredTrack& track) {
    const std::string from = track.from.str();
    if (!track.found) return UserText("RecoveryReport", "復旧: %1 は見つからないため、仕上げるものがありません").Arg(from);
    if (track.removed) return UserText("RecoveryReport", "復旧: %1 は音声がないため削除しました").Arg(from);
    if (!track.renamed) {
        if (!track.tagged)
            return UserText("RecoveryReport", "復旧: %1 に名前を付けられず、そのままの場所にあります (タグを書き込めませんでした)").Arg(from);
        return UserText("RecoveryReport", "復旧: %1 に名前を付けられず、そのままの場所にあります").Arg(from);
    }
    if (!track.tagged)
        return UserText("RecoveryReport", "復旧しました: %1 -> %2 (タグを書き込めませんでした)").Arg(from).Arg(track.to.str());
    return UserText("RecoveryReport", "復旧しました: %1 -> %2").Arg(from).Arg(track.to.str());
}

bool RecoveredWhole(const RecoveredTrack& track) { return track.removed || (track.renamed && track.tagged); }

UserText RecoveryNote(const std::vector<RecoveredTrack>& tracks) {
    if (tracks.empty()) return {};
    // One line per track, each an entry of its own: their number varies.
    std::string lines;
    for (const RecoveredTrack& track : tracks) {
        const UserText line = !track.found    ? UserText("RecoveryReport", "%1（見つかりません）")
                              : track.removed ? UserText("RecoveryReport", "%1（音声がないため削除しました）")
                              : track.renamed ? (track.tagged ? UserText("RecoveryReport", "%1\n　→ %2")
                                                              : UserText("RecoveryReport", "%1\n　→ %2（タグを書き込めませんでした）"))
                              : track.tagged ? UserText("RecoveryReport", "%1（名前を付けられませんでした）")
                                             : UserText("RecoveryReport", "%1（名前を付けられませんでした）（タグを書き込めませんでした）");
        lines += '\n';
        lines += SaidUtf8(UserText(line).Arg(track.from.str()).Arg(track.to.str()));
    }
    return UserText("RecoveryReport", "前回終了しきれなかった録音を仕上げ、次の名前で保存しました:%1").Arg(lines);
}
