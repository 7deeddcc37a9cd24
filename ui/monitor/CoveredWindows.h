// CCoveredWindows: which top-level windows the X server reports as wholly covered by others.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QEvent>
#include <cstdint>
#include <set>

class QWidget;

// X11 only, and only without a compositing window manager (with one, every window counts as
// uncovered); elsewhere no window is ever covered here. A change is told by a posted event of
// kChanged to the window's QWindow, where the monitor displays already watch exposure.
class CCoveredWindows : public QAbstractNativeEventFilter {
public:
    static const QEvent::Type kChanged;

    // Asks the X server to report the visibility of `window`'s native window (once per window).
    static void Watch(QWidget& window);
    static bool Covered(const QWidget& window);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    static CCoveredWindows& Instance();

    std::set<uint32_t> m_watched;
    std::set<uint32_t> m_covered;
};
