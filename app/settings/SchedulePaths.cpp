// The schedule's paths under the user's XDG folders.
#include "app/settings/SchedulePaths.h"

#include <QStandardPaths>

#include "app/files/TrackJournal.h"

namespace {

std::string ConfigHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
}

}  // namespace

std::string ScheduleFilePath() { return ConfigHome() + "/velsona/schedule.conf"; }

std::string ScheduleLogPath() { return TrackJournalFolder().str() + "/schedule.log"; }

std::string UserUnitFolder() { return ConfigHome() + "/systemd/user"; }
