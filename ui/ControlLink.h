// CControlLink: the one place where the window meets CRecordingControl's events; they arrive
// here from the audio thread and leave as a Qt signal on the GUI thread.
#pragma once

#include <QObject>
#include <memory>

#include "app/control/RecordingControl.h"

class CControlLink : public QObject {
    Q_OBJECT
public:
    explicit CControlLink(CRecordingItemsModel& items, LocalClock clock = CurrentLocalTime);
    ~CControlLink() override;

    CRecordingControl& Control() { return *m_control; }
    const CRecordingControl& Control() const { return *m_control; }
    // Hands over the events queued so far at once (a stop's own events, before a new start).
    void DeliverPending();

    // The text to show for an event that ends the recording or tells of lost audio.
    static QString MessageOf(const RecordingEvent& event);

signals:
    // After the control has handled the event; `running` tells whether the event's recording
    // was still running when it arrived (a stale event changes nothing).
    void Arrived(const ::RecordingEvent& event, bool running);

private:
    void Deliver(const ::RecordingEvent& event);

    std::unique_ptr<CRecordingControl> m_control;
};
