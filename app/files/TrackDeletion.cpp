// A track's file to the trash, or deleted where there is none.
#include "app/files/TrackDeletion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

void DiscardTrackFile(const CCharString& path) {
    const QString file = QString::fromUtf8(path.c_str());
    if (file.isEmpty() || !QFileInfo::exists(file)) return;
    // Qt makes the trash only inside an existing data folder; without one it puts the file in a
    // "files" folder under the working folder, where nobody looks for it.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (!QFile::moveToTrash(file)) QFile::remove(file);
}
