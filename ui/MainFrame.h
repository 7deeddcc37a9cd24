// CMainFrame: the main window: menus, tool bar, places for the control bars, the recorded items
// list and the status bar; turns the user's commands into calls on the recording control.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <QUrl>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "foundation/UserText.h"
#include "app/bars/BarSet.h"
#include "app/control/MakerPages.h"
#include "ui/monitor/RingingFeed.h"
#include "app/control/RecordingCommands.h"
#include "app/control/ScheduleBook.h"
#include "app/files/RecordingItemsModel.h"
#include "app/settings/SettingsStore.h"
#include "schedule/CommandLine.h"
#include "ui/Commands.h"
#include "ui/ControlLink.h"
#include "ui/ItemsTableModel.h"

class CFileBar;
class CInputBar;
class CLevelBar;
class CLogind;
class CActivityLog;
class CLogWindow;
class CManualWindow;
class CMessageBoxes;
class CScheduleDlg;
class CMonitorBar;
class CMonitorDisplays;
class COutputBar;
class CSleepInhibitor;
class CStatusPane;
class CTagBar;
class CWindowBody;
class CUserPrompts;
class IMessageBoxes;
class QLabel;
class QTableView;
class QToolBar;

inline constexpr const char* kManualFileName = "Velsona.html";
inline constexpr const char* kEnglishManualFileName = "Velsona.en.html";
inline constexpr const char* kIdlePrompt = QT_TRANSLATE_NOOP("CMainFrame", "操作待ち");

