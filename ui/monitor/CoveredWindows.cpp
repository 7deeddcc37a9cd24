// Window visibility from the X server's VisibilityNotify events, which Qt does not ask for.
#include "ui/monitor/CoveredWindows.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

#include <cstdlib>

const QEvent::Type CCoveredWindows::kChanged = static_cast<QEvent::Type>(QEvent::registerEventType());

CCoveredWindows& CCoveredWindows::Instance() {
    static CCoveredWindows* instance = [] {
        auto* filter = new CCoveredWindows;  // lives as long as the application's event dispatch
        QCoreApplication::instance()->installNativeEventFilter(filter);
        return filter;
    }();
    return *instance;
}

void CCoveredWindows::Watch(QWidget& window) {
    // The offscreen platform also answers for X11, without a connection.
    auto* x11 = QGuiApplication::platformName() == QLatin1String("xcb")
                    ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                    : nullptr;
    if (!x11 || !x11->connection() || !window.windowHandle()) return;
    const auto id = static_cast<uint32_t>(window.winId());
    CCoveredWindows& self = Instance();
    if (!self.m_watched.insert(id).second) return;
    // Added to the events Qt chose: replacing them would deafen the window.
    xcb_connection_t* connection = x11->connection();
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id), nullptr);
    if (!attributes) return;
    const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_VISIBILITY_CHANGE;
    std::free(attributes);
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
}

bool CCoveredWindows::Covered(const QWidget& window) {
    return window.testAttribute(Qt::WA_WState_Created) &&
           Instance().m_covered.count(static_cast<uint32_t>(window.internalWinId())) > 0;
}

bool CCoveredWindows::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_VISIBILITY_NOTIFY) return false;
    const auto* visibility = reinterpret_cast<const xcb_visibility_notify_event_t*>(event);
    if (!m_watched.count(visibility->window)) return false;
    const bool covered = visibility->state == XCB_VISIBILITY_FULLY_OBSCURED;
    if (covered == (m_covered.count(visibility->window) > 0)) return false;
    if (covered) m_covered.insert(visibility->window);
    else m_covered.erase(visibility->window);
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (window->handle() && static_cast<uint32_t>(window->winId()) == visibility->window)
            QCoreApplication::postEvent(window, new QEvent(kChanged));
    return false;
}
