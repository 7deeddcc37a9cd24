<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>ActivityLog</name>
    <message>
        <source>録音時間に達しました。</source>
        <translation>The duration is reached.</translation>
    </message>
    <message>
        <source>トラックを閉じました。</source>
        <translation>The track was closed.</translation>
    </message>
    <message>
        <source>録音を停止しました。</source>
        <translation>The recording stopped.</translation>
    </message>
    <message>
        <source>トラックを開きました。</source>
        <translation>A track was opened.</translation>
    </message>
    <message>
        <source>音声のないトラックを削除しました。</source>
        <translation>A track without audio was removed.</translation>
    </message>
    <message>
        <source>ファイルへの書き込みに失敗しました。</source>
        <translation>Writing to the file failed.</translation>
    </message>
    <message>
        <source>次のトラックを開けませんでした。</source>
        <translation>The next track could not be opened.</translation>
    </message>
    <message>
        <source>録音デバイスからの入力が途絶えました。</source>
        <translation>The input from the recording device was lost.</translation>
    </message>
    <message>
        <source>録音デバイスからの入力が終了しました。</source>
        <translation>The input from the recording device came to its end.</translation>
    </message>
    <message>
        <source>トラックを仕上げられませんでした。</source>
        <translation>The track could not be finished.</translation>
    </message>
    <message>
        <source>入力が途絶え、戻るのを待っています。</source>
        <translation>The input was lost; waiting for it to return.</translation>
    </message>
    <message>
        <source>入力をもう一度開けませんでした。</source>
        <translation>The input could not be opened again.</translation>
    </message>
    <message>
        <source>入力が戻りました。</source>
        <translation>The input returned.</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>error</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>情報</source>
        <translation>info</translation>
    </message>
    <message>
        <source>ログファイル %1 に書き込めません（%2）。録音は続けます。</source>
        <translation>cannot write to the log file %1 (%2); the recording goes on</translation>
    </message>
    <message>
        <source>イベント %1</source>
        <translation>Event %1</translation>
    </message>
    <message>
        <source>イベント %1: %2</source>
        <translation>Event %1: %2</translation>
    </message>
    <message>
        <source>前回終了しきれなかった録音 %1 が見つかりません。</source>
        <translation>The recording %1 left unfinished last time cannot be found.</translation>
    </message>
    <message>
        <source>前回終了しきれなかった録音 %1 は音声がないため削除しました。</source>
        <translation>The recording %1 left unfinished last time held no audio and was removed.</translation>
    </message>
    <message>
        <source>前回終了しきれなかった録音 %1 に名前を付けられませんでした。</source>
        <translation>The recording %1 left unfinished last time could not be renamed.</translation>
    </message>
    <message>
        <source>前回終了しきれなかった録音 %1 を仕上げ、次の名前で保存しました: %2（タグを書き込めませんでした）</source>
        <translation>The recording %1 left unfinished last time was finished and saved as: %2 (the tags could not be written)</translation>
    </message>
    <message>
        <source>前回終了しきれなかった録音 %1 を仕上げ、次の名前で保存しました: %2</source>
        <translation>The recording %1 left unfinished last time was finished and saved as: %2</translation>
    </message>
    <message>
        <source>古い録音を削除しました。</source>
        <translation>An old recording was removed.</translation>
    </message>
    <message>
        <source>古い録音の削除で空きを作れませんでした。</source>
        <translation>Removing old recordings could not make the room.</translation>
    </message>
    <message>
        <source>トラックの音を測りました。</source>
        <translation>Measured how the track sounded.</translation>
    </message>
    <message>
        <source>録音の音を測りました。</source>
        <translation>Measured how the recording sounded.</translation>
    </message>
</context>
<context>
    <name>AlsaCapture</name>
    <message>
        <source>ALSA デバイス「%1」を開けません: %2</source>
        <translation>cannot open ALSA device &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>ALSA デバイス「%1」を開けません: %2（ALSA: %3）</source>
        <translation>cannot open ALSA device &quot;%1&quot;: %2 (ALSA: %3)</translation>
    </message>
    <message>
        <source>ALSA デバイス「%1」はこの録音形式を受け付けません: %2</source>
        <translation>ALSA device &quot;%1&quot; does not take this format: %2</translation>
    </message>
    <message>
        <source>ALSA デバイスでエラーが発生しました: %1</source>
        <translation>the ALSA device failed: %1</translation>
    </message>
</context>
<context>
    <name>AudioFile</name>
    <message>
        <source>読み込むファイルが渡されていません</source>
        <translation>no file to attach</translation>
    </message>
    <message>
        <source>ファイルが開かれていません</source>
        <translation>no file is open</translation>
    </message>
    <message>
        <source>%1 の音声ファイルではありません</source>
        <translation>the file is not %1 audio</translation>
    </message>
    <message>
        <source>ストリームがまだ始まっていません</source>
        <translation>the stream has not begun</translation>
    </message>
    <message>
        <source>%1 の %2 タグを書き込めませんでした: %3</source>
        <translation>the %2 tags of %1 could not be written: %3</translation>
    </message>
    <message>
        <source>音声が長すぎて RIFF ファイルに収まりません</source>
        <translation>the audio is too long for a RIFF file</translation>
    </message>
</context>
<context>
    <name>AudioReader</name>
    <message>
        <source>%1 を読めません: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>デコードがまだ始まっていません</source>
        <translation>decoding has not begun</translation>
    </message>
    <message>
        <source>音声にその時刻はありません</source>
        <translation>no such time in the audio</translation>
    </message>
</context>
<context>
    <name>AudioWriter</name>
    <message>
        <source>書き込むファイルが開かれていません</source>
        <translation>the writer has no file open</translation>
    </message>
    <message>
        <source>ストリームはもう始まっています</source>
        <translation>the stream has begun already</translation>
    </message>
    <message>
        <source>エンコーダーが受け付けるのは 16 ビットのモノラルかステレオだけです</source>
        <translation>the encoder takes 16-bit mono or stereo only</translation>
    </message>
    <message>
        <source>この形式はオプションレコードを受け付けません</source>
        <translation>this writer takes no option record</translation>
    </message>
    <message>
        <source>書き込みが開かれていません</source>
        <translation>the writer is not open</translation>
    </message>
    <message>
        <source>%1 にはすでにデータがあります</source>
        <translation>%1 already holds data</translation>
    </message>
</context>
<context>
    <name>BarModel</name>
    <message>
        <source>整数を入力してください。</source>
        <translation>Please enter a whole number.</translation>
    </message>
</context>
<context>
    <name>CControlLink</name>
    <message>
        <source>録音デバイスからの入力が終了しました。</source>
        <translation>The input from the recording device has ended.</translation>
    </message>
</context>
<context>
    <name>CFileBar</name>
    <message>
        <source>(デフォルト設定)</source>
        <translation>(Default settings)</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>編集</source>
        <translation>Edit…</translation>
    </message>
    <message>
        <source>録音プリセット：</source>
        <translation>Recording preset:</translation>
    </message>
    <message>
        <source>出力先フォルダ：</source>
        <translation>Output folder:</translation>
    </message>
    <message>
        <source>保存ファイル名：</source>
        <translation>File name:</translation>
    </message>
</context>
<context>
    <name>CFileNameDlg</name>
    <message>
        <source>%RCN% → [収録No]</source>
        <translation>%RCN% → [Recording No.]</translation>
    </message>
    <message>
        <source>%TKN% → [トラックNo]</source>
        <translation>%TKN% → [Track No.]</translation>
    </message>
    <message>
        <source>%TLN% → [トラック時間]</source>
        <translation>%TLN% → [Track length]</translation>
    </message>
    <message>
        <source>%STM% → [開始時間]</source>
        <translation>%STM% → [Start time]</translation>
    </message>
    <message>
        <source>%ETM% → [終了時間]</source>
        <translation>%ETM% → [End time]</translation>
    </message>
    <message>
        <source>%TDY% → [本日日付]</source>
        <translation>%TDY% → [Today&apos;s date]</translation>
    </message>
    <message>
        <source>%SNW% → [開始時刻]</source>
        <translation>%SNW% → [Start clock time]</translation>
    </message>
    <message>
        <source>%ENW% → [終了時刻]</source>
        <translation>%ENW% → [End clock time]</translation>
    </message>
    <message>
        <source>ファイル名編集設定</source>
        <translation>Edit File Name</translation>
    </message>
    <message>
        <source>ファイル名：（拡張子は除く）</source>
        <translation>File name (without extension):</translation>
    </message>
    <message>
        <source>ファイル名（拡張子は除く）</source>
        <translation>File name (without extension)</translation>
    </message>
    <message>
        <source> %組込み文字% </source>
        <translation> %Tokens% </translation>
    </message>
    <message>
        <source>その他の%組込み文字%</source>
        <translation>More %tokens%</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>※以下の %組込み文字% も利用可能です。<byte value="xd"/>
<byte value="xd"/>
%TKN2% → [トラックNo]の２桁版 [例:01]<byte value="xd"/>
%STM2% → [開始時間]の時分秒版 [例:03：15：32]<byte value="xd"/>
%ETM2% → [終了時間]の時分秒版 [例:05：21：48]<byte value="xd"/>
%TLN2% → [トラック時間]の時分秒版 [例:05：21：48]<byte value="xd"/>
%TDY2% → [本日日付]の年2桁版 [例:03-09-25]<byte value="xd"/>
</source>
        <translation>* These %tokens% can be used as well:<byte value="xd"/>
<byte value="xd"/>
%TKN2% → [Track No.] with two digits [e.g. 01]<byte value="xd"/>
%STM2% → [Start time] as hours, minutes and seconds [e.g. 03:15:32]<byte value="xd"/>
%ETM2% → [End time] as hours, minutes and seconds [e.g. 05:21:48]<byte value="xd"/>
%TLN2% → [Track length] as hours, minutes and seconds [e.g. 05:21:48]<byte value="xd"/>
%TDY2% → [Today&apos;s date] with a two-digit year [e.g. 03-09-25]<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>CInputBar</name>
    <message>
        <source>入力デバイス：</source>
        <translation>Input device:</translation>
    </message>
    <message>
        <source>入力形式：</source>
        <translation>Input format:</translation>
    </message>
</context>
<context>
    <name>CItemsTableModel</name>
    <message>
        <source>クリップしています</source>
        <translation>Clipped</translation>
    </message>
</context>
<context>
    <name>CKeepRecordingsDlg</name>
    <message>
        <source>古い録音の削除</source>
        <translation>Remove Old Recordings</translation>
    </message>
    <message>
        <source>録音が終わるたびと録音の開始時に、この録音機が録音し、その後変更されていない出力先フォルダのファイルを古いものから削除します。ほかのファイル、名前を変えたり編集したりしたファイル、録音中のファイルには触れません。</source>
        <translation>At the start of a recording and each time a track closes, the oldest files this recorder recorded in the output folder, unchanged since, are removed. Other files, files renamed or edited and the track being recorded are never touched.</translation>
    </message>
    <message>
        <source> 日</source>
        <translation> days</translation>
    </message>
    <message>
        <source>削除しない</source>
        <translation>Do not remove</translation>
    </message>
    <message>
        <source>録音を残す日数</source>
        <translation>Days recordings are kept</translation>
    </message>
    <message>
        <source>録音を残す日数(&amp;D):</source>
        <translation>&amp;Days kept:</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
    </message>
    <message>
        <source>空けておく容量 (GB)</source>
        <translation>Room kept free (GB)</translation>
    </message>
    <message>
        <source>空けておく容量(&amp;F):</source>
        <translation>Room kept &amp;free:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CLevelBar</name>
    <message>
        <source>音量表示バー</source>
        <translation>Level bar</translation>
    </message>
    <message>
        <source>単位：dB</source>
        <translation>Unit: dB</translation>
    </message>
</context>
<context>
    <name>CLogWindow</name>
    <message>
        <source>ログ - %1</source>
        <translation>Log - %1</translation>
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
    <message>
        <source>［%1］メニューの「%2」</source>
        <translation>“%2” in the %1 menu</translation>
    </message>
    <message>
        <source>%1

