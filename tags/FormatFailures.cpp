#include "tags/FormatFailures.h"

Failure NoFileToAttach() { return KindFailure(FailureKind::kMissing, UserText("AudioFile", "読み込むファイルが渡されていません")); }

Failure NoFileOpen() { return KindFailure(FailureKind::kMissing, UserText("AudioFile", "ファイルが開かれていません")); }

Failure NotFormat(const char* format) {
    return KindFailure(FailureKind::kBadData, UserText("AudioFile", "%1 の音声ファイルではありません").Arg(format));
}

Failure StreamNotBegun() {
    return KindFailure(FailureKind::kMissing, UserText("AudioFile", "ストリームがまだ始まっていません"));
}

Failure TagsNotWritten(FailureKind kind, const char* format, const char* name, Failure why) {
    UserText text =
        UserText("AudioFile", "%1 の %2 タグを書き込めませんでした: %3").Arg(name).Arg(format).Arg(std::move(why.message));
    // A missing module stays one: the caller tells it apart from a disk that failed.
    return {why.kind == FailureKind::kMissing ? FailureKind::kMissing : kind, why.error, std::move(text)};
}

Failure TooLongForRiff() {
    return KindFailure(FailureKind::kBadValue, UserText("AudioFile", "音声が長すぎて RIFF ファイルに収まりません"));
}
