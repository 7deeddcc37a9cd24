// The recording control's events carried to the GUI thread.
#include "ui/ControlLink.h"

#include <QCoreApplication>

#include "app/files/AudioFacts.h"
#include "app/language/Catalogue.h"

CControlLink::CControlLink(CRecordingItemsModel& items, LocalClock clock) {
    // The poster runs on the audio thread: it only queues.
    m_control = std::make_unique<CRecordingControl>(
        items, ReadAudioFileFacts,
        [this](const ::RecordingEvent& event) {
            QMetaObject::invokeMethod(this, [this, event] { Deliver(event); }, Qt::QueuedConnection);
        },
        std::move(clock));
}

// The control stops its session first, so no event is posted to a half-destroyed link.
CControlLink::~CControlLink() { m_control.reset(); }

void CControlLink::DeliverPending() { QCoreApplication::sendPostedEvents(this, QEvent::MetaCall); }

QString CControlLink::MessageOf(const ::RecordingEvent& event) {
    if (!event.message.empty()) return Said(event.message);
    if (event.code == kRecordingCaptureEnded) return tr("録音デバイスからの入力が終了しました。");
    return {};
}

void CControlLink::Deliver(const ::RecordingEvent& event) {
    // Asked before the control handles the event, which may stop the recording.
    const bool running = m_control->IsRunning(event);
    m_control->OnRecordingEvent(event);
    emit Arrived(event, running);
}
