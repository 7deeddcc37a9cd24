<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
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
    <name>Id3v2Tag</name>
    <message>
        <source>そのような ID3v2 の文字コードはありません</source>
        <translation>no such ID3v2 text encoding</translation>
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
    <name>VorbisDecoder</name>
    <message>
        <source>モジュールに %1 がありません</source>
        <translation>the module does not export %1</translation>
    </message>
    <message>
        <source>Vorbis のデコードモジュールがありません</source>
        <translation>the Vorbis decoding module is missing</translation>
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
