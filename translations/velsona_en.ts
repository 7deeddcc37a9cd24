<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>CControlLink</name>
    <message>
        <source>録音デバイスからの入力が終了しました。</source>
        <translation>The input from the recording device has ended.</translation>
    </message>
</context>
<context>
    <name>CLogWindow</name>
    <message>
        <source>ログ - %1</source>
        <translation>Log - %1</translation>
    </message>
    <message>
        <source>最後の問題</source>
        <translation>Latest problem</translation>
    </message>
    <message>
        <source>ログ</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>ログはまだありません（%1）</source>
        <translation>No log yet (%1)</translation>
    </message>
    <message>
        <source>最後の問題: なし</source>
        <translation>Latest problem: none</translation>
    </message>
    <message>
        <source>最後の問題: %1</source>
        <translation>Latest problem: %1</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>以前の録音アイテムが残っています、リストをクリアしますか？</source>
        <translation>Items of an earlier recording are still in the list. Clear the list?</translation>
    </message>
    <message>
        <source>アイテムが選択されていません。
すべてのファイルを削除しますか？</source>
        <translation>No item is selected.
Delete all the files?</translation>
    </message>
    <message>
        <source>※※&#x3000;！注意！&#x3000;※※

この処理を実行すると実際の保存ファイルが削除されますがよろしいですか？
（表示上から除外するだけ場合は「リストから除外」を利用してください）</source>
        <translation>** Caution! **

This deletes the saved files themselves. Go on?
(To take items off the list only, use &quot;Remove from List&quot;.)</translation>
    </message>
    <message>
        <source>アイテムが選択されていません。
すべてのアイテムを除外しますか？</source>
        <translation>No item is selected.
Remove all the items?</translation>
    </message>
    <message>
        <source>左のボリュームメーターを目安に
無音のタイミングで「ＯＫ」を押してください

※ソースのボリュームを最小にするなど、
なるべく録音ソースを無音状態にしてください
無音区間で分割時の無音状態の判定値
(0～-130dB)として利用されます。
</source>
        <translation>Watch the level meters on the left
and press &quot;OK&quot; while the input is silent.

* Turn the source&apos;s volume down or otherwise
keep the recorded source as silent as you can.
The level is used to tell silence when splitting
at silences (0 to -130 dB).
</translation>
    </message>
    <message>
        <source>左： %1 dB / 右： %2 dB&#x3000;
以下を無音と判定無音レベルに設定しますか？

* はい → 無音値を設定する
* いいえ → 再試行（リトライ）する
* キャンセル -&gt; 中止</source>
        <translation>Left: %1 dB / Right: %2 dB
Take these levels and below as silence?

* Yes: set the silence levels
* No: measure again
* Cancel: give up</translation>
    </message>
    <message>
        <source>録音コントロール（pavucontrol）が見つかりません。
入力の音量を調整するには pavucontrol をインストールしてください。</source>
        <translation>The recording mixer (pavucontrol) was not found.
Install pavucontrol to adjust the input&apos;s volume.</translation>
    </message>
    <message>
        <source>その他のボタン</source>
        <translation>More buttons</translation>
    </message>
    <message>
        <source>録音アイテム一覧</source>
        <translation>Recorded items</translation>
    </message>
    <message>
        <source>トラック(999)時間 999:59.99</source>
        <translation>Track (999) time 999:59.99</translation>
    </message>
    <message>
        <source>トラック時間</source>
        <translation>Track time</translation>
    </message>
    <message>
        <source>総時間 9999:59</source>
        <translation>Total time 9999:59</translation>
    </message>
    <message>
        <source>総時間</source>
        <translation>Total time</translation>
    </message>
    <message>
        <source>録音入力がありません: %1</source>
        <translation>No sound input: %1</translation>
    </message>
    <message>
        <source>%1から入力が戻るのを待っています。%2</source>
        <translation>Waiting since %1 for the input to return. %2</translation>
    </message>
    <message>
        <source>出力先フォルダ「%1」を作成できません。</source>
        <translation>Cannot create the output folder &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>出力先フォルダ「%1」を開けませんでした。
フォルダを開くプログラム（ファイルマネージャ）が見つかりません。</source>
        <translation>Could not open the output folder &quot;%1&quot;.
