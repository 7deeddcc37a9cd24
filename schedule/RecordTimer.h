// The recording timer dialog's rules without its widgets: proposed start, duration choices, end actions.
#pragma once

#include <cstdint>
#include <ctime>
#include <vector>

#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "schedule/EndAction.h"

inline constexpr int kDurationChoicesMinutes[] = {3,   5,   10,  15,  20,  30,  45,  60,  90,  120, 150,
                                                  180, 240, 300, 360, 480, 600, 720, 900, 1080, 1440};

struct EndActionChoice {
    UserText text;
    EndAction action;
};
// The timer dialog's end actions, in the order it lists them.
const std::vector<EndActionChoice>& EndActionChoices();

UserText InvalidDurationMessage();
// A start time that is no time of day, and what a valid one looks like.
UserText InvalidStartTimeMessage();
// `refusal` of a typed time that is no time of day, followed by the form a valid one takes
// (`example`, such as "21:00:00").
UserText ImpossibleTimeMessage(const UserText& refusal, const char* example);

// The next full or half hour at least half an hour ahead: 14:10:25 gives 14:30:00.
std::time_t ProposedStartTime(std::time_t now);

// The duration box holds minutes, decimals allowed ("1.5" is 90 s), given back in seconds. Fails
// with InvalidDurationMessage() when the text does not start with a number or gives no positive
// whole second.
Result<int64_t> ParseDurationMinutes(const CCharString& text);