録音を停止しました。入力が戻ったときに録音を続けるには、%2をオンにしてください。</source>
        <translation>%1

The recording has stopped. To go on recording when the input returns, turn on %2.</translation>
    </message>
    <message>
        <source>%1 から入力が戻るのを待っています（%2）</source>
        <translation>Waiting for the input to return since %1 (%2)</translation>
    </message>
    <message>
        <source>手で停止しました</source>
        <translation>Stopped by hand</translation>
    </message>
    <message>
        <source>音を待っています（無音の間は何も書き込みません）</source>
        <translation>Waiting for sound (nothing is written while it is silent)</translation>
    </message>
</context>
<context>
    <name>CMonitorBar</name>
    <message>
        <source>音声モニターバー</source>
        <translation>Audio monitor bar</translation>
    </message>
    <message>
        <source>録音全体の波形</source>
        <translation>Waveform of the whole recording</translation>
    </message>
    <message>
        <source>トラックの波形</source>
        <translation>Waveform of the track</translation>
    </message>
</context>
<context>
    <name>COutputBar</name>
    <message>
        <source>ファイル形式：</source>
        <translation>File format:</translation>
    </message>
    <message>
        <source>音質：</source>
        <translation>Quality:</translation>
    </message>
    <message>
        <source>OGG音質</source>
        <translation>OGG quality</translation>
    </message>
    <message>
        <source>トラック設定</source>
        <translation>Track settings</translation>
    </message>
    <message>
        <source>収録No：</source>
        <translation>Recording No.:</translation>
    </message>
    <message>
        <source>ﾄﾗｯｸNo：</source>
        <translation>Track No.:</translation>
    </message>
    <message>
        <source>分割方法：</source>
        <translation>Split method:</translation>
    </message>
    <message>
        <source>分割時間</source>
        <translation>Split time</translation>
    </message>
    <message>
        <source>音のあるときだけ録音(&amp;K)</source>
        <translation>Skip silence (&amp;K)</translation>
    </message>
    <message>
        <source>プリロール(&amp;J)：</source>
        <translation>Pre-roll (&amp;J):</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>無音が無音時間だけ続くとトラックを閉じ、音が戻るまで何も書きません。次のトラックは、音の前のプリロールの秒数から始まります</source>
        <translation>Once silence has lasted the silence time the track closes, and nothing is written until sound returns. The next track begins the pre-roll before the sound</translation>
    </message>
    <message>
        <source>音のあるときだけ録音</source>
        <translation>Skip silence</translation>
    </message>
    <message>
        <source>プリロール</source>
        <translation>Pre-roll</translation>
    </message>
    <message>
        <source>一定時間で分割するとき、トラックの区切りを午前0時から数えた間隔の倍数の時刻 (1時間なら毎正時) に合わせます。最初のトラックは次の区切りまでです</source>
        <translation>With splits at a fixed time, the track boundaries fall on multiples of the interval counted from midnight (an hour: every full hour). The first track ends at the next boundary</translation>
    </message>
    <message>
        <source>時計に合わせて分割(&amp;G)</source>
        <translation>Cut on the clock (&amp;G)</translation>
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
    <name>CScheduleDlg</name>
    <message>
        <source>録音スケジュール</source>
        <translation>Recording Schedule</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>予定</source>
        <translation>When</translation>
    </message>
    <message>
        <source>録音時間</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>次回の開始</source>
        <translation>Next start</translation>
    </message>
    <message>
        <source>前回の結果</source>
        <translation>Last result</translation>
    </message>
    <message>
        <source>スケジュールの一覧</source>
        <translation>Schedule entries</translation>
    </message>
    <message>
        <source>スケジュール(&amp;C):</source>
        <translation>S&amp;chedule:</translation>
    </message>
    <message>
        <source>追加(&amp;A)...</source>
        <translation>&amp;Add...</translation>
    </message>
    <message>
        <source>編集(&amp;E)...</source>
        <translation>&amp;Edit...</translation>
    </message>
    <message>
        <source>削除(&amp;D)</source>
        <translation>&amp;Remove</translation>
    </message>
    <message>
        <source>有効にする(&amp;N)</source>
        <translation>E&amp;nable</translation>
    </message>
    <message>
        <source>次の %1 回の開始</source>
        <translation>Next %1 starts</translation>
    </message>
    <message>
        <source>次の %1 回の開始(&amp;X):</source>
        <translation>Ne&amp;xt %1 starts:</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>無効</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>まだありません</source>
        <translation>None yet</translation>
    </message>
    <message>
        <source>無効にする(&amp;N)</source>
        <translation>Disa&amp;ble</translation>
    </message>
    <message>
        <source>スケジュール「%1」を削除しますか？</source>
        <translation>Remove the schedule entry “%1”?</translation>
    </message>
</context>
<context>
    <name>CScheduleEntryDlg</name>
    <message>
        <source>月</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>月曜日</source>
        <translation>Monday</translation>
    </message>
    <message>
        <source>火</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>火曜日</source>
        <translation>Tuesday</translation>
    </message>
    <message>
        <source>水</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>水曜日</source>
        <translation>Wednesday</translation>
    </message>
    <message>
        <source>木</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>木曜日</source>
        <translation>Thursday</translation>
    </message>
    <message>
        <source>金</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>金曜日</source>
        <translation>Friday</translation>
    </message>
    <message>
        <source>土</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>土曜日</source>
        <translation>Saturday</translation>
    </message>
    <message>
        <source>日</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>日曜日</source>
        <translation>Sunday</translation>
    </message>
    <message>
        <source>スケジュールの追加</source>
        <translation>Add Schedule Entry</translation>
    </message>
    <message>
        <source>スケジュールの編集</source>
        <translation>Edit Schedule Entry</translation>
    </message>
    <message>
        <source>名前(&amp;N):</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>1 回だけ(&amp;O)</source>
        <translation>&amp;Once</translation>
    </message>
    <message>
        <source>毎日(&amp;Y)</source>
        <translation>Dail&amp;y</translation>
    </message>
    <message>
        <source>毎週(&amp;W)</source>
        <translation>&amp;Weekly</translation>
    </message>
    <message>
        <source>繰り返し:</source>
        <translation>Repeat:</translation>
    </message>
    <message>
        <source>日付(&amp;D):</source>
        <translation>&amp;Date:</translation>
    </message>
    <message>
        <source>曜日:</source>
        <translation>Days:</translation>
    </message>
    <message>
        <source>開始時刻(&amp;S):</source>
        <translation>&amp;Start time:</translation>
    </message>
    <message>
        <source>分</source>
        <translation>min</translation>
    </message>
    <message>
        <source>録音時間(&amp;L):</source>
        <translation>&amp;Length:</translation>
    </message>
    <message>
        <source>録音プリセット(&amp;P):</source>
        <translation>&amp;Preset:</translation>
    </message>
    <message>
        <source>何もしない</source>
        <translation>Nothing</translation>
    </message>
    <message>
        <source>録音終了時(&amp;E):</source>
        <translation>At the &amp;end:</translation>
    </message>
    <message>
        <source>このスケジュールを実行する(&amp;R)</source>
        <translation>&amp;Run this entry</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CTagBar</name>
    <message>
        <source>ID3タグ設定</source>
        <translation>ID3 tag settings</translation>
    </message>
    <message>
        <source>タイトル・曲名：</source>
        <translation>Title:</translation>
    </message>
    <message>
        <source>コメント：</source>
        <translation>Comment:</translation>
    </message>
    <message>
        <source>歌手・作者：</source>
        <translation>Artist:</translation>
    </message>
    <message>
        <source>アルバム：</source>
        <translation>Album:</translation>
    </message>
    <message>
        <source>リリース年：</source>
        <translation>Year:</translation>
    </message>
    <message>
        <source>ラウドネスタグ(&amp;D)</source>
        <translation>Lou&amp;dness tags</translation>
    </message>
    <message>
        <source>閉じたトラックのラウドネス (EBU R128) を測り、再生ソフトが同じ音量で再生するためのタグを書き込みます (MP3・Ogg Vorbis・FLAC・WMA は ReplayGain、Opus は R128_TRACK_GAIN)。WAV には書き込みません。</source>
        <translation>Measures each closed track&apos;s loudness (EBU R128) and writes the tags players use to play it at the same loudness (ReplayGain for MP3, Ogg Vorbis, FLAC and WMA; R128_TRACK_GAIN for Opus). WAV gets none.</translation>
    </message>
    <message>
        <source>ラウドネスタグ</source>
        <translation>Loudness tags</translation>
    </message>
</context>
<context>
    <name>CWaveScope</name>
    <message>
        <source>オシロスコープ</source>
        <translation>Oscilloscope</translation>
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
    <name>CaptureBackend</name>
    <message>
        <source>入力デバイス %1 はありません</source>
        <translation>no capture device %1</translation>
    </message>
    <message>
        <source>録音方式「%1」はありません（pulse、alsa、signal:&lt;仕様&gt; のいずれか）</source>
        <translation>unknown capture backend &quot;%1&quot; (use pulse, alsa or signal:&lt;spec&gt;)</translation>
    </message>
</context>
<context>
    <name>CaptureStream</name>
    <message>
        <source>録音形式 %1 Hz、%2 チャンネル、%3 ビットには対応していません</source>
        <translation>unsupported capture format %1 Hz, %2 channels, %3 bits</translation>
    </message>
    <message>
        <source>録音バッファがあふれ、音声が失われました</source>
        <translation>capture buffer overrun: audio was lost</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 (値がありません)</source>
        <translation>%1 without a value</translation>
    </message>
    <message>
        <source>正の MS=90:00 または HMS=1:30:00</source>
        <translation>a positive MS=90:00 or HMS=1:30:00</translation>
    </message>
    <message>
        <source>exit、suspend、hibernate、shutdown のいずれか</source>
        <translation>exit, suspend, hibernate or shutdown</translation>
    </message>
    <message>
        <source>プリセット名</source>
        <translation>a preset name</translation>
    </message>
    <message>
        <source>/S、/T、/E、/P とそれぞれの値</source>
        <translation>/S, /T, /E or /P, each followed by its value</translation>
    </message>
    <message>
        <source>%1 は無視します (%2 を指定してください)</source>
        <translation>%1 is ignored (expected %2)</translation>
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
        <translation>Recording Sc&amp;hedule</translation>
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
    <message>
        <source>決まった日時に繰り返す録音の予定を表示・編集します
スケジュール</source>
        <translation>Shows and edits the recordings made at set times
Schedule</translation>
    </message>
    <message>
        <source>古い録音の削除(&amp;K)...</source>
        <translation>Remove Old Rec&amp;ordings...</translation>
    </message>
    <message>
        <source>古い録音を何日残すか、ディスクの空きをどれだけ保つかを設定します
古い録音</source>
        <translation>Sets how many days old recordings are kept and how much room the disk keeps free
Old recordings</translation>
    </message>
</context>
<context>
    <name>Countdown</name>
    <message>
        <source>%1日と%2時間%3分%4秒</source>
        <translation>%1 d %2 h %3 min %4 s</translation>
    </message>
    <message>
        <source>%1時間%2分%3秒</source>
        <translation>%1 h %2 min %3 s</translation>
    </message>
    <message>
        <source>%1分%2秒</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 !録音開始[%2]まで[%3] </source>
        <translation>%1 !Recording starts [%2] in [%3] </translation>
    </message>
</context>
<context>
    <name>DesktopNotice</name>
    <message>
        <source>セッションバスに届きません: %1</source>
        <translation>the session bus cannot be reached: %1</translation>
    </message>
    <message>
        <source>%1</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>デスクトップ通知を送れません: %1</source>
        <translation>no desktop notification could be sent: %1</translation>
    </message>
