// Desktop notifications over sd-bus.
#include "schedule/DesktopNotice.h"

#include <systemd/sd-bus.h>

Result<void> SendDesktopNotice(const std::string& summary, const std::string& body) {
    sd_bus* bus = nullptr;
    // DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus.
    int r = sd_bus_open_user(&bus);
    if (r < 0)
        return SystemFailure(-r, UserText("DesktopNotice", "セッションバスに届きません: %1").ArgError(-r));
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    r = sd_bus_call_method(bus, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                           "org.freedesktop.Notifications", "Notify", &error, &reply, "susssasa{sv}i", "Velsona",
                           static_cast<uint32_t>(0), "audio-input-microphone", summary.c_str(), body.c_str(), 0,
                           1, "urgency", "y", static_cast<uint8_t>(2), static_cast<int32_t>(-1));
    Result<void> result;
    if (r < 0) {
        const UserText why = sd_bus_error_is_set(&error) && error.message ? UserText::Verbatim(error.message)
                                                                          : UserText("DesktopNotice", "%1").ArgError(-r);
        result = KindFailure(FailureKind::kMissing, UserText("DesktopNotice", "デスクトップ通知を送れません: %1").Arg(why));
    }
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    sd_bus_flush_close_unref(bus);
    return result;
}