// The window's manual in the user's language, else in the other: beside the program (a build
// tree), else in the data folder of the installed tree; empty when neither holds it.
QString ManualPath(const QString& programFolder);

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        CCharString settingsFile;  // empty: the user's store
        std::function<std::time_t()> clock = [] { return std::time(nullptr); };
        QString programFolder;  // where the manual lies; empty: the program's folder
        CCharString makerSite = kMakerSite;  // empty: no page of the maker is offered
        // The schedule's systemd user timers; null where no user manager answers, and the
        // window then runs the entries itself while it is open.
        std::function<std::unique_ptr<CScheduleUnits>()> scheduleUnits = [] {
            return CScheduleUnits::UserManagerAvailable()
                       ? std::make_unique<CScheduleUnits>(UserUnitFolder(), RecorderProgramPath())
                       : nullptr;
        };
        ScheduleFiles scheduleFiles;
    };

    // `boxes` answers every question; null shows Qt message boxes.
    CMainFrame(IMessageBoxes* boxes, Options options);
    ~CMainFrame() override;

    // The end of window creation: loads the start-up preset and starts an armed schedule.
    void Start(const CommandLineOptions& commandLine);
    // A stop request (SIGTERM at logout, Ctrl+C): the window closes as its close command does,
    // once any box or dialog open is cancelled, and starts nothing meanwhile.
    void CloseOnRequest();

    // How pages, files and programs are opened; tests replace them.
    std::function<bool(const QUrl&)> openUrl;
    std::function<bool(const QString& program, const QStringList& arguments)> startProgram;

    CRecordingControl& Control() { return m_link->Control(); }
    CRecordingItemsModel& Items() { return m_items; }
    QTableView* List() const { return m_list; }
    CManualWindow* ManualWindow() const { return m_manual; }
    CLogWindow* LogWindow() const { return m_logWindow; }
    CScheduleDlg* ScheduleDialog() const { return m_scheduleDlg; }
    CScheduleBook& Schedule() { return *m_schedule; }
    QAction* Action(Command id) const { return m_actions.at(id); }
    // Where the bar of a view command (kCommandFileBar … kCommandLevelBar) docks.
    QToolBar* BarPlace(Command viewCommand) const { return m_places.at(viewCommand); }
    CBarSet& Bars() { return *m_bars; }
    CFileBar& FileBar() const { return *m_fileBar; }
    CInputBar& InputBar() const { return *m_inputBar; }
    COutputBar& OutputBar() const { return *m_outputBar; }
    CTagBar& TagBar() const { return *m_tagBar; }
    CMonitorBar& MonitorBar() const { return *m_monitorBar; }
    CLevelBar& LevelBar() const { return *m_levelBar; }
    bool CountingDown() const { return m_countdown.isActive(); }
    QString PromptText() const;
    QString TrackPaneText() const;
    QString TotalPaneText() const;

    // Arms a schedule: a countdown to its start time, or a recording that starts now.
    void StartBySchedule(const RecordingSchedule& schedule);
    // One tick of the 200 ms countdown to a scheduled start.
    void OnCountdownTimer();
    void OnCalibrateSilence();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The usual size, or less where the screen has less room.
    void FitToScreen();
    void CreateActions();
    void CreateBars();
    void CreateSettingsBars();
    void CreateList();
    // Widens the list's columns to what they show.
    void FitColumns();
    void CreateStatusBar();
    void OnCommand(Command id);
    void UpdateCommands();

    void OnStart();
    void OnStop();
    void OnTimer();
    void OnRemoveFromList();
    void OnDeleteFiles();
    void OnOpenFolder();
    void OnMixer();
    void OnScheduler();
    // Without timers the window runs the entries: the next start is armed as the timer's
    // countdown, unless a recording or the user's own timer is under way.
    void ArmWindowRun();
    // Just before a window run starts: its preset into the bars and the control.
    void PrepareWindowRun();
    // Logs a window run's outcome for the dialog; the stop that follows arms the next one.
    void FinishWindowRun(ScheduleOutcome outcome, const QString& detail = {});
    // The user's own start, timer, stop or close ends a window run; one recording counts as recorded.
    void EndWindowRunByHand();
    void OnHelp();
    void OnShowLog();
    void OpenMakerPage(const char* query);
    void OnAbout();
    void OnRecordingEvent(const RecordingEvent& event, bool running);
    void OnResumeInput();
    void OnKeepRecordings();
    // The prompt pane tells of the input's wait and return; no box: nobody may be watching.
    void ShowInputEvent(const RecordingEvent& event);

    // What is known to fail before a start (encoder, device, folder); false after saying so.
    bool CheckBeforeStarting(const RecordingSchedule* schedule);
    // Shows the outcome of a start: the recording's title and commands, or the failure.
    void ShowStarted(const Result<void>& outcome);
    // Stops a recording or a countdown, shows idle and takes the stop's events at once.
    void EndRecording();
    void AskAboutOldRows();
    // Finishes the tracks a killed or crashed recorder left and tells the user their new names.
    void RecoverLeftTracks();
    void RunEndAction(EndAction action);
    std::vector<int> SelectedRows() const;
    void RefreshPanes();
    void ShowPrompt(const QString& text);
    // The control's thresholds to the meters.
    void ShowSilenceLevels();
    // The bars' thresholds (a loaded preset) to the control and the meters.
    void ApplyBarsSilenceLevels();

    Options m_options;
    std::unique_ptr<CMessageBoxes> m_ownBoxes;
    IMessageBoxes& m_boxes;
    std::unique_ptr<CSettingsStore> m_store;
    ProfileState m_profile;
    CRecordingItemsModel m_items;
    CItemsTableModel m_table;
    std::unique_ptr<CLogind> m_logind;
    std::unique_ptr<CSleepInhibitor> m_inhibitor;
    CRingingFeed m_feed;  // outlives the control, whose sessions feed it
    std::unique_ptr<CActivityLog> m_log;  // outlives the control, which writes to it
    // The control stops its recording before the list and the inhibitor go.
    std::unique_ptr<CControlLink> m_link;
    std::unique_ptr<CRecordingCommands> m_commands;
    std::unique_ptr<CMonitorDisplays> m_displays;
    std::unique_ptr<CUserPrompts> m_prompts;  // the bars' questions, through m_boxes
    std::unique_ptr<CBarSet> m_bars;

    std::unique_ptr<CScheduleBook> m_schedule;
    std::optional<CScheduleBook::WindowRun> m_windowRun;  // the countdown or recording is this run
    UserText m_backendError;  // why there is no capture backend
    QTimer m_countdown;
    QTimer m_refresh;  // reads the control's status while recording; the audio thread never waits
    QString m_problem;  // the last problem, shown in the prompt pane until the next start
    QString m_waitingSince;  // when the input went away, while the recording waits for it
    bool m_closing = false;  // asked to close from outside; nothing starts now
    QString m_inputNote;  // the wait for the input, or its return, until the recording stops
    QString m_soundNote;  // while recording only while there is sound and none is heard
    std::map<Command, QAction*> m_actions;
    std::map<Command, QToolBar*> m_places;
    QToolBar* m_toolBar = nullptr;
    CWindowBody* m_body = nullptr;
    QTableView* m_list = nullptr;
    CFileBar* m_fileBar = nullptr;
    CInputBar* m_inputBar = nullptr;
    COutputBar* m_outputBar = nullptr;
    CTagBar* m_tagBar = nullptr;
    CLevelBar* m_levelBar = nullptr;
    CMonitorBar* m_monitorBar = nullptr;
    CManualWindow* m_manual = nullptr;  // made at the first F1
    CLogWindow* m_logWindow = nullptr;  // made when first asked for
    CScheduleDlg* m_scheduleDlg = nullptr;  // made when first asked for
    QLabel* m_prompt = nullptr;
    CStatusPane* m_trackPane = nullptr;
    CStatusPane* m_totalPane = nullptr;
};
