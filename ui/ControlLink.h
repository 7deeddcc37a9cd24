// CControlLink: the one place where the window meets CRecordingControl's events; they arrive
// here from the audio thread and leave as a queued Qt signal on the GUI thread.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "app/RecordingControl.h"

class CControlLink : public QObject {
    Q_OBJECT
public:
    explicit CControlLink(CRecordingItemsModel& items, LocalClock clock = CurrentLocalTime);
    ~CControlLink() override;

    CRecordingControl& Control() { return *m_control; }
    const CRecordingControl& Control() const { return *m_control; }

    // True for the events that say a recording cannot go on as asked.
    static bool IsProblem(int event);

signals:
    // `message` is the problem's text, empty for the ordinary events.
    void RecordingEvent(int event, const QString& message);

private:
    void Deliver(int event);

    std::unique_ptr<CRecordingControl> m_control;
};
