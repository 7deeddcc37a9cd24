<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>BarModel</name>
    <message>
        <source>整数を入力してください。</source>
        <translation>Please enter a whole number.</translation>
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
</context>
<context>
    <name>CWaveScope</name>
    <message>
        <source>オシロスコープ</source>
        <translation>Oscilloscope</translation>
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
    <name>OutputBarModel</name>
    <message>
        <source>このLinux環境では、パッケージ libmp3lame0 (sudo apt-get install libmp3lame0) と、プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある lame_enc.so が必要です。</source>
        <translation>On this Linux system, the package libmp3lame0 (sudo apt-get install libmp3lame0) and lame_enc.so in the program&apos;s folder (or the installed modules folder) are needed.</translation>
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
        <source>MP3エンコードライブラリ「LAME_ENC.DLL」がインストールされていません。<byte value="xd"/>
（MP3形式の出力には別途LAMEエンコードライブラリが必要です）<byte value="xd"/>

ダウンロードしますか？</source>
        <translation>The MP3 encoder library “LAME_ENC.DLL” is not installed.<byte value="xd"/>
(MP3 output needs the LAME encoder library, installed separately.)<byte value="xd"/>

Download it?</translation>
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
</TS>
