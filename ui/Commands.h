// The window's commands: ids, menu texts, prompts, tool bar icons, and when each is enabled.
#pragma once

#include <span>

enum Command : int {
    kCommandStart = 32771,
    kCommandStop = 32772,
    kCommandSplit = 32773,
    kCommandOpenFolder = 32775,
    kCommandPause = 32776,
    kCommandTimer = 32777,
    kCommandSetFolder = 32778,
    kCommandMixer = 32779,
    kCommandCalibrate = 32782,
    kCommandRemoveFromList = 32784,
    kCommandDeleteFiles = 32785,
    kCommandUpdatePage = 32786,
    kCommandFileBar = 32811,
    kCommandInputBar = 32812,
    kCommandOutputBar = 32813,
    kCommandTagBar = 32814,
    kCommandMonitorBar = 32815,
    kCommandLevelBar = 32816,
    kCommandScheduler = 32850,
    kCommandHelp = 32851,
    kCommandOnlineManual = 32852,
    kCommandLog = 32853,
    kCommandResumeInput = 32860,
    kCommandKeepRecordings = 32861,
    kCommandToolBar = 59392,
    kCommandStatusBar = 59393,
    kCommandAbout = 57664,
    kCommandExit = 57665,
};

struct CommandInfo {
    Command id;
    // Entries of the catalogue context "Commands", translated where they are shown.
    const char* menuText;  // with its "&" mnemonic
    // The status bar prompt, then after "\n" the tool bar button's text.
    const char* prompt;
    const char* themeIcon;  // freedesktop icon name; empty for commands without a button
};

// Every command, in menu order within its menu.
std::span<const CommandInfo> AllCommands();
const CommandInfo& CommandInfoFor(Command id);

struct MenuInfo {
    const char* title;
    std::span<const Command> commands;  // 0 stands for a separator
};
std::span<const MenuInfo> AllMenus();
// The tool bar's buttons in order; 0 stands for a separator.
std::span<const Command> ToolBarCommands();

// What the enabling rules look at.
struct FrameState {
    bool recording = false;  // a recording runs (a session exists)
    bool paused = false;
    bool armed = false;  // a schedule is set: counting down or recording by it
    bool resumeInput = false;  // "resume when the input returns" is on
};

struct CommandState {
    bool enabled = true;
    bool checked = false;
};
// The rule for every command but the view entries, whose check follows their bar.
CommandState StateOf(Command id, const FrameState& state);