</context>
<context>
    <name>DiskSpace</name>
    <message>
        <source>%1 に予備の領域を確保できません: %2</source>
        <translation>cannot reserve space in %1: %2</translation>
    </message>
    <message>
        <source>%1 の空き容量を測れません: %2</source>
        <translation>cannot measure the free space of %1: %2</translation>
    </message>
</context>
<context>
    <name>EndAction</name>
    <message>
        <source>アプリの終了</source>
        <translation>Exit the program</translation>
    </message>
    <message>
        <source>スタンバイ状態</source>
        <translation>Standby</translation>
    </message>
    <message>
        <source>ＰＣ電源断</source>
        <translation>Power off</translation>
    </message>
    <message>
        <source>休止状態</source>
        <translation>Hibernation</translation>
    </message>
</context>
<context>
    <name>FileBarModel</name>
    <message>
        <source>出力フォルダを選択して下さい</source>
        <translation>Choose the output folder</translation>
    </message>
</context>
<context>
    <name>FileNameTemplate</name>
    <message>
        <source>ファイル名テンプレートの「.」「..」は出力先フォルダの外を指すため、「．」「．．」として保存します: %1</source>
        <translation>&quot;.&quot; and &quot;..&quot; in the file-name template point outside the output folder, so they are saved as full-width dots: %1</translation>
    </message>
    <message>
        <source>出力先フォルダの「\」はフォルダの区切りとして扱い、次のフォルダに保存します: %1</source>
        <translation>&quot;\&quot; in the output folder is taken as a folder separator; the recording is saved in this folder: %1</translation>
    </message>
</context>
<context>
    <name>FileStream</name>
    <message>
        <source>%1</source>
        <translation>%1</translation>
    </message>
</context>
<context>
    <name>FlacReader</name>
    <message>
        <source>libFLAC がファイルのメタデータを読めません</source>
        <translation>libFLAC cannot read the file&apos;s metadata</translation>
    </message>
</context>
<context>
    <name>FlacTagFile</name>
    <message>
        <source>FLAC のコメントを読めません</source>
        <translation>the FLAC comments cannot be read</translation>
    </message>
</context>
<context>
    <name>FlacWriter</name>
    <message>
        <source>FLAC のレベルは 0 から 8 までです</source>
        <translation>FLAC levels go from 0 to 8</translation>
    </message>
    <message>
        <source>libFLAC がこの設定を受け付けませんでした</source>
        <translation>libFLAC refused these settings</translation>
    </message>
    <message>
        <source>libFLAC が音声を受け付けませんでした</source>
        <translation>libFLAC refused the audio</translation>
    </message>
    <message>
        <source>libFLAC がストリームを終えられませんでした</source>
        <translation>libFLAC could not end the stream</translation>
    </message>
</context>
<context>
    <name>FormatConverter</name>
    <message>
        <source>変換の先にファイルの書き手がありません</source>
        <translation>no writer behind the converter</translation>
    </message>
    <message>
        <source>変換できるのは 16 ビットのモノラルかステレオだけです</source>
        <translation>the converter takes 16-bit mono or stereo only</translation>
    </message>
</context>
<context>
    <name>HeadlessRecorder</name>
    <message>
        <source>任意のレート、モノラルまたはステレオ、8 または 16 ビット</source>
        <translation>any rate, mono or stereo, 8 or 16 bit</translation>
    </message>
    <message>
        <source>使える形式がありません</source>
        <translation>no usable format</translation>
    </message>
    <message>
        <source>音声入力の方式を使えません: %1</source>
        <translation>no capture backend: %1</translation>
    </message>
    <message>
        <source>プリセット「%1」はありません (--create-preset を付けると既定値から作ります)</source>
        <translation>there is no preset &quot;%1&quot; (--create-preset makes it from the default values)</translation>
    </message>
    <message>
        <source>プリセット: %1、出力: %2、フォルダ: %3</source>
        <translation>Preset: %1; output: %2; folder: %3</translation>
    </message>
    <message>
        <source>%1 は開始時刻ではありません (%2)。録音を始めません</source>
        <translation>%1 is not a start time (%2); not starting</translation>
    </message>
    <message>
        <source>入力デバイス (%1):</source>
        <translation>Input devices (%1):</translation>
    </message>
    <message>
        <source>velsona-rec: 確認中</source>
        <translation>velsona-rec: checking</translation>
    </message>
    <message>
        <source>注意: スリープを止められません (%1)。録音中にマシンがサスペンドするかもしれません</source>
        <translation>note: no sleep inhibitor (%1); the machine may suspend during the recording</translation>
    </message>
    <message>
        <source>%1 の録音開始を待っています (Ctrl+C で取り消します)</source>
        <translation>Waiting to start at %1 (Ctrl+C cancels)</translation>
    </message>
    <message>
        <source>%1 の録音開始を待っています</source>
        <translation>Waiting to start at %1</translation>
    </message>
    <message>
        <source>開始前に取り消しました</source>
        <translation>Cancelled before the start</translation>
    </message>
    <message>
        <source>開始前に取り消しました。</source>
        <translation>Cancelled before the start.</translation>
    </message>
    <message>
        <source>録音中: %1 (Ctrl+C で停止します)</source>
        <translation>Recording: %1 (Ctrl+C stops)</translation>
    </message>
    <message>
        <source>録音中: %1</source>
        <translation>Recording: %1</translation>
    </message>
    <message>
        <source>注意: systemd-logind がスリープを止めるロックを認めませんでした</source>
        <translation>note: systemd-logind did not grant the sleep inhibitor lock</translation>
    </message>
    <message>
        <source>停止しています…</source>
        <translation>Stopping…</translation>
    </message>
    <message>
        <source>停止しています</source>
        <translation>Stopping</translation>
    </message>
    <message>
        <source>停止しました: トラック %1 個。</source>
        <translation>Stopped: %1 track(s).</translation>
    </message>
    <message>
        <source>停止しました: トラック %1 個</source>
        <translation>Stopped: %1 track(s)</translation>
    </message>
    <message>
        <source>取り込みの層で音声が %1 回欠けました (オーバーラン)</source>
        <translation>the capture layer dropped audio %1 time(s) (overruns)</translation>
    </message>
    <message>
        <source>録音時間に達しました。</source>
        <translation>The duration is reached.</translation>
    </message>
    <message>
        <source>入力が終わりました。</source>
        <translation>The input came to its end.</translation>
    </message>
    <message>
        <source>%1 から入力を待っています</source>
        <translation>Waiting for the input since %1</translation>
    </message>
    <message>
        <source>オーバーラン %1</source>
        <translation>overruns %1</translation>
    </message>
    <message>
        <source>トラックのファイル: %1 (%2)</source>
        <translation>Track file: %1 (%2)</translation>
    </message>
    <message>
        <source>トラックのファイル: %1 (%2、%3)</source>
        <translation>Track file: %1 (%2, %3)</translation>
    </message>
    <message>
        <source>終了時の動作: %1</source>
        <translation>End action: %1</translation>
    </message>
    <message>
        <source>スケジュール「%1」が録音を始めます (予定 %2 から %3 まで、録音時間 %4)</source>
        <translation>The schedule entry &quot;%1&quot; starts recording (planned from %2 to %3; recording %4)</translation>
    </message>
    <message>
        <source>--schedule-run はスケジュールの指定 (/S /T /E /P) を取りません</source>
        <translation>--schedule-run takes no schedule words (/S /T /E /P)</translation>
    </message>
    <message>
        <source>%1 の開始を逃し、終わりの %2 も過ぎたので何も録音しません</source>
        <translation>the start at %1 was missed and its end at %2 has passed too: nothing is recorded</translation>
    </message>
    <message>
        <source>トラック %1 個</source>
        <translation>%1 track(s)</translation>
    </message>
    <message>
        <source>何も録音されませんでした</source>
        <translation>nothing was recorded</translation>
    </message>
    <message>
        <source>音を待っています</source>
        <translation>Waiting for sound</translation>
    </message>
</context>
<context>
    <name>Id3v2Tag</name>
    <message>
        <source>そのような ID3v2 の文字コードはありません</source>
        <translation>no such ID3v2 text encoding</translation>
    </message>
</context>
<context>
    <name>InputBarModel</name>
    <message>
        <source>%1 (標準)</source>
        <translation>%1 (default)</translation>
    </message>
    <message>
        <source>%1 Hz / モノラル / %2 bit</source>
        <translation>%1 Hz / Mono / %2 bit</translation>
    </message>
    <message>
        <source>%1 Hz / ステレオ / %2 bit</source>
        <translation>%1 Hz / Stereo / %2 bit</translation>
    </message>
</context>
<context>
    <name>LameLibrary</name>
    <message>
        <source>%1.so を読み込めません: %2</source>
        <translation>%1.so: %2</translation>
    </message>
    <message>
        <source>%1.so に %2 がありません</source>
        <translation>%1.so lacks %2</translation>
    </message>
</context>
<context>
    <name>Logind</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>D-Bus のアドレスがありません</source>
        <translation>no D-Bus address given</translation>
    </message>
</context>
<context>
    <name>LoudnessMeter</name>
    <message>
        <source>デコードした音声の形式を測れません</source>
        <translation>the decoded audio is in a form that cannot be measured</translation>
    </message>
    <message>
        <source>ラウドネスの計測に失敗しました</source>
        <translation>the loudness could not be measured</translation>
    </message>
    <message>
        <source>短すぎるか無音のため、ラウドネスを測れません</source>
        <translation>it is too short or silent to measure its loudness</translation>
    </message>
</context>
<context>
    <name>ModuleReport</name>
    <message>
        <source>%1.so: 読み込まれていません (%2)</source>
        <translation>%1.so: not loaded (%2)</translation>
    </message>
    <message>
        <source>%1 %2
Copyright (C) 2026 Velsona maintainers
ライセンス GPLv3+: GNU GPL バージョン 3 またはそれ以降 &lt;https://gnu.org/licenses/gpl.html&gt;。
これはフリーソフトウェアです。自由に変更し、再配布できます。
法律で認められる範囲で、一切の保証はありません。
モジュール:
</source>
        <translation>%1 %2
Copyright (C) 2026 Velsona maintainers
License GPLv3+: GNU GPL version 3 or later &lt;https://gnu.org/licenses/gpl.html&gt;.
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
Modules:
</translation>
    </message>
</context>
<context>
    <name>Mp3Reader</name>
    <message>
        <source>libmpg123 がデコーダーを作れません</source>
        <translation>libmpg123 cannot make a decoder</translation>
    </message>
    <message>
        <source>libmpg123 がストリームの形式を受け付けません</source>
        <translation>libmpg123 refuses the stream&apos;s format</translation>
    </message>
    <message>
        <source>libmpg123 がデコードをやり直せません</source>
        <translation>libmpg123 cannot start again</translation>
    </message>
</context>
<context>
    <name>Mp3TagFile</name>
    <message>
        <source>ID3v2 タグを作れません</source>
        <translation>the ID3v2 tag cannot be built</translation>
    </message>
    <message>
        <source>MP3 のコンテナが選ばれていません</source>
        <translation>no MP3 container chosen</translation>
    </message>
</context>
<context>
    <name>Mp3Writer</name>
    <message>
        <source>LAME の設定レコードは 331 バイトです</source>
        <translation>the LAME configuration record is 331 bytes</translation>
    </message>
    <message>
        <source>LAME エンコーダーモジュールが読み込まれていません</source>
        <translation>the LAME encoder module is not loaded</translation>
    </message>
    <message>
        <source>LAME エンコーダーが設定を受け付けませんでした (エラー %1)</source>
        <translation>the LAME encoder refused the configuration (error %1)</translation>
    </message>
    <message>
        <source>LAME エンコーダーが音声を受け付けませんでした (エラー %1)</source>
        <translation>the LAME encoder refused the audio (error %1)</translation>
    </message>
    <message>
        <source>LAME エンコーダーがストリームを終えられませんでした (エラー %1)</source>
        <translation>the LAME encoder refused the end of the stream (error %1)</translation>
    </message>
