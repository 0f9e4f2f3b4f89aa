<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CommonDialog</name>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>%1
ファイルが見つかりません。
ファイル名を確認してから、やり直してください。</source>
        <translation>%1
File not found.
Check the file name and try again.</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>%1 は既に存在します。
上書きしますか?</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
</context>
<context>
    <name>Form3</name>
    <message>
        <source>色</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>ファイルを開く</source>
        <translation>Open file…</translation>
    </message>
    <message>
        <source>太ペン</source>
        <translation>Thick</translation>
    </message>
    <message>
        <source>細ペン</source>
        <translation>Thin</translation>
    </message>
    <message>
        <source>画面クリヤ</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>設定確定</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>回転</source>
        <translation>Spin</translation>
    </message>
    <message>
        <source>画像保存</source>
        <translation>Save image…</translation>
    </message>
    <message>
        <source>注意</source>
        <translation>Caution</translation>
    </message>
    <message>
        <source>画像ﾌｧｲﾙ(%1)</source>
        <translation>Picture files (%1)</translation>
    </message>
    <message>
        <source>画像を読み込めません。
%1
%2</source>
        <translation>Cannot read the picture.
%1
%2</translation>
    </message>
    <message>
        <source>書き込みを中止します。</source>
        <translation>
Writing stopped.</translation>
    </message>
    <message>
        <source>ﾋﾞｯﾄﾏｯﾌﾟ(%1)</source>
        <translation>Bitmap (%1)</translation>
    </message>
    <message>
        <source>フォルダ「%1」に書き込む権限がありません。</source>
        <translation>there is no permission to write into the folder “%1”.</translation>
    </message>
    <message>
        <source>このファイルを読む権限がありません。</source>
        <translation>there is no permission to read the file.</translation>
    </message>
    <message>
        <source>このファイルは読み取り専用です。</source>
        <translation>the file is read-only.</translation>
    </message>
    <message>
        <source>フォルダ「%1」がありません。</source>
        <translation>the folder “%1” does not exist.</translation>
    </message>
    <message>
        <source>ディスクの空き容量が足りません。</source>
        <translation>the disk is full.</translation>
    </message>
    <message>
        <source>この名前のものは通常のファイルではありません。</source>
        <translation>what lies under that name is not a regular file.</translation>
    </message>
    <message>
        <source>このファイルは大きすぎて扱えません。</source>
        <translation>the file is too large.</translation>
    </message>
    <message>
        <source>設定ファイルが使う名前には保存できません。</source>
        <translation>the settings keep a file of their own under that name.</translation>
    </message>
    <message>
        <source>システムのエラーです（%1）。</source>
        <translation>the system reports an error (%1).</translation>
    </message>
    <message>
        <source>画像ファイル「%1」を保存できません。</source>
        <translation>Cannot save the picture file “%1”: </translation>
    </message>
    <message>
        <source>設定ファイル「%1」に書き込めません。</source>
        <translation>Cannot write the settings file “%1”: </translation>
    </message>
    <message>
        <source>パスが %1 バイトを超えると、スクリーンセーバーが読み込めません。</source>
        <translation>the screensaver cannot read a path longer than %1 bytes.</translation>
    </message>
    <message>
        <source>絵または設定がまだ確定されていません。確定してから閉じますか?</source>
        <translation>The painting or the settings are not confirmed yet. Confirm them before closing?</translation>
    </message>
    <message>
        <source>破棄</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>閉じない</source>
        <translation>Don&apos;t close</translation>
    </message>
    <message>
        <source>画像の一部を読み込めませんでした。
%1
%2</source>
        <translation>Part of the picture could not be read.
%1
%2</translation>
    </message>
    <message>
        <source>%1 度/フレーム</source>
        <translation>%1° per frame</translation>
    </message>
    <message>
        <source>保存しました: %1</source>
        <translation>Saved: %1</translation>
    </message>
</context>
<context>
    <name>PictureFile</name>
    <message>
        <source>画像が大きすぎます(%1 × %2 ピクセル)。</source>
        <translation>The picture is too large (%1 × %2 pixels).</translation>
    </message>
    <message>
        <source>通常のファイルではありません。</source>
        <translation>This is not a regular file.</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます(%1 MB を超えています)。</source>
        <translation>The file is too large (over %1 MB).</translation>
    </message>
    <message>
        <source>画像のデータが壊れています(%1)。</source>
        <translation>The picture&apos;s data is damaged (%1).</translation>
    </message>
    <message>
        <source>ファイルが途中で終わっています。</source>
        <translation>The file ends before the picture does.</translation>
    </message>
    <message>
        <source>BMP、JPEG、GIF、PNG のいずれの画像でもありません。</source>
        <translation>This is not a BMP, JPEG, GIF or PNG picture.</translation>
    </message>
    <message>
        <source>画像のデータの一部が壊れています(%1)。</source>
        <translation>Part of the picture&apos;s data is damaged (%1).</translation>
    </message>
</context>
</TS>
