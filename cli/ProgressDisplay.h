// CProgressDisplay: the recorder's terminal output: a status line refreshed in place on a
// terminal, occasional plain lines in a log, and messages that never tangle with the status.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "foundation/UserText.h"

class CProgressDisplay {
public:
    // Plain lines (no cursor control) when `out` is not a terminal.
    explicit CProgressDisplay(FILE* out);

    // On a terminal the line replaces the previous status; otherwise it is printed as a line of
    // its own at most once a minute, so a log of a day-long recording stays readable.
    // `changed`: the line tells of a new state (a wait for the input begun or ended), printed
    // at once even where the status is printed once a minute.
    void ShowStatus(const std::string& line, bool changed = false);
    // A line of its own (a finished file, a note), printed at once.
    void Print(const std::string& line);
    void Print(const UserText& line);
    // A message on standard error, after clearing the status line.
    void Error(const std::string& line);
    void Error(const UserText& line);
    // A warning on standard error: "warning: " and the text, in the user's language.
    void Warn(const UserText& line);

private:
    void ClearStatus();

    FILE* m_out;
    bool m_terminal;
    bool m_statusShown = false;
    std::chrono::steady_clock::time_point m_lastPlainStatus{};
};
