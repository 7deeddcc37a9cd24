// Terminal output of velsona-rec.
#include "cli/ProgressDisplay.h"

#include <unistd.h>

#include "app/language/Catalogue.h"

namespace {

constexpr auto kPlainStatusPeriod = std::chrono::seconds(60);

}  // namespace

CProgressDisplay::CProgressDisplay(FILE* out) : m_out(out), m_terminal(isatty(fileno(out)) == 1) {}

void CProgressDisplay::ShowStatus(const std::string& line, bool changed) {
    if (m_terminal) {
        // Return to the line's start and erase to its end, so a shorter line leaves no residue.
        std::fprintf(m_out, "\r%s\033[K", line.c_str());
        m_statusShown = true;
    } else {
        const auto now = std::chrono::steady_clock::now();
        if (!changed && m_lastPlainStatus != std::chrono::steady_clock::time_point{} &&
            now - m_lastPlainStatus < kPlainStatusPeriod)
            return;
        m_lastPlainStatus = now;
        std::fprintf(m_out, "%s\n", line.c_str());
    }
    std::fflush(m_out);
}

void CProgressDisplay::Print(const std::string& line) {
    ClearStatus();
    std::fprintf(m_out, "%s\n", line.c_str());
    std::fflush(m_out);
}

void CProgressDisplay::Print(const UserText& line) { Print(SaidUtf8(line)); }

void CProgressDisplay::Error(const UserText& line) { Error(SaidUtf8(line)); }

void CProgressDisplay::Warn(const UserText& line) { Error(UserText("ProgressDisplay", "警告: %1").Arg(line)); }

void CProgressDisplay::Error(const std::string& line) {
    ClearStatus();
    std::fflush(m_out);
    std::fprintf(stderr, "velsona-rec: %s\n", line.c_str());
}

void CProgressDisplay::ClearStatus() {
    if (!m_statusShown) return;
    std::fprintf(m_out, "\r\033[K");
    m_statusShown = false;
}