</context>
<context>
    <name>OggPageOutput</name>
    <message>
        <source>ページを書き込むファイルがありません</source>
        <translation>no file to write the pages to</translation>
    </message>
    <message>
        <source>印を付ける完全なページがありません</source>
        <translation>no whole page to mark</translation>
    </message>
</context>
<context>
    <name>OggWriter</name>
    <message>
        <source>Ogg Vorbis のオプションレコードは 20 バイトです</source>
        <translation>an Ogg Vorbis option record is 20 bytes</translation>
    </message>
    <message>
        <source>libvorbis がこの設定を受け付けませんでした</source>
        <translation>libvorbis refused these settings</translation>
    </message>
    <message>
        <source>タグを Vorbis コメントにできませんでした</source>
        <translation>the tags could not be made Vorbis comments</translation>
    </message>
</context>
<context>
    <name>OpusWriter</name>
    <message>
        <source>libopusenc がこの設定を受け付けませんでした</source>
        <translation>libopusenc refused these settings</translation>
    </message>
    <message>
        <source>Opus にはサンプリングレートとビットレートが必要です</source>
        <translation>Opus needs a sample rate and a bitrate</translation>
    </message>
    <message>
        <source>libopusenc が音声を受け付けませんでした</source>
        <translation>libopusenc refused the audio</translation>
    </message>
    <message>
        <source>libopusenc がストリームを書き終えられませんでした</source>
        <translation>libopusenc could not drain the stream</translation>
    </message>
</context>
<context>
    <name>OutputBarModel</name>
    <message>
        <source>MP3エンコードライブラリ「lame_enc.so」を読み込めません。
（MP3形式の出力にはLAMEエンコードライブラリが必要です）

%1
インストールした後、一旦ソフトを終了し、ソフトウェアを再起動させてください。</source>
        <translation>The MP3 encoder library “lame_enc.so” cannot be loaded.
(MP3 output needs the LAME encoder library.)

%1
After installing it, quit the program and start it again.</translation>
    </message>
    <message>
        <source>MP3エンコードライブラリ「LAME_ENC.DLL」がインストールされていません。<byte value="xd"/>
（MP3形式の出力には別途LAMEエンコードライブラリが必要です）<byte value="xd"/>

ダウンロードしますか？</source>
        <translation>The MP3 encoder library “LAME_ENC.DLL” is not installed.<byte value="xd"/>
(MP3 output needs the LAME encoder library, installed separately.)<byte value="xd"/>

Download it?</translation>
    </message>
    <message>
        <source>lame_enc39?.exeを実行しインストールを行ってください
MP3を有効にするにはその後一旦ソフトを終了し、
ソフトウェアを再起動させてください。

%1</source>
        <translation>Run lame_enc39?.exe to install it.
To use MP3, then quit the program
and start it again.

%1</translation>
    </message>
    <message>
        <source>このLinux環境では、パッケージ libmp3lame0 (sudo apt-get install libmp3lame0) と、プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある lame_enc.so が必要です。</source>
        <translation>On this Linux system, the package libmp3lame0 (sudo apt-get install libmp3lame0) and lame_enc.so in the program&apos;s folder (or the installed modules folder) are needed.</translation>
    </message>
    <message>
        <source>WMAエンコードライブラリ「WMAENC.so」「WMADEC9.so」を読み込めません。
（WMA形式の出力にはFFmpegとTagLibのライブラリが必要です）

%1
インストールした後、一旦ソフトを終了し、ソフトウェアを再起動させてください。</source>
        <translation>The WMA encoder libraries “WMAENC.so” and “WMADEC9.so” cannot be loaded.
(WMA output needs the FFmpeg and TagLib libraries.)

%1
After installing them, quit the program and start it again.</translation>
    </message>
    <message>
        <source>WMAランタイムライブラリ「wmfdist8.exe」がインストールされていません。<byte value="xd"/>
（WMA形式の出力には別途WMAランタイムライブラリが必要です）<byte value="xd"/>

ダウンロードしますか？</source>
        <translation>The WMA runtime library “wmfdist8.exe” is not installed.<byte value="xd"/>
(WMA output needs the WMA runtime library, installed separately.)<byte value="xd"/>

Download it?</translation>
    </message>
    <message>
        <source>wmfdist8.exeを実行しインストールを行ってください
WMAを有効にするにはその後一旦ソフトを終了し、
ソフトウェアを再起動させてください。

%1</source>
        <translation>Run wmfdist8.exe to install it.
To use WMA, then quit the program
and start it again.

%1</translation>
    </message>
    <message>
        <source>このLinux環境では、パッケージ libavcodec59 libavformat59 libtag1v5 (sudo apt-get install libavcodec59 libavformat59 libtag1v5) と、プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある WMAENC.so と WMADEC9.so が必要です。</source>
        <translation>On this Linux system, the packages libavcodec59 libavformat59 libtag1v5 (sudo apt-get install libavcodec59 libavformat59 libtag1v5) and WMAENC.so and WMADEC9.so in the program&apos;s folder (or the installed modules folder) are needed.</translation>
    </message>
    <message>
        <source>分割時間：</source>
        <translation>Split time:</translation>
    </message>
    <message>
        <source>無音時間：</source>
        <translation>Silence time:</translation>
    </message>
    <message>
        <source>手動で分割</source>
        <translation>Split by hand</translation>
    </message>
    <message>
        <source>一定時間で分割</source>
        <translation>Split at fixed intervals</translation>
    </message>
    <message>
        <source>無音区間で分割</source>
        <translation>Split at silences</translation>
    </message>
    <message>
        <source>出力設定 (WAV:無圧縮/%1kHz/%2)</source>
        <translation>Output settings (WAV:uncompressed/%1kHz/%2)</translation>
    </message>
    <message>
        <source>出力設定 (FLAC:レベル%1/%2kHz/%3)</source>
        <translation>Output settings (FLAC:level %1/%2kHz/%3)</translation>
    </message>
    <message>
        <source>出力設定 (%1:%2kbps/%3kHz/%4)</source>
        <translation>Output settings (%1:%2kbps/%3kHz/%4)</translation>
    </message>
    <message>
        <source>無音時間の指定が不正です</source>
        <translation>The silence time is not valid</translation>
    </message>
    <message>
        <source>分割時間の指定が不正です</source>
        <translation>The split time is not valid</translation>
    </message>
    <message>
        <source>間隔時間の指定が不正です</source>
        <translation>The interval is not valid</translation>
    </message>
    <message>
        <source>出力設定</source>
        <translation>Output settings</translation>
    </message>
    <message>
        <source>間隔時間：</source>
        <translation>Interval:</translation>
    </message>
</context>
<context>
    <name>OutputFormats</name>
    <message>
        <source>MP3 で録音するには LAME エンコーダーのモジュール lame_enc.so (プログラムと同じ場所かモジュールフォルダ) が必要です: %1</source>
        <translation>MP3 output needs the LAME encoder module lame_enc.so (beside the program or in its module folder): %1</translation>
    </message>
    <message>
        <source>WMA で録音するにはエンコーダーのプラグイン WMAENC.so (プログラムと同じ場所かモジュールフォルダ) が必要ですが、読み込めませんでした</source>
        <translation>WMA output needs the encoder plug-in WMAENC.so (beside the program or in its module folder), and it could not be loaded</translation>
    </message>
    <message>
        <source>%1 のエンコーダーを使えないため、%2 形式 (拡張子 %3) で録音します。%4</source>
        <translation>The %1 encoder cannot be used, so the recording is made in %2 (extension %3). %4</translation>
    </message>
</context>
<context>
    <name>PlugInWriter</name>
    <message>
        <source>エンコーダープラグインは自分でファイルを書き込みます</source>
        <translation>an encoder plug-in writes a file of its own</translation>
    </message>
    <message>
        <source>エンコーダープラグインのトラックが開かれていません</source>
        <translation>no encoder plug-in track is open</translation>
    </message>
    <message>
        <source>エンコーダープラグインが読み込まれていません</source>
        <translation>no encoder plug-in is loaded</translation>
    </message>
    <message>
        <source>ファイル名がありません</source>
        <translation>no file name</translation>
    </message>
    <message>
        <source>エンコーダープラグインがファイルを開きませんでした</source>
        <translation>the encoder plug-in did not open the file</translation>
    </message>
    <message>
        <source>エンコーダープラグインがこの形式を受け付けませんでした</source>
        <translation>the encoder plug-in refused the format</translation>
    </message>
    <message>
        <source>エンコーダープラグインが開始しませんでした</source>
        <translation>the encoder plug-in did not start</translation>
    </message>
    <message>
        <source>エンコーダープラグインが音声を受け付けませんでした</source>
        <translation>the encoder plug-in refused the audio</translation>
    </message>
    <message>
        <source>エンコーダープラグインがファイルを書き終えませんでした</source>
        <translation>the encoder plug-in did not finish the file</translation>
    </message>
    <message>
        <source>エンコーダープラグインがこのトラックの音声を受け付けませんでした</source>
        <translation>the encoder plug-in refused audio of this track</translation>
    </message>
</context>
<context>
    <name>ProgressDisplay</name>
    <message>
        <source>警告: %1</source>
        <translation>warning: %1</translation>
    </message>
</context>
<context>
    <name>PulseCapture</name>
    <message>
        <source>PulseAudio のメインループを開始できません</source>
        <translation>cannot start the PulseAudio main loop</translation>
    </message>
    <message>
        <source>PulseAudio サーバーが応答しません</source>
        <translation>no PulseAudio server answers</translation>
    </message>
    <message>
        <source>PulseAudio サーバーが応答しません: %1</source>
        <translation>no PulseAudio server answers: %1</translation>
    </message>
    <message>
        <source>PulseAudio の入力デバイスを一覧できません</source>
        <translation>cannot list the PulseAudio sources</translation>
    </message>
    <message>
        <source>PulseAudio のストリームを作成できません: %1</source>
        <translation>cannot create a PulseAudio stream: %1</translation>
    </message>
    <message>
        <source>PulseAudio の入力デバイス「%1」から録音できません: %2</source>
        <translation>cannot record from the PulseAudio source &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>PulseAudio の既定の入力デバイスから録音できません: %1</source>
        <translation>cannot record from the PulseAudio source: %1</translation>
    </message>
    <message>
        <source>PulseAudio のストリームから読み取れませんでした</source>
        <translation>reading from the PulseAudio stream failed</translation>
    </message>
    <message>
        <source>PulseAudio の入力デバイスがなくなりました: %1</source>
        <translation>the PulseAudio source went away: %1</translation>
    </message>
    <message>
        <source>PulseAudio サーバーとの接続が切れました</source>
        <translation>the connection to the PulseAudio server was lost</translation>
    </message>
</context>
<context>
    <name>QualityTable</name>
    <message>
        <source>%1 / Stereo</source>
        <translation>%1 / Stereo</translation>
    </message>
    <message>
        <source>%1 / Mono</source>
        <translation>%1 / Mono</translation>
    </message>
    <message>
        <source>Level %1 / %2</source>
        <translation>Level %1 / %2</translation>
    </message>
</context>
<context>
    <name>RecordTimer</name>
    <message>
        <source>1.パソコンの電源を落とす</source>
        <translation>1. Power off the computer</translation>
    </message>
    <message>
        <source>2.OSをスタンバイ状態(サスペンド)にしてアプリ終了</source>
        <translation>2. Suspend the system and exit the program</translation>
    </message>
    <message>
        <source>3.OSを休止状態(ハイバネート)にしてアプリ終了</source>
        <translation>3. Hibernate the system and exit the program</translation>
    </message>
    <message>
        <source>4.アプリケーションを終了する</source>
        <translation>4. Exit the program</translation>
    </message>
    <message>
        <source>録音時間の指定が不正です</source>
        <translation>The recording duration is not valid</translation>
    </message>
    <message>
        <source>開始時刻の指定が不正です</source>
        <translation>The start time is not valid</translation>
    </message>
    <message>
        <source>%1。