No program that opens folders (a file manager) was found.</translation>
    </message>
    <message>
        <source>録音スケジューラ（%1）を起動できませんでした。</source>
        <translation>Could not start the recording scheduler (%1).</translation>
    </message>
    <message>
        <source>マニュアル（%1）が見つかりません。</source>
        <translation>The manual (%1) was not found.</translation>
    </message>
    <message>
        <source>ページを開けませんでした。
%1</source>
        <translation>Could not open the page.
%1</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About Velsona</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;%1&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Velsona %2&lt;br&gt;Linux 版&lt;/p&gt;&lt;p&gt;使用しているライブラリ:&lt;br&gt;%3&lt;/p&gt;&lt;p&gt;読み込んだモジュール:&lt;br&gt;%4&lt;/p&gt;&lt;p&gt;GNU General Public License バージョン 3 以降 (GPL-3.0-or-later)&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;%1&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Velsona %2&lt;br&gt;for Linux&lt;/p&gt;&lt;p&gt;Libraries used:&lt;br&gt;%3&lt;/p&gt;&lt;p&gt;Modules loaded:&lt;br&gt;%4&lt;/p&gt;&lt;p&gt;GNU General Public License version 3 or later (GPL-3.0-or-later)&lt;/p&gt;</translation>
    </message>
    <message>
        <source>設定を %1 に保存できませんでした。</source>
        <translation>The settings could not be saved to %1.</translation>
    </message>
    <message>
        <source>操作待ち</source>
        <translation>Ready</translation>
    </message>
</context>
<context>
    <name>CRecordTimerDlg</name>
    <message>
        <source>録音タイマー設定</source>
        <translation>Recording Timer</translation>
    </message>
    <message>
        <source>録音開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>今すぐ開始する</source>
        <translation>Start now</translation>
    </message>
    <message>
        <source>指定日時/時刻で開始する</source>
        <translation>Start at this date and time</translation>
    </message>
    <message>
        <source>開始日</source>
        <translation>Start date</translation>
    </message>
    <message>
        <source>開始時刻</source>
        <translation>Start time</translation>
    </message>
    <message>
        <source>録音終了</source>
        <translation>End</translation>
    </message>
    <message>
        <source>手動（停止ボタン）で停止する</source>
        <translation>Stop by hand (the Stop button)</translation>
    </message>
    <message>
        <source>経過時間で停止する</source>
        <translation>Stop after a duration</translation>
    </message>
    <message>
        <source>録音時間（分）</source>
        <translation>Duration (minutes)</translation>
    </message>
    <message>
        <source>分</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>録音終了時に下記アクションを実行する</source>
        <translation>At the end, run this action</translation>
    </message>
    <message>
        <source>終了時のアクション</source>
        <translation>Action at the end</translation>
    </message>
    <message>
        <source>※手動停止による録音終了時は実行されません</source>
        <translation>* Not run when the recording is stopped by hand</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CWindowBody</name>
    <message>
        <source>バー</source>
        <translation>Bars</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>出力先フォルダを開く(&amp;O)</source>
        <translation>&amp;Open Output Folder</translation>
    </message>
    <message>
        <source>出力先フォルダを開きます
出力先を開く</source>
        <translation>Opens the output folder
Open Folder</translation>
    </message>
    <message>
        <source>出力先フォルダを設定(&amp;S)</source>
        <translation>&amp;Set Output Folder...</translation>
    </message>
    <message>
        <source>出力先フォルダを選択します
出力先を設定</source>
        <translation>Chooses the output folder
Set Folder</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>アプリケーションを終了します
終了</source>
        <translation>Quits the application
Quit</translation>
    </message>
    <message>
        <source>録音開始(&amp;R)</source>
        <translation>Start &amp;Recording</translation>
    </message>
    <message>
        <source>録音を開始します
録音開始</source>
        <translation>Starts recording
Record</translation>
    </message>
    <message>
        <source>録音タイマー(&amp;T)...</source>
        <translation>Recording &amp;Timer...</translation>
    </message>
    <message>
        <source>開始日時と録音時間を指定して録音します
タイマー</source>
        <translation>Records from a chosen start for a chosen duration
Timer</translation>
    </message>
    <message>
        <source>録音停止(&amp;S)</source>
        <translation>&amp;Stop Recording</translation>
    </message>
    <message>
        <source>録音を停止します
録音停止</source>
        <translation>Stops recording
Stop</translation>
    </message>
    <message>
        <source>トラック分割(&amp;C)</source>
        <translation>Split Tra&amp;ck</translation>
    </message>
    <message>
        <source>ここでトラックを分割して次のファイルに録音します
