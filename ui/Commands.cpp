// The command table and the enabling rules of the window.
#include "ui/Commands.h"

#include <algorithm>
#include <cassert>
#include <iterator>

#include <QtGlobal>

namespace {

constexpr CommandInfo kCommands[] = {
    {kCommandOpenFolder, QT_TRANSLATE_NOOP("Commands", "出力先フォルダを開く(&O)"),
     QT_TRANSLATE_NOOP("Commands", "出力先フォルダを開きます\n出力先を開く"), "folder-open"},
    {kCommandSetFolder, QT_TRANSLATE_NOOP("Commands", "出力先フォルダを設定(&S)"),
     QT_TRANSLATE_NOOP("Commands", "出力先フォルダを選択します\n出力先を設定"), ""},
    {kCommandExit, QT_TRANSLATE_NOOP("Commands", "終了(&X)"),
     QT_TRANSLATE_NOOP("Commands", "アプリケーションを終了します\n終了"), ""},
    {kCommandStart, QT_TRANSLATE_NOOP("Commands", "録音開始(&R)"),
     QT_TRANSLATE_NOOP("Commands", "録音を開始します\n録音開始"), "media-record"},
    {kCommandTimer, QT_TRANSLATE_NOOP("Commands", "録音タイマー(&T)..."),
     QT_TRANSLATE_NOOP("Commands", "開始日時と録音時間を指定して録音します\nタイマー"), "chronometer"},
    {kCommandStop, QT_TRANSLATE_NOOP("Commands", "録音停止(&S)"),
     QT_TRANSLATE_NOOP("Commands", "録音を停止します\n録音停止"), "media-playback-stop"},
    {kCommandSplit, QT_TRANSLATE_NOOP("Commands", "トラック分割(&C)"),
     QT_TRANSLATE_NOOP("Commands", "ここでトラックを分割して次のファイルに録音します\n分割"), "edit-cut"},
    {kCommandPause, QT_TRANSLATE_NOOP("Commands", "一時停止(&P)"),
     QT_TRANSLATE_NOOP("Commands", "録音を一時停止または再開します\n一時停止"), "media-playback-pause"},
    {kCommandResumeInput, QT_TRANSLATE_NOOP("Commands", "入力が戻ったら録音を再開(&I)"),
     QT_TRANSLATE_NOOP("Commands", "録音中に入力が途絶えたらトラックを閉じて入力が戻るのを待ち、戻ったら次のトラックから録音を続けます\n入力待ち"), ""},
    {kCommandKeepRecordings, QT_TRANSLATE_NOOP("Commands", "古い録音の削除(&K)..."),
     QT_TRANSLATE_NOOP("Commands", "古い録音を何日残すか、ディスクの空きをどれだけ保つかを設定します\n古い録音"), ""},
    {kCommandRemoveFromList, QT_TRANSLATE_NOOP("Commands", "リストから除外(&R)"),
     QT_TRANSLATE_NOOP("Commands", "選択したアイテムをリストから除外します（ファイルは残ります）\n除外"), ""},
    {kCommandDeleteFiles, QT_TRANSLATE_NOOP("Commands", "ファイルを削除(&F)"),
     QT_TRANSLATE_NOOP("Commands", "選択したアイテムのファイルを削除します\n削除"), ""},
    {kCommandCalibrate, QT_TRANSLATE_NOOP("Commands", "無音レベルの調整(&L)"),
     QT_TRANSLATE_NOOP("Commands", "無音と判定するレベルを現在の入力レベルから設定します\n無音レベル"), "audio-input-microphone"},
    {kCommandMixer, QT_TRANSLATE_NOOP("Commands", "録音コントロール起動(&D)"),
     QT_TRANSLATE_NOOP("Commands", "録音ミキサーを起動します\n録音ミキサー"), "multimedia-volume-control"},
    {kCommandScheduler, QT_TRANSLATE_NOOP("Commands", "録音スケジュール起動(&S)"),
     QT_TRANSLATE_NOOP("Commands", "決まった日時に繰り返す録音の予定を表示・編集します\nスケジュール"), "x-office-calendar"},
    {kCommandToolBar, QT_TRANSLATE_NOOP("Commands", "ツールバー(&T)"),
     QT_TRANSLATE_NOOP("Commands", "ツールバーの表示/非表示を切り替えます\nツールバー"), ""},
    {kCommandFileBar, QT_TRANSLATE_NOOP("Commands", "ファイル情報バー(&F)"),
     QT_TRANSLATE_NOOP("Commands", "出力先とファイル名のバーの表示/非表示を切り替えます\n出力先バー"), ""},
    {kCommandInputBar, QT_TRANSLATE_NOOP("Commands", "入力デバイスバー(&I)"),
     QT_TRANSLATE_NOOP("Commands", "入力デバイスのバーの表示/非表示を切り替えます\n入力バー"), ""},
    {kCommandOutputBar, QT_TRANSLATE_NOOP("Commands", "出力設定バー(&O)"),
     QT_TRANSLATE_NOOP("Commands", "出力設定のバーの表示/非表示を切り替えます\n出力バー"), ""},
    {kCommandTagBar, QT_TRANSLATE_NOOP("Commands", "ID3タグ設定バー(&T)"),
     QT_TRANSLATE_NOOP("Commands", "タグのバーの表示/非表示を切り替えます\nタグバー"), ""},
    {kCommandMonitorBar, QT_TRANSLATE_NOOP("Commands", "音声モニターバー(&M)"),
     QT_TRANSLATE_NOOP("Commands", "モニターのバーの表示/非表示を切り替えます\nモニターバー"), ""},
    {kCommandLevelBar, QT_TRANSLATE_NOOP("Commands", "音量表示バー(&V)"),
     QT_TRANSLATE_NOOP("Commands", "レベルメーターの表示/非表示を切り替えます\nレベルバー"), ""},
    {kCommandStatusBar, QT_TRANSLATE_NOOP("Commands", "ステータスバー(&S)"),
     QT_TRANSLATE_NOOP("Commands", "ステータスバーの表示/非表示を切り替えます\nステータスバー"), ""},
    {kCommandLog, QT_TRANSLATE_NOOP("Commands", "ログ(&L)..."),
     QT_TRANSLATE_NOOP("Commands", "録音の開始・停止、トラック、問題の記録（ログ）を表示します\nログ"), ""},
    {kCommandHelp, QT_TRANSLATE_NOOP("Commands", "ヘルプファイルを開く(&H)"),
     QT_TRANSLATE_NOOP("Commands", "ヘルプを開きます\nヘルプ"), "help-contents"},
    {kCommandUpdatePage, QT_TRANSLATE_NOOP("Commands", "アップデート情報(&U)"),
     QT_TRANSLATE_NOOP("Commands", "アップデート情報のページを開きます\nアップデート"), ""},
    {kCommandOnlineManual, QT_TRANSLATE_NOOP("Commands", "オンラインマニュアル(&O)"),
     QT_TRANSLATE_NOOP("Commands", "オンラインマニュアルを開きます\nマニュアル"), ""},
    {kCommandAbout, QT_TRANSLATE_NOOP("Commands", "バージョン情報(&A)..."),
     QT_TRANSLATE_NOOP("Commands", "プログラムの情報、バージョン、使用しているライブラリを表示します\nバージョン"), ""},
};

constexpr Command kSeparator = static_cast<Command>(0);
constexpr Command kFileMenu[] = {kCommandOpenFolder, kCommandSetFolder, kSeparator, kCommandExit};
constexpr Command kRecordMenu[] = {kCommandStart, kCommandTimer,       kCommandStop, kSeparator,
                                   kCommandSplit, kCommandPause,       kSeparator,   kCommandResumeInput,
                                   kCommandKeepRecordings,
                                   kSeparator,    kCommandCalibrate,   kCommandMixer, kCommandScheduler};
constexpr Command kListMenu[] = {kCommandRemoveFromList, kCommandDeleteFiles};
constexpr Command kViewMenu[] = {kCommandToolBar, kCommandFileBar,    kCommandInputBar, kCommandOutputBar,
                                 kCommandTagBar,  kCommandMonitorBar, kCommandLevelBar, kCommandStatusBar,
                                 kSeparator,      kCommandLog};
constexpr Command kHelpMenu[] = {kCommandHelp, kCommandUpdatePage, kCommandOnlineManual, kSeparator, kCommandAbout};
constexpr MenuInfo kMenus[] = {
    {QT_TRANSLATE_NOOP("Commands", "ファイル(&F)"), kFileMenu},
    {QT_TRANSLATE_NOOP("Commands", "録音(&R)"), kRecordMenu},
    {QT_TRANSLATE_NOOP("Commands", "リスト(&L)"), kListMenu},
    {QT_TRANSLATE_NOOP("Commands", "表示(&V)"), kViewMenu},
    {QT_TRANSLATE_NOOP("Commands", "ヘルプ(&H)"), kHelpMenu},
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
    // Its S is 録音停止's too: while recording, Alt+R, S must stop at once.
    case kCommandScheduler: return {!state.recording, false};
    // Changed during a recording too: it applies from the next failure.
    case kCommandResumeInput: return {true, state.resumeInput};
    default: return {true, false};
    }
}
