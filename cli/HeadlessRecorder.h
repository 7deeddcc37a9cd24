// CHeadlessRecorder: one run of velsona-rec, from the command line to the exit status.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/files/RecordingItemsModel.h"
#include "app/settings/SettingsStore.h"
#include "cli/EventQueue.h"
#include "cli/ProgressDisplay.h"
#include "cli/RecorderOptions.h"
#include "cli/ScheduledRun.h"
#include "cli/ServiceNotifier.h"
#include "schedule/CommandLine.h"
#include "schedule/EndAction.h"

class CActivityLog;
class CCaptureBackend;
class CLogind;
class CRecordingCommands;
class CRecordingControl;
class CSleepInhibitor;

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // could not start, or a problem during the recording
inline constexpr int kExitUsage = 2;

class CHeadlessRecorder {
public:
    CHeadlessRecorder();
    ~CHeadlessRecorder();

    int Run(const std::vector<std::string>& arguments);

private:
    int Record(const std::vector<std::string>& arguments);
    // Prints a reason the run cannot go on, keeps the first for a scheduled run's report, and
    // gives back `status`.
    int Refuse(const UserText& reason, int status);
    // --schedule-run: the entry's planned run in place of the command line's schedule. An exit
    // status when the run ends here (missed, or no such entry), -1 to record.
    int PrepareScheduledRun();
    void ReportScheduledEnd(int status);
    // Warns about every schedule word that had no effect; false (the run is refused) for a start
    // time that did not parse.
    bool ReportIgnoredWords();
    bool ListDevices();
    // Finishes and reports the tracks of recorders that were killed or crashed.
    void RecoverLeftTracks(const CCharString& outputFolder);
    void PrepareSleepInhibitor();
    // Starts at once or after the countdown; false (m_startStatus says how to exit) otherwise.
    bool Start();
    // False when a stop was requested before the start time, or the start then failed.
    bool WaitForStart();
    int RecordUntilStop();
    void HandleEvent(const RecordingEvent& event);
    // An event's message on standard error, unless the journal already has it from the log.
    void TellProblem(const RecordingEvent& event);
    void OpenLog();
    void ShowStatus();
    void PrintFinishedFiles();
    // Saves the default preset, then runs the end action taken from a duration-reached stop.
    void Finish();

    CProgressDisplay m_display;
    CServiceNotifier m_service;
    RecorderOptions m_options;
    CommandLineOptions m_commandLine;
    CSettingsStore m_store;
    ProfileState m_profile;
    CCharString m_presetName;
    CCharString m_saveUnder = kDefaultPresetName;  // where this run's settings are stored at the end
    std::shared_ptr<CCaptureBackend> m_backend;
    std::unique_ptr<CActivityLog> m_log;
    bool m_logToJournal = false;  // each log entry goes to standard error, the journal, too
    CEventQueue m_events;
    CRecordingItemsModel m_items;
    // Before the control, which releases the inhibitor when it is destroyed.
    std::unique_ptr<CLogind> m_logind;
    std::unique_ptr<CSleepInhibitor> m_inhibitor;
    std::unique_ptr<CRecordingControl> m_control;
    std::unique_ptr<CRecordingCommands> m_commands;
    int m_startStatus = kExitOk;
    size_t m_printedRows = 0;
    size_t m_finishedRows = 0;  // rows whose track was finished (one per track-closed event)
    int m_tracksDone = 0;
    bool m_problem = false;
    uint64_t m_overruns = 0;
    // While the input is away: since when (local time), and the last attempt's reason.
    std::string m_waitingSince;
    std::string m_lastAttempt;
    bool m_statusWaiting = false;  // the status line shown last told of a wait for the input
    EndAction m_endAction = EndAction::None;  // taken when the duration ended the recording
    std::optional<ScheduledRun> m_scheduled;  // a run started by a schedule entry's timer
    UserText m_failure;  // the first reason the run failed or lost audio
};
