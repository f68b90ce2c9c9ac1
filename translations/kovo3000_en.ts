<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
  <context>
    <name>ChannelTable</name>
    <message>
      <source>メモリーチャンネルが一杯です（最大 5000 チャンネル）。新しいチャンネルは登録できません。</source>
      <translation>The memory channels are full (5000 at most). No new channel can be stored.</translation>
    </message>
  </context>
  <context>
    <name>ComPortDialog</name>
    <message>
      <source> COM Port settings</source>
      <translation>COM Port Settings</translation>
    </message>
  </context>
  <context>
    <name>Database</name>
    <message>
      <source>音声データがありません</source>
      <translation>There is no recording of this channel.</translation>
    </message>
    <message>
      <source>登録済みの周波数です</source>
      <translation>This frequency is already stored.</translation>
    </message>
    <message>
      <source>選択された %d 個のデータを削除します</source>
      <translation>Delete the %d selected items</translation>
    </message>
    <message>
      <source>ログデータを消去します よろしいですか？</source>
      <translation>Clear the log data. Are you sure?</translation>
    </message>
    <message>
      <source> ほか %d 個</source>
      <translation> and %d more</translation>
    </message>
    <message>
      <source>見つかりません</source>
      <translation>Not found.</translation>
    </message>
    <message>
      <source>選択されたデータのうち %d 個は既にありません</source>
      <translation>%d of the selected items no longer exist.</translation>
    </message>
  </context>
  <context>
    <name>DatabaseMenus</name>
    <message>
      <source>Scannig Condition</source>
      <translation>Scanning Conditions</translation>
    </message>
    <message>
      <source>Memoru Backup</source>
      <translation>Memory Backup</translation>
    </message>
    <message>
      <source>Editing Memory Banks .</source>
      <translation>Editing Memory Banks</translation>
    </message>
    <message>
      <source>Editing Frequensy</source>
      <translation>Editing Frequency</translation>
    </message>
    <message>
      <source>Editing Freqency</source>
      <translation>Editing Frequency</translation>
    </message>
    <message>
      <source>Editions Search Preferences</source>
      <translation>Editing Search Preferences</translation>
    </message>
    <message>
      <source>Scan Block (PASS) Condition</source>
      <translation>Scan Block (PASS) Conditions</translation>
    </message>
    <message>
      <source>Auto Mode Condition</source>
      <translation>Auto Mode Conditions</translation>
    </message>
    <message>
      <source>Selection/Input Condition</source>
      <translation>Selection/Input Conditions</translation>
    </message>
    <message>
      <source>Mem Backup</source>
      <translation>Memory Backup</translation>
    </message>
    <message>
      <source>Scan Block (PASS) condition</source>
      <translation>Scan Block (PASS) Conditions</translation>
    </message>
    <message>
      <source>Selection/Input condition</source>
      <translation>Selection/Input Conditions</translation>
    </message>
    <message>
      <source>Scanning Condition</source>
      <translation>Scanning Conditions</translation>
    </message>
    <message>
      <source>Auto Mode condition</source>
      <translation>Auto Mode Conditions</translation>
    </message>
  </context>
  <context>
    <name>DeleteDataDialog</name>
    <message>
      <source>  Delete DATA</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>選択された %1 個のデータを削除します</source>
      <translation>Delete the %1 selected items</translation>
    </message>
    <message>
      <source>ログデータを消去します よろしいですか？</source>
      <translation>Clear the log data. Are you sure?</translation>
    </message>
  </context>
  <context>
    <name>DisplayPreferenceDialog</name>
    <message>
      <source> Display Preference</source>
      <translation>Display Preference</translation>
    </message>
    <message>
      <source>Autoscroll OFF </source>
      <translation>Always on top</translation>
    </message>
  </context>
  <context>
    <name>DocumentController</name>
    <message>
      <source>%1 への変更を保存しますか?</source>
      <translation>Save the changes to %1?</translation>
    </message>
  </context>
  <context>
    <name>Export</name>
    <message>
      <source> 件のチャンネルは現在のリンクセットのバンクに入っていないため書き出されませんでした（バンク 0 に自動記憶されたチャンネルなど）。</source>
      <translation> channels were not exported because they are in no bank of the current link set (such as channels auto-stored in bank 0).</translation>
    </message>
    <message>
      <source>テキストファイルの書き出しに失敗しました。</source>
      <translation>The text file could not be written.</translation>
    </message>
    <message>
      <source>書き出しの種類が正しくありません。</source>
      <translation>Unknown kind of export.</translation>
    </message>
  </context>
  <context>
    <name>ExportTarget</name>
    <message>
      <source>テキストファイル (*.txt)</source>
      <translation>Text files (*.txt)</translation>
    </message>
    <message>
      <source>CSVファイル (*.csv)</source>
      <translation>CSV files (*.csv)</translation>
    </message>
    <message>
      <source>すべてのファイル (*.*)</source>
      <translation>All files (*.*)</translation>
    </message>
    <message>
      <source>テキスト形式ファイル書き出し</source>
      <translation>Export as text</translation>
    </message>
  </context>
  <context>
    <name>FileErrors</name>
    <message>
      <source>An attempt was made to access %1 past its and.</source>
      <translation>An attempt was made to access %1 past its end.</translation>
    </message>
    <message>
      <source>%1 contained an unexpected object.</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>%1 contains an incorrect schema.</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>%1 has a bad format.</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>%1 was not found.</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Access to %1 was denied.</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Disk full while accessing %1.</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。</source>
      <translation>The document could not be opened.</translation>
    </message>
    <message>
      <source>ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。</source>
      <translation>The document could not be saved.</translation>
    </message>
  </context>
  <context>
    <name>MainWindow</name>
    <message>
      <source>Display Preference(&amp;T)</source>
      <translation>&amp;Display Preference…</translation>
    </message>
    <message>
      <source>О программе...</source>
      <translation>About KOVO3000...</translation>
    </message>
    <message>
      <source>System</source>
      <translation type="unfinished" />
    </message>
  </context>
  <context>
    <name>OverwriteDialog</name>
    <message>
      <source> Owerwrite</source>
      <translation> Overwrite</translation>
    </message>
    <message>
      <source>This Frequensy is exist. Owerwrite ?</source>
      <translation>This frequency exists. Overwrite?</translation>
    </message>
    <message>
      <source>Owerwrite</source>
      <translation>Overwrite</translation>
    </message>
  </context>
  <context>
    <name>ReceiverLink</name>
    <message>
      <source>受信機が接続されていないか、COMポートの設定が違います。</source>
      <translation>The receiver is not connected, or the COM port setting is wrong.</translation>
    </message>
    <message>
      <source>受信機との接続が切れました。接続が戻ると自動的に再開します。</source>
      <translation>The connection to the receiver was lost. It resumes by itself when the connection returns.</translation>
    </message>
  </context>
  <context>
    <name>StepNames</name>
    <message>
      <source>6.25kz</source>
      <translation>6.25kHz</translation>
    </message>
  </context>
  <context>
    <name>StorableText</name>
    <message>
      <source>"%1" cannot be stored in a comment and was left out.</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>"%1" is stored without accents, as shown.</source>
      <translation type="unfinished" />
    </message>
  </context>
  <context>
    <name>kovo::AboutBox</name>
    <message>
      <source>KOVO3000 のバージョン情報</source>
      <translation>About KOVO3000</translation>
    </message>
  </context>
  <context>
    <name>kovo::MainWindow</name>
    <message>
      <source>О программе...</source>
      <translation>About KOVO3000...</translation>
    </message>
    <message>
      <source>Language</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>The language changes at the next start of the program.</source>
      <translation>The language changes at the next start of the program.</translation>
    </message>
    <message>
      <source>&amp;File</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>&amp;New 	Ctrl+N</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>&amp;Open...	Ctrl+O</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>&amp;Save	Ctrl+S</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>S&amp;ave as...</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>&amp;Import channels…</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Expor&amp;t text 	Ctrl+T</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Memory data</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Log data</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Channels for CHIRP (CSV)…</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>&amp;Exit</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Configuration&amp;s</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>COM &amp;port</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Display Preference(&amp;T)</source>
      <translation>&amp;Display Preference…</translation>
    </message>
    <message>
      <source>&amp;Sub-Step size</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>CW Pitch</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Default Band Width</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>AF Gain Range</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Power Control</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Options</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>&amp;Hamlib network server</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Web remote…</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>&amp;View</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>&amp;History	Ctrl+H</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>&amp;Help </source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Contents</source>
      <translation type="unfinished" />
    </message>
  </context>
  <context>
    <name>kovo::recorder::RecorderWindow</name>
    <message>
      <source>Stop playback</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Link to KOVO3000</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Input level</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>File being written</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Last recordings</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Recording</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Play</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Recordings folder</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Disk space left</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Link:</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Input level:</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Recording:</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Folder:</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Disk space:</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Linked to KOVO3000</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Waiting for KOVO3000</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>%1 left: not recording, the disk is nearly full</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>%1 left</source>
      <translation type="unfinished" />
    </message>
    <message>
      <source>Play %1</source>
      <translation type="unfinished" />
    </message>
  </context>
</TS>