分割</source>
        <translation>Splits the track here and records on into the next file
Split</translation>
    </message>
    <message>
        <source>一時停止(&amp;P)</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>録音を一時停止または再開します
一時停止</source>
        <translation>Pauses or resumes recording
Pause</translation>
    </message>
    <message>
        <source>入力が戻ったら録音を再開(&amp;I)</source>
        <translation>Resume When the &amp;Input Returns</translation>
    </message>
    <message>
        <source>録音中に入力が途絶えたらトラックを閉じて入力が戻るのを待ち、戻ったら次のトラックから録音を続けます
入力待ち</source>
        <translation>When the input stops during a recording, closes the track, waits for the input to return and then records on into the next track
Wait for Input</translation>
    </message>
    <message>
        <source>リストから除外(&amp;R)</source>
        <translation>&amp;Remove from List</translation>
    </message>
    <message>
        <source>選択したアイテムをリストから除外します（ファイルは残ります）
除外</source>
        <translation>Removes the selected items from the list (their files stay)
Remove</translation>
    </message>
    <message>
        <source>ファイルを削除(&amp;F)</source>
        <translation>&amp;Delete Files</translation>
    </message>
    <message>
        <source>選択したアイテムのファイルを削除します
削除</source>
        <translation>Deletes the files of the selected items
Delete</translation>
    </message>
    <message>
        <source>無音レベルの調整(&amp;L)</source>
        <translation>Calibrate Silence &amp;Level</translation>
    </message>
    <message>
        <source>無音と判定するレベルを現在の入力レベルから設定します
無音レベル</source>
        <translation>Sets the level taken for silence from the current input level
Silence Level</translation>
    </message>
    <message>
        <source>録音コントロール起動(&amp;D)</source>
        <translation>Recording &amp;Mixer</translation>
    </message>
    <message>
        <source>録音ミキサーを起動します
録音ミキサー</source>
        <translation>Opens the recording mixer
Mixer</translation>
    </message>
    <message>
        <source>録音スケジュール起動(&amp;S)</source>
        <translation>Recording Sc&amp;heduler</translation>
    </message>
    <message>
        <source>録音スケジューラ Tarnwel を起動します
スケジュール</source>
        <translation>Opens the recording scheduler Tarnwel
Scheduler</translation>
    </message>
    <message>
        <source>ツールバー(&amp;T)</source>
        <translation>&amp;Tool Bar</translation>
    </message>
    <message>
        <source>ツールバーの表示/非表示を切り替えます
ツールバー</source>
        <translation>Shows or hides the tool bar
Tool Bar</translation>
    </message>
    <message>
        <source>ファイル情報バー(&amp;F)</source>
        <translation>&amp;File Bar</translation>
    </message>
    <message>
        <source>出力先とファイル名のバーの表示/非表示を切り替えます
出力先バー</source>
        <translation>Shows or hides the bar of the output folder and file name
File Bar</translation>
    </message>
    <message>
        <source>入力デバイスバー(&amp;I)</source>
        <translation>&amp;Input Bar</translation>
    </message>
    <message>
        <source>入力デバイスのバーの表示/非表示を切り替えます
入力バー</source>
        <translation>Shows or hides the input device bar
Input Bar</translation>
    </message>
    <message>
        <source>出力設定バー(&amp;O)</source>
        <translation>&amp;Output Bar</translation>
    </message>
    <message>
        <source>出力設定のバーの表示/非表示を切り替えます
出力バー</source>
        <translation>Shows or hides the output settings bar
Output Bar</translation>
    </message>
    <message>
        <source>ID3タグ設定バー(&amp;T)</source>
        <translation>Ta&amp;g Bar</translation>
    </message>
    <message>
        <source>タグのバーの表示/非表示を切り替えます
タグバー</source>
        <translation>Shows or hides the tag bar
Tag Bar</translation>
    </message>
    <message>
        <source>音声モニターバー(&amp;M)</source>
        <translation>&amp;Monitor Bar</translation>
    </message>
    <message>
        <source>モニターのバーの表示/非表示を切り替えます
モニターバー</source>
        <translation>Shows or hides the monitor bar
Monitor Bar</translation>
    </message>
    <message>
        <source>音量表示バー(&amp;V)</source>
        <translation>Le&amp;vel Bar</translation>
    </message>
    <message>
        <source>レベルメーターの表示/非表示を切り替えます