時刻は「時:分:秒」の形で 00:00:00 から 23:59:59 まで入力してください（例: %2）。</source>
        <translation>%1.
Type a time as hours:minutes:seconds, from 00:00:00 to 23:59:59 (for example %2).</translation>
    </message>
</context>
<context>
    <name>RecordedFiles</name>
    <message>
        <source>録音の記録 %1 が壊れています (%2 行目)</source>
        <translation>the record of recordings %1 is damaged (line %2)</translation>
    </message>
    <message>
        <source>録音の記録 %1 を読めません</source>
        <translation>cannot read the record of recordings %1</translation>
    </message>
    <message>
        <source>録音の記録 %1 を書き込めません</source>
        <translation>cannot write the record of recordings %1</translation>
    </message>
</context>
<context>
    <name>RecorderOptions</name>
    <message>
        <source>不明なオプション %1 です (--help を参照)</source>
        <translation>unknown option %1 (see --help)</translation>
    </message>
    <message>
        <source>--%1 は値を取りません</source>
        <translation>--%1 takes no value</translation>
    </message>
    <message>
        <source>--%1 には値が必要です (--help を参照)</source>
        <translation>--%1 needs a value (see --help)</translation>
    </message>
    <message>
        <source>--%1 の値「%2」は正しくありません (--help を参照)</source>
        <translation>invalid value for --%1: &quot;%2&quot; (see --help)</translation>
    </message>
    <message>
        <source>--quality %1 は %2 の音質表の行ではありません (0 から %3)</source>
        <translation>--quality %1 is not a row of the %2 quality table (0 to %3)</translation>
    </message>
    <message>
        <source>スケジュールのコマンドは一度に一つだけです</source>
        <translation>only one schedule command at a time</translation>
    </message>
    <message>
        <source>--when は --schedule-add と使います</source>
        <translation>--when goes with --schedule-add</translation>
    </message>
    <message>
        <source>--skip-silence は --split silence と使います (無音の長さとしきい値で音を判断します)</source>
        <translation>--skip-silence goes with --split silence (its silence length and thresholds tell sound from silence)</translation>
    </message>
    <message>
        <source>使用法: velsona-rec [オプション]... [/S 開始] [/T 時間] [/E 動作] [/P プリセット]
音声入力からトラック (WAV、MP3、Ogg Vorbis、WMA、FLAC、Opus) に録音します。Ctrl+C、SIGTERM、
ハングアップで止めるか、録音時間に達するまで続けます。起動時のプリセット (既定のプリセット
または /P) から始め、終了時にこの実行の設定を既定のプリセットに保存します。

スケジュール (ウィンドウのコマンドラインと同じ。--start なども同じ意味です):
  /S NOW | HM=21:00 | HMS=21:00:30 | &quot;YMDHM=2026/12/24 21:00&quot; | &quot;YMDHMS=...&quot;
      --start WHEN        今すぐ、またはその時刻に開始 (それまではカウントダウン)
  /T MS=90:00 | HMS=1:30:00
      --duration D        録音した時間がこの長さになったら停止
  /E exit | suspend | hibernate | shutdown
      --end-action A      録音時間で録音が終わったときのマシンの動作
  /P NAME, --preset NAME  既定のプリセットの代わりにこのプリセットを読み込む。存在しない
                       プリセットは拒否します。ただし --create-preset を付けると既定値から
                       始め、この実行の設定を NAME に保存します

録音の設定 (プリセットより優先):
  --capture pulse|alsa|signal:SPEC   音声の入力元 (既定: VELSONA_CAPTURE、なければ
                       PulseAudio、なければ ALSA)。SPEC の例: tone=1000hz/-6db/2s,silence=1s,loop。
                       drop=5s@10s で、その入力は信号 10 秒後に途絶え、5 秒後に戻ります
  --device ID          --list-devices の入力デバイス ID (-1: 既定の入力)
  --list-devices       入力デバイスを一覧表示して終了
  --reconnect          入力が途絶えたとき (デバイスが外れた、サウンドサーバーが再起動した)、
                       トラックを閉じて続ける: 1 秒ごとに同じ入力を試し、戻ったら次の
                       トラックを始める。時刻指定の開始 (/S) も、録音時間が終わるまで
                       入力が現れるのを待つ。プリセットに保存されます
  --no-reconnect       入力が途絶えたら停止 (既定)
  --recover            終了しきれなかった録音機が残したトラックを仕上げて終了 (毎回の起動時にも行います)
  --format wav|mp3|ogg|wma|flac|opus
  --quality ROW        形式の音質表の行 (0 が最初)
  --ogg-quality 0-100  Ogg Vorbis の音質
  --split manual|interval|silence
  --split-time H:M:S   分割の間隔、またはトラックを終える無音の長さ
  --skip-silence       音のあるときだけ録音 (--split silence と): 無音の長さだけ無音が続くと
                       トラックを閉じ、音が戻るまで何も書かない。プリセットに保存されます
  --no-skip-silence    無音も録音 (既定)
  --pre-roll 0-10      音が戻ったトラックの頭に入れる、その前の秒数 (既定 1)
  --align-to-clock     一定時間の分割を時計に合わせる: 区切りは午前0時から数えた間隔の倍数の
                       時刻 (1 時間なら毎正時)。最初のトラックは次の区切りまで。プリセットに保存
  --no-align-to-clock  録音の開始から数えて分割 (既定)
  --folder DIR         出力先フォルダ
  --template TEXT      ファイル名テンプレート (%TDY%、%RCN%、%TKN%、%STM%、%ETM%、%TLN% …)
  --title|--artist|--album|--comment TEXT   タグのテンプレート
  --loudness-tags      閉じたトラックのラウドネス (EBU R128) を測り、再生ソフトが音量をそろえる
                       タグを書く: ReplayGain (MP3・Ogg Vorbis・FLAC・WMA)、R128_TRACK_GAIN
                       (Opus)。WAV には書かない。プリセットに保存されます
  --no-loudness-tags   ラウドネスのタグを書かない (既定)
  --keep-days N        古い録音を削除: この録音機が録音し、その後変更されていない出力先
                       フォルダのファイルを、N 日より古くなったら削除 (0: しない)
  --keep-free SIZE     同じく、ディスクの空きが SIZE 未満の間は古いものから削除。SIZE は
                       GB (20、1.5、20G) か MB (500M)。0: しない。どちらもプリセットに保存されます
  --help, --version

繰り返す録音のスケジュール (systemd のユーザータイマーで動き、ウィンドウは要りません):
  --schedule-list      スケジュールと次の 5 回の開始、前回の結果を表示
  --schedule-add NAME --when WHEN --duration D [--preset P] [--end-action A]
                [--keep-days N] [--keep-free SIZE]
                       スケジュールを加える。WHEN は「once 2026-12-24 21:00」「daily 6:30」
                       「weekly 曜日 21:00」のいずれか。曜日は mon、tue、wed、thu、fri、sat、sun を
                       「,」でつなぎます。D は 7 日まで
  --schedule-remove NAME | --schedule-enable NAME | --schedule-disable NAME
                       消す、有効にする、無効にする (タイマーも合わせます)
  --schedule-run NAME  タイマーが使う: その回を予定の終わりまで録音する (遅れた開始は残りだけ、
                       終わりも過ぎていれば何もしない)。設定は保存しません
  ログアウト中も録音するには loginctl の enable-linger を実行してください。開始時刻には
  パソコンが動いているか、その時刻に起動するよう設定されている必要があります

終了ステータス: すべて録音できたときは 0。問題が起きたとき (書き込めなかったトラック、
途絶えた入力 (戻った場合も)、拒否された終了時の動作) や録音を開始できなかったときは 1。
コマンドラインの誤りは 2 (開始時刻でない /S を含む。解釈できないほかのスケジュールの
指定は警告して無視します)。スケジュールのコマンドは、誤った指定 (何も変えません) が 2、
スケジュールのファイルや systemd の失敗が 1 です。
</source>
        <translation>Usage: velsona-rec [OPTION]... [/S WHEN] [/T DURATION] [/E ACTION] [/P PRESET]
Records from a sound input into tracks (WAV, MP3, Ogg Vorbis, WMA, FLAC or Opus) until
stopped with Ctrl+C, SIGTERM or a hang-up, or until the duration is reached. Starts from the
start-up preset (the default preset or /P) and stores this run&apos;s settings back into the
default preset at exit.

Schedule (the window&apos;s command line; --start etc. are the same):
  /S NOW | HM=21:00 | HMS=21:00:30 | &quot;YMDHM=2026/12/24 21:00&quot; | &quot;YMDHMS=...&quot;
      --start WHEN        start now or at that time (a countdown until then)
  /T MS=90:00 | HMS=1:30:00
      --duration D        stop after this much recorded time
  /E exit | suspend | hibernate | shutdown
      --end-action A      what the machine does when the duration ends the recording
  /P NAME, --preset NAME  load this preset instead of the default preset; a preset that does
                       not exist is refused, unless --create-preset is given: it then starts
                       from the default values and this run&apos;s settings are stored under NAME

Recording settings (override the preset):
  --capture pulse|alsa|signal:SPEC   where audio comes from (default: VELSONA_CAPTURE,
                       else PulseAudio, else ALSA); SPEC e.g. tone=1000hz/-6db/2s,silence=1s,loop;
                       drop=5s@10s makes that input fail after 10 s of signal and come back 5 s later
  --device ID          input device id from --list-devices (-1: the default input)
  --list-devices       list the input devices and exit
  --reconnect          when the input fails (a device unplugged, the sound server restarted),
                       close the track and go on: try the same input again every second and
                       start the next track when it returns; a start at a set time (/S) waits
                       for a missing input too, until its duration is over. Stored in the preset
  --no-reconnect       stop when the input fails (the default)
  --recover            finish the tracks a killed recorder left (done at every start), then exit
  --format wav|mp3|ogg|wma|flac|opus
  --quality ROW        row of the format&apos;s quality table (0 is the first)
  --ogg-quality 0-100  Ogg Vorbis quality
  --split manual|interval|silence
  --split-time H:M:S   interval length, or the silence that ends a track
  --skip-silence       record only while there is sound (with --split silence): once silence has
                       lasted the silence length the track closes, and nothing is written until
                       sound returns. Stored in the preset
  --no-skip-silence    record the silence too (the default)
  --pre-roll 0-10      seconds from before the returning sound that begin its track (default 1)
  --align-to-clock     cut interval splits on the clock: the boundaries fall on multiples of the
                       interval counted from midnight (an hour: every full hour); the first
                       track ends at the next boundary. Stored in the preset
  --no-align-to-clock  count the interval from the start of the recording (the default)
  --folder DIR         output folder
  --template TEXT      file-name template (%TDY%, %RCN%, %TKN%, %STM%, %ETM%, %TLN% …)
  --title|--artist|--album|--comment TEXT   tag templates
  --loudness-tags      measure each closed track&apos;s loudness (EBU R128) and write the tags players
                       use to even out the volume: ReplayGain (MP3, Ogg Vorbis, FLAC, WMA),
                       R128_TRACK_GAIN (Opus); none in WAV. Stored in the preset
  --no-loudness-tags   write no loudness tags (the default)
  --keep-days N        remove old recordings: files this recorder recorded in the output folder
                       and that are unchanged since go once older than N days (0: never)
  --keep-free SIZE     likewise, the oldest go while the disk has less than SIZE free; SIZE in
                       GB (20, 1.5, 20G) or MB (500M); 0: never. Both are stored in the preset
  --help, --version

Repeating recordings (run by systemd user timers; no window needed):
  --schedule-list      show the entries with their next five starts and last result
  --schedule-add NAME --when WHEN --duration D [--preset P] [--end-action A]
                [--keep-days N] [--keep-free SIZE]
                       add an entry. WHEN: &quot;once 2026-12-24 21:00&quot;, &quot;daily 6:30&quot;,
                       &quot;weekly sun,tue 21:00&quot; (mon tue wed thu fri sat sun); D up to 7 days
  --schedule-remove NAME | --schedule-enable NAME | --schedule-disable NAME
                       remove, enable or disable an entry (its timer follows)
  --schedule-run NAME  used by the timer: record that run up to its planned end (a late start
                       records the rest, one whose end has passed nothing); stores no settings
  To record while logged out, run loginctl enable-linger. At the start time the computer
  must be on, or set to wake.

