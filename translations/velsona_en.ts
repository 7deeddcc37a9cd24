<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>Catalogue</name>
    <message>
        <source>翻訳ファイル %1 を読み込めません。表示は日本語のままです。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