レベルバー</source>
        <translation>Shows or hides the level meters
Level Bar</translation>
    </message>
    <message>
        <source>ステータスバー(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>ステータスバーの表示/非表示を切り替えます
ステータスバー</source>
        <translation>Shows or hides the status bar
Status Bar</translation>
    </message>
    <message>
        <source>ログ(&amp;L)...</source>
        <translation>&amp;Log...</translation>
    </message>
    <message>
        <source>録音の開始・停止、トラック、問題の記録（ログ）を表示します
ログ</source>
        <translation>Shows the record of starts, stops, tracks and problems (the log)
Log</translation>
    </message>
    <message>
        <source>ヘルプファイルを開く(&amp;H)</source>
        <translation>&amp;Help Contents</translation>
    </message>
    <message>
        <source>ヘルプを開きます
ヘルプ</source>
        <translation>Opens the manual
Help</translation>
    </message>
    <message>
        <source>アップデート情報(&amp;U)</source>
        <translation>&amp;Updates</translation>
    </message>
    <message>
        <source>アップデート情報のページを開きます
アップデート</source>
        <translation>Opens the page about updates
Updates</translation>
    </message>
    <message>
        <source>オンラインマニュアル(&amp;O)</source>
        <translation>&amp;Online Manual</translation>
    </message>
    <message>
        <source>オンラインマニュアルを開きます
マニュアル</source>
        <translation>Opens the online manual
Manual</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)...</source>
        <translation>&amp;About Velsona...</translation>
    </message>
    <message>
        <source>プログラムの情報、バージョン、使用しているライブラリを表示します
バージョン</source>
        <translation>Shows the program&apos;s information, its version and the libraries it uses
About</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>録音(&amp;R)</source>
        <translation>&amp;Record</translation>
    </message>
    <message>
        <source>リスト(&amp;L)</source>
        <translation>&amp;List</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
</context>
<context>
    <name>RecordingItems</name>
    <message>
        <source>ファイル名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>サイズ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>時間 [ 日付 ]</source>
        <translation>Length [ Date ]</translation>
    </message>
    <message>
        <source>タイトル</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>アーティスト (アルバム)</source>
        <translation>Artist (Album)</translation>
    </message>
    <message>
        <source>音質</source>
        <translation>Quality</translation>
    </message>
</context>
<context>
    <name>WindowProgram</name>
    <message>
        <source>録音を開始する日時（20:00 以降に 06:00 より前の時刻を指定すると翌日）</source>
        <translation>when to start (a time before 06:00 given after 20:00 means tomorrow)</translation>
    </message>
    <message>
        <source>録音した時間がこの長さに達したら停止します</source>
        <translation>stop after this much recorded time</translation>
    </message>
    <message>
        <source>録音時間いっぱいまで録音したあとに実行するアクション</source>
        <translation>what follows a recording that ran its full duration</translation>
    </message>
    <message>
        <source>読み込むプリセット（省略時: (デフォルト設定)）</source>
        <translation>the preset to load (default: the default settings)</translation>
    </message>
    <message>
        <source>この説明、またはバージョン・モジュール・マニュアルを表示して終了します</source>
        <translation>print this, or the version, modules and manual, and exit</translation>
    </message>
    <message>
        <source>使い方: velsona [/S 開始] [/T 録音時間] [/E 終了時のアクション] [/P プリセット]</source>
        <translation>Usage: velsona [/S start] [/T duration] [/E action] [/P preset]</translation>
    </message>
    <message>
        <source>録音機のウィンドウを開きます。/S、/T、/E を付けるとすぐに録音を始めます。</source>
        <translation>Opens the recorder&apos;s window; with /S, /T or /E it starts recording at once.</translation>
    </message>
    <message>
        <source>音声は PulseAudio（または ALSA）から録音します。VELSONA_CAPTURE=signal:SPEC でテスト信号を録音します。</source>
        <translation>Audio comes from PulseAudio (or ALSA); VELSONA_CAPTURE=signal:SPEC records a test signal.</translation>
    </message>
    <message>
        <source>設定: ~/.config/MORV/VelsonaF.conf。ウィンドウなしで録音するには velsona-rec を使います。</source>
        <translation>Settings: ~/.config/MORV/VelsonaF.conf. velsona-rec records without a window.</translation>
    </message>
    <message>
        <source>見つかりません</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>マニュアル: %1</source>
        <translation>Manual: %1</translation>
    </message>
</context>
</TS>