Exit status: 0 when everything was recorded; 1 when a problem occurred (a track that could
not be written, a lost input even one that came back, a refused end action) or the recording
could not start;
2 for a bad command line (a /S that is not a start time included; other schedule words that
do not parse are warned about and ignored). The schedule commands give 2 for a wrong entry
or option (nothing is changed) and 1 when the schedule file or systemd fails.
</translation>
    </message>
</context>
<context>
    <name>RecorderSession</name>
    <message>
        <source>入力デバイスが開かれていません</source>
        <translation>the device is not open</translation>
    </message>
    <message>
        <source>この出力形式と音質のエンコーダーがありません</source>
        <translation>no encoder for this output format and quality</translation>
    </message>
    <message>
        <source>%1 を作成できません: %2</source>
        <translation>cannot create %1: %2</translation>
    </message>
    <message>
        <source>%1 の書き込みを開始できません: %2</source>
        <translation>cannot begin %1: %2</translation>
    </message>
    <message>
        <source>トラックが拒否されました</source>
        <translation>the track was refused</translation>
    </message>
    <message>
        <source>書き込みに失敗しました: %1</source>
        <translation>write failed: %1</translation>
    </message>
</context>
<context>
    <name>RecordingCommands</name>
    <message>
        <source>録音開始に失敗しました、設定など再確認してください。</source>
        <translation>The recording could not start; please check the settings.</translation>
    </message>
    <message>
        <source>録音開始に失敗しました、設定など再確認してください。 (%1)</source>
        <translation>The recording could not start; please check the settings. (%1)</translation>
    </message>
    <message>
        <source>設定を %1 に保存できませんでした</source>
        <translation>the settings could not be saved to %1</translation>
    </message>
    <message>
        <source>終了時の動作「%1」を実行できませんでした: %2</source>
        <translation>the end action &quot;%1&quot; was not carried out: %2</translation>
    </message>
</context>
<context>
    <name>RecordingControl</name>
    <message>
        <source>理由は分かりません</source>
        <translation>the reason is not known</translation>
    </message>
    <message>
        <source>既定の入力</source>
        <translation>the default input</translation>
    </message>
    <message>
        <source>一定間隔で分割</source>
        <translation>split at the interval</translation>
    </message>
    <message>
        <source>無音で分割</source>
        <translation>split at silence</translation>
    </message>
    <message>
        <source>分割の指示</source>
        <translation>split command</translation>
    </message>
    <message>
        <source>失敗</source>
        <translation>failure</translation>
    </message>
    <message>
        <source>録音停止</source>
        <translation>recording stopped</translation>
    </message>
    <message>
        <source>録音を開始できませんでした: %1</source>
        <translation>The recording could not start: %1</translation>
    </message>
    <message>
        <source>録音中</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>録音開始の時刻に録音デバイスを開けませんでした (%1)。入力が現れるのを待っています。</source>
        <translation>The recording device could not be opened at the start time (%1). Waiting for the input to appear.</translation>
    </message>
    <message>
        <source>入力デバイス %1</source>
        <translation>input device %1</translation>
    </message>
    <message>
        <source>録音 No.%1 を開始しました（%2 %3、%4、出力先 %5）</source>
        <translation>Recording No.%1 started (%2 %3, %4, output folder %5)</translation>
    </message>
    <message>
        <source>録音デバイスをもう一度開けませんでした (%1)。1秒後にもう一度試します。</source>
        <translation>The recording device could not be opened again (%1). Trying again in a second.</translation>
    </message>
    <message>
        <source>入力は戻りましたが、次のトラックを開けませんでした。録音を停止してください: %1 (%2)</source>
        <translation>The input returned, but the next track could not be opened. Please stop the recording: %1 (%2)</translation>
    </message>
    <message>
        <source>トラック(%1)時間 %2</source>
        <translation>Track (%1) time %2</translation>
    </message>
    <message>
        <source>総時間 %1</source>
        <translation>Total time %1</translation>
    </message>
    <message>
        <source>録音デバイス「%1」からの入力が戻りました。トラック%2から録音を続けます。</source>
        <translation>The input from the recording device &quot;%1&quot; returned. The recording goes on from track %2.</translation>
    </message>
    <message>
        <source>トラック %1 を開きました: %2</source>
        <translation>Track %1 opened: %2</translation>
    </message>
    <message>
        <source>ファイルへの書き込みに失敗したため、トラックを閉じました（空き容量や出力先を確認してください）: %1 (%2)</source>
        <translation>Writing to the file failed, so the track was closed (please check the free space and the output folder): %1 (%2)</translation>
    </message>
    <message>
        <source>録音デバイスからの入力が途絶えました: %1</source>
        <translation>The input from the recording device was lost: %1</translation>
    </message>
    <message>
        <source>次のトラックを開けませんでした。録音を停止してください: %1 (%2)</source>
        <translation>The next track could not be opened. Please stop the recording: %1 (%2)</translation>
    </message>
    <message>
        <source>録音デバイスからの入力が途絶えました（%1）。トラックを閉じ、入力が戻るのを待っています。</source>
        <translation>The input from the recording device was lost (%1). The track was closed; waiting for the input to return.</translation>
    </message>
    <message>
        <source>トラック %1 は音声がないため削除しました: %2</source>
        <translation>Track %1 held no audio and was removed: %2</translation>
    </message>
    <message>
        <source>トラックの終わり・ヘッダ・タグを書き込めませんでした。書けた分の録音は残っています（空き容量を確認してください）: %1</source>
        <translation>The end, header or tags of the track could not be written. The audio written so far is kept (please check the free space): %1</translation>
    </message>
    <message>
        <source>ファイル名を付けられなかったため、次の名前で保存しました: %1</source>
        <translation>The file could not take its name, so it was saved as: %1</translation>
    </message>
    <message>
        <source>トラック %1 を閉じました（%2、長さ %3）: %4</source>
        <translation>Track %1 closed (%2, length %3): %4</translation>
    </message>
    <message>
        <source>録音を停止しました（総時間 %1）</source>
        <translation>The recording stopped (total time %1)</translation>
    </message>
    <message>
        <source>テンプレートのフォルダ %1 はシンボリックリンクのため使わず、出力先フォルダに保存しました: %2</source>
        <translation>The template&apos;s folder %1 is a symbolic link and was not used; the track was saved in the output folder: %2</translation>
    </message>
    <message>
        <source>ファイルをディスクに書き込めませんでした（%1）。次の起動時に回復します: %2</source>
        <translation>The file could not be written to the disk (%1); it will be recovered at the next start: %2</translation>
    </message>
    <message>
        <source>この録音のトラックにはタグを書き込めません。録音そのものは残っています: %1 (%2)</source>
        <translation>The tracks of this recording cannot be tagged; their audio is kept: %1 (%2)</translation>
    </message>
    <message>
        <source>1 分</source>
        <translation>a minute</translation>
    </message>
    <message>
        <source>10 分</source>
        <translation>ten minutes</translation>
    </message>
    <message>
        <source>%1 時間</source>
        <translation>%1 hour(s)</translation>
    </message>
    <message>
        <source>入力を %1 待っています。まだ開けません (%2)。</source>
        <translation>Still waiting for the input after %1; it cannot be opened yet (%2).</translation>
    </message>
    <message>
        <source>古い録音を削除しました: %1</source>
        <translation>Removed an old recording: %1</translation>
    </message>
    <message>
        <source>トラック %1 の音: %2</source>
        <translation>Track %1 sounded: %2</translation>
    </message>
    <message>
        <source>%1。%2</source>
        <translation>%1; %2</translation>
    </message>
    <message>
        <source>%1 にはラウドネスのタグを書きません</source>
        <translation>%1 takes no loudness tags</translation>
    </message>
    <message>
        <source>ラウドネスのタグはありません: %1</source>
        <translation>no loudness tags: %1</translation>
    </message>
    <message>
        <source>ラウドネスのタグを書き込めませんでした: %1</source>
        <translation>the loudness tags could not be written: %1</translation>
    </message>
    <message>
        <source>ラウドネス %1、トラックゲイン %2、ピーク %3</source>
        <translation>loudness %1, track gain %2, peak %3</translation>
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
    <name>RecordingSchedule</name>
    <message>
        <source>♪Velsona - パソコン長時間録音機 v1.25</source>
        <translation>♪Velsona - Long-Duration PC Recorder v1.25</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 時間%2分</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>%1 時間</source>
        <translation>%1 h</translation>
    </message>
    <message>
        <source>%1 分%2 秒</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 － ■録音時間: %2</source>
        <translation>%1 - ■Recording time: %2</translation>
    </message>
    <message>
        <source>%1（終了時: %2）</source>
        <translation>%1 (at the end: %2)</translation>
    </message>
</context>
<context>
    <name>RecordingSettings</name>
    <message>
        <source>(デフォルト設定)</source>
        <translation>(Default settings)</translation>
    </message>
    <message>
        <source>タイトルNo%TKN% - %TDY%</source>
        <translation>Title No%TKN% - %TDY%</translation>
    </message>
    <message>
        <source>アーティスト</source>
        <translation>Artist</translation>
    </message>
    <message>
        <source>アルバムNo%RCN%</source>
        <translation>Album No%RCN%</translation>
    </message>
    <message>
        <source>コメント%STM%-%ETM%(%TLN%)</source>
        <translation>Comment %STM%-%ETM%(%TLN%)</translation>
    </message>
</context>
<context>
    <name>RecoveryReport</name>
    <message>
        <source>復旧: %1 は見つからないため、仕上げるものがありません</source>
        <translation>Recovery: %1 is gone; nothing to finish</translation>
    </message>
    <message>
        <source>復旧: %1 は音声がないため削除しました</source>
        <translation>Recovery: %1 held no audio; removed</translation>
    </message>
    <message>
        <source>復旧: %1 に名前を付けられず、そのままの場所にあります (タグを書き込めませんでした)</source>
        <translation>Recovery: %1 could not be renamed; it stays where it is (tags could not be written)</translation>
    </message>
    <message>
        <source>復旧: %1 に名前を付けられず、そのままの場所にあります</source>
        <translation>Recovery: %1 could not be renamed; it stays where it is</translation>
    </message>
    <message>
        <source>復旧しました: %1 -&gt; %2 (タグを書き込めませんでした)</source>
        <translation>Recovered: %1 -&gt; %2 (tags could not be written)</translation>
    </message>
    <message>
        <source>復旧しました: %1 -&gt; %2</source>
        <translation>Recovered: %1 -&gt; %2</translation>
    </message>
    <message>
        <source>%1（見つかりません）</source>
        <translation>%1 (not found)</translation>
    </message>
    <message>
        <source>%1（音声がないため削除しました）</source>
        <translation>%1 (held no audio; removed)</translation>
    </message>
    <message>
        <source>%1
&#x3000;→ %2</source>
        <translation>%1
  -&gt; %2</translation>
    </message>
    <message>
        <source>%1
&#x3000;→ %2（タグを書き込めませんでした）</source>
        <translation>%1
  -&gt; %2 (the tags could not be written)</translation>
    </message>
    <message>
        <source>%1（名前を付けられませんでした）</source>
        <translation>%1 (could not be renamed)</translation>
    </message>
    <message>
        <source>%1（名前を付けられませんでした）（タグを書き込めませんでした）</source>
        <translation>%1 (could not be renamed; the tags could not be written)</translation>
    </message>
    <message>
        <source>前回終了しきれなかった録音を仕上げ、次の名前で保存しました:%1</source>
        <translation>The recordings left unfinished last time were finished and saved under these names:%1</translation>
    </message>
