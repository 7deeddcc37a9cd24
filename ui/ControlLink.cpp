// The recording control's events carried to the GUI thread.
#include "ui/ControlLink.h"

#include "app/AudioFacts.h"

CControlLink::CControlLink(CRecordingItemsModel& items, LocalClock clock) {
    // The poster runs on the audio thread: it only queues.
    m_control = std::make_unique<CRecordingControl>(
        items, ReadAudioFileFacts,
        [this](int event) { QMetaObject::invokeMethod(this, [this, event] { Deliver(event); }, Qt::QueuedConnection); },
        std::move(clock));
}

// The control stops its session first, so no event is posted to a half-destroyed link.
CControlLink::~CControlLink() { m_control.reset(); }

bool CControlLink::IsProblem(int event) {
    return event == kRecordingWriteFailed || event == kRecordingSplitFailed || event == kRecordingCaptureFailed ||
           event == kRecordingCaptureEnded;
}

void CControlLink::Deliver(int event) {
    const QString message = event == kRecordingCaptureEnded ? QStringLiteral("録音デバイスからの入力が終了しました。")
                            : IsProblem(event)              ? QString::fromUtf8(m_control->LastProblem().c_str())
                                                            : QString();
    m_control->OnRecordingEvent(event);
    emit RecordingEvent(event, message);
}
