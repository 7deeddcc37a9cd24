<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
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
        <source>ALSA デバイスが故障しました: %1</source>
        <translation>the ALSA device failed: %1</translation>
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
    <name>FileStream</name>
    <message>
        <source>%1</source>
        <translation>%1</translation>
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
</TS>