</context>
<context>
    <name>Retention</name>
    <message>
        <source>%1。古い録音は削除しません (記録は %2 に移し、新しい記録を始めました)</source>
        <translation>%1. No old recording is removed (the record was moved to %2 and a new one begun)</translation>
    </message>
    <message>
        <source>%1。古い録音は削除しません</source>
        <translation>%1. No old recording is removed</translation>
    </message>
    <message>
        <source>古い録音を削除しても %1 に %2 の空きを作れませんでした</source>
        <translation>Removing old recordings could not make %2 free in %1</translation>
    </message>
</context>
<context>
    <name>RuntimeModule</name>
    <message>
        <source>モジュール %1 を読み込めません: %2</source>
        <translation>cannot load the module %1: %2</translation>
    </message>
    <message>
        <source>モジュール %1 が見つかりません</source>
        <translation>the module %1 is not found</translation>
    </message>
</context>
<context>
    <name>ScheduleBook</name>
    <message>
        <source>systemd のユーザーマネージャーが動いていないため、スケジュールは Velsona を開いている間だけ実行されます。開始時刻が来るとこのウィンドウが録音します。</source>
        <translation>No systemd user manager runs here, so the schedule runs only while Velsona is open: this window records each entry when its start time comes.</translation>
    </message>
    <message>
        <source>スケジュールは systemd のユーザータイマーが実行するので、Velsona を閉じていても録音します。ログアウトしている間も録音するには、一度 loginctl enable-linger を実行してください（しないとログインしている間だけ実行されます）。開始時刻にパソコンの電源が入っているか、その時刻に起動するよう設定されている必要があります。</source>
        <translation>The schedule runs as systemd user timers, so entries are recorded even while Velsona is closed. To record while you are logged out, run loginctl enable-linger once (without it, entries run only while you are logged in). The computer must be on at the start time, or set to wake up for it.</translation>
    </message>
    <message>
        <source>このスケジュールは「%1」と録音する時間が重なります。重なる間は二つの録音が同時に動きます。</source>
        <translation>This entry records at the same time as “%1”. While they overlap, two recordings run at once.</translation>
    </message>
    <message>
        <source>このスケジュールは「%1」と録音する時間が重なります。このウィンドウは一度に一つしか録音しないため、後から始まるスケジュールは録音されません。</source>
        <translation>This entry records at the same time as “%1”. This window records one entry at a time, so the one that starts later is not recorded.</translation>
    </message>
</context>
<context>
    <name>ScheduleCommands</name>
    <message>
        <source>なし</source>
        <translation>none</translation>
    </message>
    <message>
        <source>スケジュールはありません。</source>
        <translation>No schedule entries.</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>有効</source>
        <translation>enabled</translation>
    </message>
    <message>
        <source>無効</source>
        <translation>disabled</translation>
    </message>
    <message>
        <source>  開始: %1 (%2)、録音時間: %3、プリセット: %4、終了時の動作: %5</source>
        <translation>  Start: %1 (%2); duration: %3; preset: %4; end action: %5</translation>
    </message>
    <message>
        <source>  次の開始: なし</source>
        <translation>  Next start: none</translation>
    </message>
    <message>
        <source>  次の開始: %1</source>
        <translation>  Next start: %1</translation>
    </message>
    <message>
        <source>  前回: %1 (%2)</source>
        <translation>  Last: %1 (%2)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>--duration の値は MS=60:00 または HMS=1:00:00 の形で、1 秒から 7 日までです</source>
        <translation>--duration takes MS=60:00 or HMS=1:00:00, from 1 second to 7 days</translation>
    </message>
    <message>
        <source>--end-action は exit、suspend、hibernate、shutdown のいずれかです</source>
        <translation>--end-action is one of exit, suspend, hibernate, shutdown</translation>
    </message>
    <message>
        <source>「%1」は --schedule-add には使えません</source>
        <translation>&quot;%1&quot; cannot be used with --schedule-add</translation>
    </message>
    <message>
        <source>--schedule-add には --duration が必要です (例: --duration MS=60:00)</source>
        <translation>--schedule-add needs --duration (e.g. --duration MS=60:00)</translation>
    </message>
    <message>
        <source>スケジュール「%1」はありません (--schedule-list を参照)</source>
        <translation>there is no schedule entry &quot;%1&quot; (see --schedule-list)</translation>
    </message>
    <message>
        <source>スケジュール「%1」を加えました。</source>
        <translation>Added the schedule entry &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>スケジュール「%1」を消しました。</source>
        <translation>Removed the schedule entry &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>スケジュール「%1」を有効にしました。</source>
        <translation>Enabled the schedule entry &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>スケジュール「%1」を無効にしました。</source>
        <translation>Disabled the schedule entry &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>systemd のユーザーマネージャーがありません。スケジュールは Velsona のウィンドウが開いている間だけ動きます</source>
        <translation>there is no systemd user manager: schedules run only while the Velsona window is open</translation>
    </message>
    <message>
        <source>スケジュールは保存しましたが、systemd のタイマーを合わせられません: %1</source>
        <translation>the schedule is saved, but its systemd timers could not follow it: %1</translation>
    </message>
    <message>
        <source>--schedule-add には --when が必要です (--help を参照)</source>
        <translation>--schedule-add needs --when (see --help)</translation>
    </message>
    <message>
        <source>--schedule-add が取るのは --when、--preset、--duration、--end-action、--keep-days、--keep-free だけです。録音の設定はプリセットに保存してください</source>
        <translation>--schedule-add takes only --when, --preset, --duration, --end-action, --keep-days and --keep-free; store recording settings in the preset</translation>
    </message>
</context>
<context>
    <name>ScheduleEntry</name>
    <message>
        <source>月</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>火</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>水</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>木</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>金</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>土</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>日</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>スケジュールに名前がありません</source>
        <translation>the schedule entry has no name</translation>
    </message>
    <message>
        <source>スケジュールの名前の前後に空白は使えません</source>
        <translation>a schedule entry&apos;s name cannot begin or end with a blank</translation>
    </message>
    <message>
        <source>スケジュールの名前に制御文字は使えません</source>
        <translation>a schedule entry&apos;s name cannot hold control characters</translation>
    </message>
    <message>
        <source>スケジュール「%1」はもうあります</source>
        <translation>there is a schedule entry &quot;%1&quot; already</translation>
    </message>
    <message>
        <source>プリセット「%1」はありません</source>
        <translation>there is no preset &quot;%1&quot;</translation>
    </message>
    <message>
        <source>録音時間は 1 秒から 7 日までです</source>
        <translation>the duration must be from 1 second to 7 days</translation>
    </message>
    <message>
        <source>開始時刻が不正です</source>
        <translation>the start time is not a time of day</translation>
    </message>
    <message>
        <source>終了時の動作が不正です</source>
        <translation>the end action is not one of the end actions</translation>
    </message>
    <message>
        <source>毎週のスケジュールには曜日が必要です</source>
        <translation>a weekly entry needs at least one day</translation>
    </message>
    <message>
        <source>開始日が不正です</source>
        <translation>the start date is not a date</translation>
    </message>
    <message>
        <source>開始日時 %1 はもう過ぎています</source>
        <translation>the start %1 has already passed</translation>
    </message>
    <message>
        <source>「%1」は開始の指定ではありません (%2)</source>
        <translation>&quot;%1&quot; is not a start (%2)</translation>
    </message>
    <message>
        <source>1 回 %1 %2</source>
        <translation>once %1 %2</translation>
    </message>
    <message>
        <source>毎日 %1</source>
        <translation>daily %1</translation>
    </message>
    <message>
        <source>%1・%2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>毎週 %1 %2</source>
        <translation>weekly %1 %2</translation>
    </message>
</context>
<context>
    <name>ScheduleLog</name>
    <message>
        <source>スケジュールの記録 %1 に書けません: %2</source>
        <translation>the schedule log %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>開始 (終わりの記録なし)</source>
        <translation>started (no end recorded)</translation>
    </message>
    <message>
        <source>録音済み</source>
        <translation>recorded</translation>
    </message>
    <message>
        <source>失敗</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>逃した</source>
        <translation>missed</translation>
    </message>
</context>
<context>
    <name>ScheduleStore</name>
    <message>
        <source>スケジュールのファイル %1 の %2 行目: %3</source>
        <translation>schedule file %1, line %2: %3</translation>
    </message>
    <message>
        <source>「%1」に %2 がありません</source>
        <translation>&quot;%1&quot; has no %2</translation>
    </message>
    <message>
        <source>録音時間 %1 は 1 から 604800 までの秒数ではありません</source>
        <translation>the duration %1 is not a number of seconds from 1 to 604800</translation>
    </message>
    <message>
        <source>終了時の動作「%1」はありません</source>
        <translation>there is no end action &quot;%1&quot;</translation>
    </message>
    <message>
        <source>enabled は yes か no です</source>
        <translation>enabled is yes or no</translation>
    </message>
    <message>
        <source>「%1」は知らない項目です</source>
        <translation>&quot;%1&quot; is not a known key</translation>
    </message>
    <message>
        <source>%1 はスケジュールのファイルではありません</source>
        <translation>%1 is not a schedule file</translation>
    </message>
    <message>
        <source>スケジュール「%1」が二つあります</source>
        <translation>the schedule entry &quot;%1&quot; is there twice</translation>
    </message>
    <message>
        <source>「[名前]」か「項目 = 値」の行ではありません</source>
        <translation>not a &quot;[name]&quot; or &quot;key = value&quot; line</translation>
    </message>
    <message>
        <source>%1 の値「%2」は正しくありません</source>
        <translation>invalid value &quot;%2&quot; for %1</translation>
    </message>
</context>
<context>
    <name>ScheduleUnits</name>
    <message>
        <source>「%1」が失敗しました: %2</source>
        <translation>&quot;%1&quot; failed: %2</translation>
    </message>
    <message>
        <source>%1</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>終了コード %1</source>
        <translation>exit status %1</translation>
    </message>
    <message>
        <source>フォルダ %1 を読めません: %2</source>
        <translation>the folder %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>%1 は手で書き換えられています。消すか、Velsona が書いたものに戻してください</source>
        <translation>%1 was edited by hand; remove it or put back what Velsona wrote</translation>
    </message>
    <message>
        <source>%1 を消せません: %2</source>
        <translation>%1 cannot be removed: %2</translation>
    </message>
</context>
<context>
    <name>ScheduledRun</name>
    <message>
        <source>スケジュール「%1」はありません</source>
        <translation>there is no schedule entry &quot;%1&quot;</translation>
    </message>
    <message>
        <source>スケジュール「%1」の開始時刻はまだです</source>
        <translation>the schedule entry &quot;%1&quot; has not started yet</translation>
    </message>
    <message>
        <source>スケジュール「%1」の録音が終わりました</source>
        <translation>The scheduled recording &quot;%1&quot; has ended</translation>
    </message>
    <message>
        <source>スケジュール「%1」の録音はできませんでした</source>
        <translation>The scheduled recording &quot;%1&quot; could not be made</translation>
    </message>
    <message>
        <source>スケジュール「%1」の録音に失敗しました</source>
        <translation>The scheduled recording &quot;%1&quot; failed</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>注意: %1</source>
        <translation>note: %1</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>(バイナリ)</source>
        <translation>(binary)</translation>
    </message>
    <message>
        <source>プリセット「%1」: %2=%3 は使えないため、既定値 %4 を使います</source>
        <translation>preset &quot;%1&quot;: %2=%3 cannot be used; the default %4 is used instead</translation>
    </message>
    <message>
        <source>設定ファイル %1 を読めません (%2)。既定値を使い、ファイルはそのままにします</source>
        <translation>the settings file %1 cannot be read (%2); the default values are used and the file is left as it is</translation>
    </message>
    <message>
        <source>設定ファイル %1 は壊れています。%1.damaged として残し、読めた値を使います</source>
        <translation>the settings file %1 is damaged; it was kept as %1.damaged and what could be read is used</translation>
    </message>
    <message>
        <source>設定ファイル %1 のプリセットの間に余分なセクション行 [%2] があります。その後の値は元のプリセットのままです</source>
        <translation>the settings file %1 has a stray section line [%2] among the presets; the values after it stay with their preset</translation>
    </message>
    <message>
        <source>プリセット「%1」はありません。既定値を使います</source>
        <translation>the preset &quot;%1&quot; does not exist; the default values are used</translation>
    </message>
    <message>
        <source>録音プリセットが未入力です。</source>
        <translation>No recording preset name was entered.</translation>
    </message>
    <message>
        <source>録音プリセット「%1」を %2 に保存できませんでした。</source>
        <translation>The recording preset &quot;%1&quot; could not be saved to %2.</translation>
    </message>
    <message>
        <source>%1 の録音プリセットは削除できません。</source>
        <translation>The recording preset %1 cannot be deleted.</translation>
    </message>
    <message>
        <source>録音プリセット「%1」の削除に失敗しました。</source>
        <translation>The recording preset &quot;%1&quot; could not be deleted.</translation>
    </message>
