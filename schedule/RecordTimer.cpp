// Recording timer dialog rules.
#include "schedule/RecordTimer.h"

#include <cmath>

#include "foundation/PathUtils.h"

std::time_t ProposedStartTime(std::time_t now) {
    const std::time_t ahead = now + 1800;
    std::tm fields{};
    localtime_r(&ahead, &fields);
    fields.tm_sec = 0;
    fields.tm_min = fields.tm_min < 30 ? 0 : 30;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

const std::vector<EndActionChoice>& EndActionChoices() {
    static const std::vector<EndActionChoice> choices = {
        {UserText("RecordTimer", "1.パソコンの電源を落とす"), EndAction::PowerOff},
        {UserText("RecordTimer", "2.OSをスタンバイ状態(サスペンド)にしてアプリ終了"), EndAction::Standby},
        {UserText("RecordTimer", "3.OSを休止状態(ハイバネート)にしてアプリ終了"), EndAction::Hibernate},
        {UserText("RecordTimer", "4.アプリケーションを終了する"), EndAction::ExitApplication},
    };
    return choices;
}

UserText InvalidDurationMessage() { return UserText("RecordTimer", "録音時間の指定が不正です"); }

UserText InvalidStartTimeMessage() {
    return ImpossibleTimeMessage(UserText("RecordTimer", "開始時刻の指定が不正です"), "21:00:00");
}

UserText ImpossibleTimeMessage(const UserText& refusal, const char* example) {
    return UserText("RecordTimer", "%1。\n時刻は「時:分:秒」の形で 00:00:00 から 23:59:59 まで入力してください（例: %2）。")
        .Arg(refusal)
        .Arg(example);
}

Result<int64_t> ParseDurationMinutes(const CCharString& text) {
    const Failure invalid = KindFailure(FailureKind::kBadValue, InvalidDurationMessage());
    double minutes = 0;
    if (!ParseDecimal(text.c_str(), minutes) || !std::isfinite(minutes)) return invalid;
    const double whole = std::trunc(minutes * 60);
    // Far beyond any recording; keeps the conversion defined.
    if (whole <= 0 || whole > 1e12) return invalid;
    return static_cast<int64_t>(whole);
}
