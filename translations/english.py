#!/usr/bin/env python3
"""Fills translations/kovo3000_en.ts from the table below.

Run after `cmake --build build --target kovo_app_lupdate` has added new
source texts; texts not in the table stay untranslated (shown as written).
"""
import pathlib
import xml.etree.ElementTree as ET

ENGLISH = {
    "メモリーチャンネルが一杯です（最大 5000 チャンネル）。新しいチャンネルは登録できません。":
        "The memory channels are full (5000 at most). No new channel can be stored.",
    "音声データがありません": "There is no recording of this channel.",
    "登録済みの周波数です": "This frequency is already stored.",
    "選択された %d 個のデータを削除します": "Delete the %d selected items",
    "ログデータを消去します よろしいですか？": "Clear the log data. Are you sure?",
    " ほか %d 個": " and %d more",
    "見つかりません": "Not found.",
    "選択されたデータのうち %d 個は既にありません": "%d of the selected items no longer exist.",
    # Every database menu names each view alike.
    "Scannig Condition": "Scanning Conditions",
    "Scanning Condition": "Scanning Conditions",
    "Scan Block (PASS) Condition": "Scan Block (PASS) Conditions",
    "Scan Block (PASS) condition": "Scan Block (PASS) Conditions",
    "Auto Mode Condition": "Auto Mode Conditions",
    "Auto Mode condition": "Auto Mode Conditions",
    "Selection/Input Condition": "Selection/Input Conditions",
    "Selection/Input condition": "Selection/Input Conditions",
    "Mem Backup": "Memory Backup",
    "Memoru Backup": "Memory Backup",
    "Display Preference(&T)": "&Display Preference…",
    " Display Preference": "Display Preference",
    # The box keeps the panels above other windows.
    "Autoscroll OFF ": "Always on top",
    " COM Port settings": "COM Port Settings",
    "Editing Memory Banks .": "Editing Memory Banks",
    "Editing Frequensy": "Editing Frequency",
    "Editing Freqency": "Editing Frequency",
    "Editions Search Preferences": "Editing Search Preferences",
    "選択された %1 個のデータを削除します": "Delete the %1 selected items",
    "%1 への変更を保存しますか?": "Save the changes to %1?",
    " 件のチャンネルは現在のリンクセットのバンクに入っていないため書き出されませんでした（バンク 0 に自動記憶されたチャンネルなど）。":
        " channels were not exported because they are in no bank of the current link set"
        " (such as channels auto-stored in bank 0).",
    "テキストファイルの書き出しに失敗しました。": "The text file could not be written.",
    "書き出しの種類が正しくありません。": "Unknown kind of export.",
    "テキストファイル (*.txt)": "Text files (*.txt)",
    "CSVファイル (*.csv)": "CSV files (*.csv)",
    "すべてのファイル (*.*)": "All files (*.*)",
    "テキスト形式ファイル書き出し": "Export as text",
    "An attempt was made to access %1 past its and.": "An attempt was made to access %1 past its end.",
    "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。": "The document could not be opened.",
    "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。": "The document could not be saved.",
    "О программе...": "About KOVO3000...",
    " Owerwrite": " Overwrite",
    "This Frequensy is exist. Owerwrite ?": "This frequency exists. Overwrite?",
    "Owerwrite": "Overwrite",
    "受信機が接続されていないか、COMポートの設定が違います。":
        "The receiver is not connected, or the COM port setting is wrong.",
    "受信機との接続が切れました。接続が戻ると自動的に再開します。":
        "The connection to the receiver was lost. It resumes by itself when the connection returns.",
    "6.25kz": "6.25kHz",
    "KOVO3000 のバージョン情報": "About KOVO3000",
    "The language changes at the next start of the program.":
        "The language changes at the next start of the program.",
}

path = pathlib.Path(__file__).with_name("kovo3000_en.ts")
tree = ET.parse(path)
for message in tree.iter("message"):
    source = message.findtext("source")
    translation = message.find("translation")
    if source in ENGLISH:
        translation.text = ENGLISH[source]
        translation.attrib.pop("type", None)
ET.indent(tree)
with open(path, "wb") as out:
    out.write(b'<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
    tree.write(out, encoding="utf-8", xml_declaration=False)
    out.write(b"\n")
