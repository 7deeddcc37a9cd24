// The recording timer dialog's rules without its widgets: proposed start, duration choices, end actions.
#pragma once

#include <cstdint>
#include <ctime>

#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "schedule/EndAction.h"

inline constexpr int kDurationChoicesMinutes[] = {3,   5,   10,  15,  20,  30,  45,  60,  90,  120, 150,
                                                  180, 240, 300, 360, 480, 600, 720, 900, 1080, 1440};

struct EndActionChoice {
    const char* text;
    EndAction action;
};
inline constexpr EndActionChoice kEndActionChoices[] = {
    {"1.パソコンの電源を落とす", EndAction::PowerOff},
    {"2.OSをスタンバイ状態(サスペンド)にしてアプリ終了", EndAction::Standby},
    {"3.OSを休止状態(ハイバネート)にしてアプリ終了", EndAction::Hibernate},
    {"4.アプリケーションを終了する", EndAction::ExitApplication},
};

inline constexpr const char* kInvalidDurationMessage = "録音時間の指定が不正です";
// A start time that is no time of day.
inline constexpr const char* kInvalidStartTimeMessage = "開始時刻の指定が不正です";

// The next full or half hour at least half an hour ahead: 14:10:25 gives 14:30:00.
std::time_t ProposedStartTime(std::time_t now);

// The duration box holds minutes, decimals allowed ("1.5" is 90 s), given back in seconds. Fails
// with kInvalidDurationMessage when the text does not start with a number or gives no positive
// whole second.
Result<int64_t> ParseDurationMinutes(const CCharString& text);
