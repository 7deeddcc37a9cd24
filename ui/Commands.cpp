// The command table and the enabling rules of the window.
#include "ui/Commands.h"

#include <algorithm>
#include <cassert>
#include <iterator>

namespace {

constexpr CommandInfo kCommands[] = {
    {kCommandOpenFolder, "出力先フォルダを開く(&O)", "出力先フォルダを開きます\n出力先を開く", "folder-open"},
    {kCommandSetFolder, "出力先フォルダを設定(&S)", "出力先フォルダを選択します\n出力先を設定", ""},
    {kCommandExit, "終了(&X)", "アプリケーションを終了します\n終了", ""},
    {kCommandStart, "録音開始(&R)", "録音を開始します\n録音開始", "media-record"},
    {kCommandTimer, "録音タイマー(&T)...", "開始日時と録音時間を指定して録音します\nタイマー", "chronometer"},
    {kCommandStop, "録音停止(&S)", "録音を停止します\n録音停止", "media-playback-stop"},
    {kCommandSplit, "トラック分割(&C)", "ここでトラックを分割して次のファイルに録音します\n分割", "edit-cut"},
    {kCommandPause, "一時停止(&P)", "録音を一時停止または再開します\n一時停止", "media-playback-pause"},
    {kCommandResumeInput, "入力が戻ったら録音を再開(&I)",
     "録音中に入力が途絶えたらトラックを閉じて入力が戻るのを待ち、戻ったら次のトラックから録音を続けます\n入力待ち", ""},
    {kCommandRemoveFromList, "リストから除外(&R)", "選択したアイテムをリストから除外します（ファイルは残ります）\n除外", ""},
    {kCommandDeleteFiles, "ファイルを削除(&F)", "選択したアイテムのファイルを削除します\n削除", ""},
    {kCommandCalibrate, "無音レベルの調整(&L)", "無音と判定するレベルを現在の入力レベルから設定します\n無音レベル", "audio-input-microphone"},
    {kCommandMixer, "録音コントロール起動(&D)", "録音ミキサーを起動します\n録音ミキサー", "multimedia-volume-control"},
    {kCommandScheduler, "録音スケジュール起動(&S)", "録音スケジューラ Tarnwel を起動します\nスケジュール", "x-office-calendar"},
    {kCommandToolBar, "ツールバー(&T)", "ツールバーの表示/非表示を切り替えます\nツールバー", ""},
    {kCommandFileBar, "ファイル情報バー(&F)", "出力先とファイル名のバーの表示/非表示を切り替えます\n出力先バー", ""},
    {kCommandInputBar, "入力デバイスバー(&I)", "入力デバイスのバーの表示/非表示を切り替えます\n入力バー", ""},
    {kCommandOutputBar, "出力設定バー(&O)", "出力設定のバーの表示/非表示を切り替えます\n出力バー", ""},
    {kCommandTagBar, "ID3タグ設定バー(&T)", "タグのバーの表示/非表示を切り替えます\nタグバー", ""},
    {kCommandMonitorBar, "音声モニターバー(&M)", "モニターのバーの表示/非表示を切り替えます\nモニターバー", ""},
    {kCommandLevelBar, "音量表示バー(&V)", "レベルメーターの表示/非表示を切り替えます\nレベルバー", ""},
    {kCommandStatusBar, "ステータスバー(&S)", "ステータスバーの表示/非表示を切り替えます\nステータスバー", ""},
    {kCommandLog, "ログ(&L)...", "録音の開始・停止、トラック、問題の記録（ログ）を表示します\nログ", ""},
    {kCommandHelp, "ヘルプファイルを開く(&H)", "ヘルプを開きます\nヘルプ", "help-contents"},
    {kCommandUpdatePage, "アップデート情報(&U)", "アップデート情報のページを開きます\nアップデート", ""},
    {kCommandOnlineManual, "オンラインマニュアル(&O)", "オンラインマニュアルを開きます\nマニュアル", ""},
    {kCommandAbout, "バージョン情報(&A)...", "プログラムの情報、バージョン、使用しているライブラリを表示します\nバージョン", ""},
};

constexpr Command kSeparator = static_cast<Command>(0);
constexpr Command kFileMenu[] = {kCommandOpenFolder, kCommandSetFolder, kSeparator, kCommandExit};
constexpr Command kRecordMenu[] = {kCommandStart, kCommandTimer,       kCommandStop, kSeparator,
                                   kCommandSplit, kCommandPause,       kSeparator,   kCommandResumeInput,
                                   kSeparator,    kCommandCalibrate,   kCommandMixer, kCommandScheduler};
constexpr Command kListMenu[] = {kCommandRemoveFromList, kCommandDeleteFiles};
constexpr Command kViewMenu[] = {kCommandToolBar, kCommandFileBar,    kCommandInputBar, kCommandOutputBar,
                                 kCommandTagBar,  kCommandMonitorBar, kCommandLevelBar, kCommandStatusBar,
                                 kSeparator,      kCommandLog};
constexpr Command kHelpMenu[] = {kCommandHelp, kCommandUpdatePage, kCommandOnlineManual, kSeparator, kCommandAbout};
constexpr MenuInfo kMenus[] = {
    {"ファイル(&F)", kFileMenu}, {"録音(&R)", kRecordMenu}, {"リスト(&L)", kListMenu},
    {"表示(&V)", kViewMenu},     {"ヘルプ(&H)", kHelpMenu},
};

constexpr Command kToolBar[] = {kCommandStart, kCommandTimer,     kCommandStop,  kSeparator, kCommandSplit, kCommandPause,
                                kSeparator,    kCommandCalibrate, kCommandMixer, kSeparator, kCommandScheduler};

}  // namespace

std::span<const CommandInfo> AllCommands() { return kCommands; }

const CommandInfo& CommandInfoFor(Command id) {
    const auto* found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                     [id](const CommandInfo& info) { return info.id == id; });
    assert(found != std::end(kCommands));
    return *found;
}

std::span<const MenuInfo> AllMenus() { return kMenus; }
std::span<const Command> ToolBarCommands() { return kToolBar; }

CommandState StateOf(Command id, const FrameState& state) {
    switch (id) {
    case kCommandStart: return {!state.recording, false};
    case kCommandTimer: return {!state.recording, state.armed};
    case kCommandStop: return {state.recording, false};
    case kCommandSplit: return {state.recording, false};
    case kCommandPause: return {state.recording, state.recording && state.paused};
    // Rows change under a recording; the list commands wait for it to end.
    case kCommandRemoveFromList:
    case kCommandDeleteFiles: return {!state.recording, false};
    case kCommandScheduler: return {state.schedulerPresent, false};
    // Changed during a recording too: it applies from the next failure.
    case kCommandResumeInput: return {true, state.resumeInput};
    default: return {true, false};
    }
}
