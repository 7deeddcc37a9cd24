// End actions over logind.
#include "schedule/EndAction.h"

UserText EndActionName(EndAction action) {
    switch (action) {
    case EndAction::ExitApplication: return UserText("EndAction", "アプリの終了");
    case EndAction::Standby: return UserText("EndAction", "スタンバイ状態");
    case EndAction::PowerOff: return UserText("EndAction", "ＰＣ電源断");
    case EndAction::Hibernate: return UserText("EndAction", "休止状態");
    case EndAction::None: break;
    }
    return {};
}

Result<void> DoEndAction(EndAction action, const std::function<void()>& requestClose, CLogind& logind) {
    switch (action) {
    case EndAction::ExitApplication:
        requestClose();
        return {};
    case EndAction::Standby:
        requestClose();
        return logind.Request(PowerRequest::Suspend);
    case EndAction::PowerOff:
        return logind.Request(PowerRequest::PowerOff);
    case EndAction::Hibernate:
        requestClose();
        return logind.Request(PowerRequest::Hibernate);
    case EndAction::None: break;
    }
    return {};
}