</context>
<context>
    <name>SignalCapture</name>
    <message>
        <source>信号が途絶えました</source>
        <translation>the signal dropped out</translation>
    </message>
    <message>
        <source>信号が終わりました</source>
        <translation>the signal has ended</translation>
    </message>
    <message>
        <source>信号が途絶えています（%1）</source>
        <translation>the signal is away (%1)</translation>
    </message>
</context>
<context>
    <name>SignalGenerator</name>
    <message>
        <source>長さ「%1」が不正です（250ms、2s、5min、1h のように）</source>
        <translation>bad duration &quot;%1&quot; (use e.g. 250ms, 2s, 5min, 1h)</translation>
    </message>
    <message>
        <source>トーン「%1」が不正です（tone=&lt;周波数&gt;hz[/&lt;レベル&gt;db][/&lt;長さ&gt;]）</source>
        <translation>bad tone &quot;%1&quot; (use tone=&lt;freq&gt;hz[/&lt;level&gt;db][/&lt;duration&gt;])</translation>
    </message>
    <message>
        <source>トーンのレベル「%1」が不正です（dBFS、0 以下）</source>
        <translation>bad tone level &quot;%1&quot; (dBFS, at most 0)</translation>
    </message>
    <message>
        <source>途切れ「%1」が不正です（drop=&lt;間隔&gt;@&lt;時点&gt;、例えば drop=5s@10s）</source>
        <translation>bad drop &quot;%1&quot; (use drop=&lt;gap&gt;@&lt;at&gt;, e.g. drop=5s@10s)</translation>
    </message>
    <message>
        <source>信号の項目「%1」はありません</source>
        <translation>unknown signal item &quot;%1&quot;</translation>
    </message>
    <message>
        <source>信号にトーン、無音、ファイルのいずれもありません</source>
        <translation>the signal has no tone, silence or file</translation>
    </message>
    <message>
        <source>信号ファイル「%1」を開けません: %2</source>
        <translation>cannot open signal file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>信号ファイル「%1」は WAV ファイルではありません</source>
        <translation>signal file &quot;%1&quot; is not a WAV file</translation>
    </message>
    <message>
        <source>信号ファイル「%1」に PCM データがありません</source>
        <translation>signal file &quot;%1&quot; has no PCM data</translation>
    </message>
    <message>
        <source>信号ファイル「%1」は %2 Hz の 16 ビット PCM（モノラルかステレオ）でなければなりません</source>
        <translation>signal file &quot;%1&quot; must be 16-bit PCM, mono or stereo, at %2 Hz</translation>
    </message>
    <message>
        <source>信号ファイル「%1」は壊れています</source>
        <translation>signal file &quot;%1&quot; is damaged</translation>
    </message>
    <message>
        <source>トーンの周波数はサンプリング周波数の半分より低くなければなりません</source>
        <translation>tone frequency must be below half the sample rate</translation>
    </message>
    <message>
        <source>繰り返す信号には長さのある区間が少なくとも一つ必要です</source>
        <translation>a looped signal needs at least one segment with a length</translation>
    </message>
    <message>
        <source>信号ファイルを読み取れません: %1</source>
        <translation>cannot read the signal file: %1</translation>
    </message>
    <message>
        <source>時計のずれ「%1」が不正です（drift=+1%、drift=-50ppm のように、-50% から +100% まで）</source>
        <translation>bad clock drift &quot;%1&quot; (like drift=+1% or drift=-50ppm, from -50% to +100%)</translation>
    </message>
</context>
<context>
    <name>StartChecks</name>
    <message>
        <source>保存ファイル名が空か、拡張子だけです。ファイル名を入力してください: 「%1」</source>
        <translation>The file name is empty or only an extension. Please enter a file name: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>入力デバイス %1 (%2) では %3 Hz、%4 チャンネル、%5 ビットで録音できません</source>
        <translation>input device %1 (%2) cannot capture %3 Hz, %4 channel(s), %5 bit</translation>
    </message>
    <message>
        <source>%2 に入力デバイス %1 はありません (velsona-rec --list-devices で確認できます)</source>
        <translation>there is no input device %1 on %2 (see velsona-rec --list-devices)</translation>
    </message>
    <message>
        <source>出力先フォルダ %1 を作成できません: %2</source>
        <translation>cannot create the output folder %1: %2</translation>
    </message>
    <message>
        <source>出力先フォルダ %1 に書き込めません: %2</source>
        <translation>cannot write into the output folder %1: %2</translation>
    </message>
    <message>
        <source>%1 バイト</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>注意: %1 の空き容量を測れません</source>
        <translation>note: the free space of %1 cannot be measured</translation>
    </message>
    <message>
        <source>空き容量: %1</source>
        <translation>Free space: %1</translation>
    </message>
    <message>
        <source>空き容量: %1、%3 kbit/s で約 %2 時間分</source>
        <translation>Free space: %1, about %2 hours at %3 kbit/s</translation>
    </message>
    <message>
        <source>警告: 出力先フォルダには、この録音の %1 時間分の空きしかありません</source>
        <translation>warning: the output folder holds only %1 hours of this recording</translation>
    </message>
</context>
<context>
    <name>TagFile</name>
    <message>
        <source>書き直すファイルに名前がありません</source>
        <translation>the file has no name to rewrite</translation>
    </message>
    <message>
        <source>音声が記載の長さより前に終わっています</source>
        <translation>the audio ends before its stated length</translation>
    </message>
</context>
<context>
    <name>TextFile</name>
    <message>
        <source>ファイル %1 を扱えません: %2</source>
        <translation>the file %1 cannot be used: %2</translation>
    </message>
</context>
<context>
    <name>TrackSound</name>
    <message>
        <source>ピーク %1 dBFS、クリップなし、最長の無音 %2 秒</source>
        <translation>peak %1 dBFS, no clipping, longest silence %2 s</translation>
    </message>
    <message>
        <source>ピーク %1 dBFS、クリップ %2 サンプル（最初は %3 秒）、最長の無音 %4 秒</source>
        <translation>peak %1 dBFS, %2 clipped samples (the first at %3 s), longest silence %4 s</translation>
    </message>
    <message>
        <source>録音の音: トラック %1、クリップしたトラック %2、全体のピーク %3 dBFS</source>
        <translation>The recording sounded: %1 track(s), %2 clipped, overall peak %3 dBFS</translation>
    </message>
</context>
<context>
    <name>VorbisDecoder</name>
    <message>
        <source>モジュールに %1 がありません</source>
        <translation>the module does not export %1</translation>
    </message>
    <message>
        <source>Vorbis のコメントを書き込み・読み込むモジュール vorbisdec.so を使えません (%1)。パッケージ libvorbisfile3 (sudo apt-get install libvorbisfile3) と、プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある vorbisdec.so が必要です。</source>
        <translation>the module vorbisdec.so, which writes and reads Vorbis comments, cannot be used (%1). On this Linux system, the package libvorbisfile3 (sudo apt-get install libvorbisfile3) and vorbisdec.so in the program&apos;s folder (or the installed modules folder) are needed.</translation>
    </message>
</context>
<context>
    <name>VorbisTagFile</name>
    <message>
        <source>タグの文字列をコメントとして書き込めません</source>
        <translation>a tag text cannot be written as a comment</translation>
    </message>
    <message>
        <source>追加先のコメント一覧がありません</source>
        <translation>no comment list to add to</translation>
    </message>
    <message>
        <source>Vorbis コメントを書き込めませんでした</source>
        <translation>the Vorbis comments could not be written</translation>
    </message>
</context>
<context>
    <name>WavHeader</name>
    <message>
        <source>WAV ヘッダーが不完全です</source>
        <translation>the WAV header is incomplete</translation>
    </message>
</context>
<context>
    <name>WavReader</name>
    <message>
        <source>WAV ファイルのサンプリングレートかチャンネル数が範囲外です</source>
        <translation>the WAV file&apos;s rate or channels are out of range</translation>
    </message>
</context>
<context>
    <name>WavTagFile</name>
    <message>
        <source>data チャンクのサイズから音声の終わりが分かりません</source>
        <translation>the data chunk&apos;s size does not say where the audio ends</translation>
    </message>
    <message>
        <source>音声のあとにタグ以外のチャンクがあります</source>
        <translation>chunks other than tags follow the audio</translation>
    </message>
</context>
<context>
    <name>WavWriter</name>
    <message>
        <source>PCM のフォーマットブロックは 16 バイトです</source>
        <translation>a PCM format block is 16 bytes</translation>
    </message>
    <message>
        <source>WAV のサイズを書き込めませんでした</source>
        <translation>the WAV sizes could not be written</translation>
    </message>
</context>
<context>
    <name>WaveInDevice</name>
    <message>
        <source>バッファの長さ %1 ミリ秒は範囲外です</source>
        <translation>buffer duration %1 ms is out of range</translation>
    </message>
    <message>
        <source>入力デバイスが録音バッファを受け付けません</source>
        <translation>the device refused a capture buffer</translation>
    </message>
    <message>
        <source>入力デバイスが開かれていません</source>
        <translation>the device is not open</translation>
    </message>
    <message>
        <source>入力デバイスが録音を始めません</source>
        <translation>the device does not start</translation>
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
        <source>使用法: velsona [/S 開始] [/T 録音時間] [/E 終了時のアクション] [/P プリセット]</source>
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
<context>
    <name>WmaDecoder</name>
    <message>
        <source>すべての関数を備えた WMA デコーダーモジュール (%1 または %2) がありません</source>
        <translation>no WMA decoder module (%1 or %2) with every export</translation>
    </message>
</context>
<context>
    <name>WmaReader</name>
    <message>
        <source>WMA モジュールが %1 を読めません</source>
        <translation>the WMA module cannot read %1</translation>
    </message>
    <message>
        <source>WMA モジュールがデコードを始められません</source>
        <translation>the WMA module cannot start decoding</translation>
    </message>
    <message>
        <source>WMA モジュールがデコードを終えられません</source>
        <translation>the WMA module cannot end decoding</translation>
    </message>
    <message>
        <source>WMA ファイルは名前でしか開けません</source>
        <translation>WMA files are opened by name only</translation>
    </message>
</context>
<context>
    <name>WmaTagFile</name>
    <message>
        <source>ファイル名がありません</source>
        <translation>no file name</translation>
    </message>
    <message>
        <source>WMA モジュールがファイルの属性を開けません</source>
        <translation>the WMA module cannot open the file&apos;s attributes</translation>
    </message>
    <message>
        <source>WMA の属性は名前でしか開けません</source>
        <translation>WMA attributes are reached by name only</translation>
    </message>
    <message>
        <source>WMA モジュールが属性を受け付けませんでした</source>
        <translation>the WMA module refused an attribute</translation>
    </message>
    <message>
        <source>WMA モジュールが属性を保存できませんでした</source>
        <translation>the WMA module could not store the attributes</translation>
    </message>
</context>
</TS>
