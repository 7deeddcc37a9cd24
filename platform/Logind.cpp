// systemd-logind client over sd-bus.
#include "platform/Logind.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace {

constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";

struct RequestMethods {
    const char* check;
    const char* act;
};

RequestMethods MethodsOf(PowerRequest request) {
    switch (request) {
    case PowerRequest::PowerOff: return {"CanPowerOff", "PowerOff"};
    case PowerRequest::Suspend: return {"CanSuspend", "Suspend"};
    case PowerRequest::Hibernate: return {"CanHibernate", "Hibernate"};
    }
    return {"CanPowerOff", "PowerOff"};
}

// sd-bus gives errors as negative errno values.
Failure BusFailure(FailureKind kind, const char* what, int negativeErrno) {
    return {kind, -negativeErrno, UserText("Logind", "%1: %2").Arg(what).ArgError(-negativeErrno)};
}

}  // namespace

CLogind::CLogind(const CCharString& busAddress) : m_address(busAddress) {}

CLogind::~CLogind() {
    if (m_bus) sd_bus_flush_close_unref(m_bus);
}

CCharString CLogind::SystemBusAddress() {
    const char* address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    return address && *address ? CCharString(address) : CCharString("unix:path=/run/dbus/system_bus_socket");
}

Result<void> CLogind::Connect() {
    if (m_bus) return {};
    if (m_address.IsEmpty()) return KindFailure(FailureKind::kMissing, UserText("Logind", "D-Bus のアドレスがありません"));
    sd_bus* bus = nullptr;
    int r = sd_bus_new(&bus);
    if (r < 0) return BusFailure(FailureKind::kMissing, "sd_bus_new", r);
    if ((r = sd_bus_set_address(bus, m_address.c_str())) < 0 || (r = sd_bus_set_bus_client(bus, 1)) < 0 ||
        (r = sd_bus_negotiate_fds(bus, 1)) < 0 || (r = sd_bus_start(bus)) < 0) {
        sd_bus_unref(bus);
        return BusFailure(FailureKind::kMissing, m_address.c_str(), r);
    }
    m_bus = bus;
    return {};
}

Result<void> CLogind::CallManager(const char* method, const char* signature, sd_bus_message** reply, ...) {
    if (Result<void> connected = Connect(); !connected) return connected;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    va_list args;
    va_start(args, reply);
    const int r = sd_bus_call_methodv(m_bus, kService, kPath, kManager, method, &error, reply, signature, args);
    va_end(args);
    Result<void> result;
    if (r < 0) {
        UserText why = UserText("Logind", "%1: %2").Arg(method);
        if (sd_bus_error_is_set(&error) && error.message)
            why.Arg(UserText::Verbatim(error.message));
        else
            why.ArgError(-r);
        Failure failure = SystemFailure(-r, std::move(why));
        // A broken connection is not worth keeping; the next call reconnects.
        if (r == -ECONNRESET || r == -ENOTCONN) {
            failure.kind = FailureKind::kMissing;
            m_bus = sd_bus_flush_close_unref(m_bus);
        }
        result = std::move(failure);
    }
    sd_bus_error_free(&error);
    return result;
}

Result<void> CLogind::Request(PowerRequest request) {
    const RequestMethods methods = MethodsOf(request);
    sd_bus_message* reply = nullptr;
    Result<void> result = CallManager(methods.check, "", &reply);
    if (!result) return result;
    const char* answer = nullptr;
    const int r = sd_bus_message_read(reply, "s", &answer);
    const CCharString answerText(r >= 0 && answer ? answer : "");
    sd_bus_message_unref(reply);
    if (r < 0) return BusFailure(FailureKind::kSystem, methods.check, r);
    if (answerText != "yes")
        return SystemFailure(EPERM, UserText("Logind", "%1: %2").Arg(methods.check).Arg(answerText.str()));
    // Not interactive: an authentication prompt would wait for a user who is not there.
    result = CallManager(methods.act, "b", &reply, 0);
    sd_bus_message_unref(reply);
    return result;
}

Result<int> CLogind::Inhibit(const char* what, const char* who, const char* why, const char* mode) {
    sd_bus_message* reply = nullptr;
    if (Result<void> called = CallManager("Inhibit", "ssss", &reply, what, who, why, mode); !called)
        return std::move(called).error();
    int received = -1;
    int fd = -1;
    int r = sd_bus_message_read(reply, "h", &received);
    // The message owns the descriptor it carried; keep a copy of our own.
    if (r >= 0 && (fd = fcntl(received, F_DUPFD_CLOEXEC, 3)) < 0) r = -errno;
    sd_bus_message_unref(reply);
    if (r < 0) return BusFailure(FailureKind::kSystem, "Inhibit", r);
    return fd;
}

Result<void> CSleepInhibitor::Acquire(CLogind& logind, const char* why) {
    Release();
    Result<int> fd = logind.Inhibit("sleep", "Velsona", why, "block");
    if (!fd) return std::move(fd).error();
    m_fd = *fd;
    return {};
}

void CSleepInhibitor::Release() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}
