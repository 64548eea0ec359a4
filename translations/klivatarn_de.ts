<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>kt::About</name>
    <message>
        <source>Programming</source>
        <translation>Programmierung</translation>
    </message>
    <message>
        <source>Stream analysis</source>
        <translation>Datenstromanalyse</translation>
    </message>
    <message>
        <source>Artwork and icons</source>
        <translation>Grafik und Symbole</translation>
    </message>
    <message>
        <source>Testing and support</source>
        <translation>Test und Support</translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Systeminformationen sind zurzeit nicht verfügbar</translation>
    </message>
</context>
<context>
    <name>kt::AboutBox</name>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>Click the picture to close this window.</source>
        <translation>Ein Klick auf das Bild schließt dieses Fenster.</translation>
    </message>
    <message>
        <source>Opens the maker&apos;s web page.</source>
        <translation>Öffnet die Webseite des Herstellers.</translation>
    </message>
    <message>
        <source>Joins MPEG-1 video and MP3 files into one, byte for byte, after checking that the pieces fit together.</source>
        <translation>Verbindet MPEG-1-Videos und MP3-Dateien Byte für Byte zu einer Datei, nachdem geprüft ist, dass die Teile zusammenpassen.</translation>
    </message>
    <message>
        <source>Copyright © %1. This program comes with no warranty; keep a copy of your sources until you have checked the packed file.</source>
        <translation>Copyright © %1. Für dieses Programm gibt es keine Gewährleistung; bewahren Sie eine Kopie Ihrer Quelldateien auf, bis Sie die gepackte Datei geprüft haben.</translation>
    </message>
    <message>
        <source>Write to %1</source>
        <translation>E-Mail an %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>&amp;Systeminformationen...</translation>
    </message>
    <message>
        <source>Starts a program that describes this computer.</source>
        <translation>Startet ein Programm, das diesen Computer beschreibt.</translation>
    </message>
</context>
<context>
    <name>kt::AddFilesDialog</name>
    <message>
        <source>1 file here is not shown: its name is not valid UTF-8, so this program cannot open it: %1. Rename it to add it.</source>
        <translation>1 Datei wird hier nicht angezeigt: Ihr Name ist kein gültiges UTF-8, daher kann dieses Programm sie nicht öffnen: %1. Benennen Sie sie um, um sie hinzuzufügen.</translation>
    </message>
    <message>
        <source>%1 files here are not shown: their names are not valid UTF-8, so this program cannot open them: %2. Rename them to add them.</source>
        <translation>%1 Dateien werden hier nicht angezeigt: Ihre Namen sind kein gültiges UTF-8, daher kann dieses Programm sie nicht öffnen: %2. Benennen Sie sie um, um sie hinzuzufügen.</translation>
    </message>
    <message>
        <source>%1 was not found in &apos;%2&apos;. Check the names; nothing has been added yet.</source>
        <translation>%1 wurde in &apos;%2&apos; nicht gefunden. Prüfen Sie die Namen; noch wurde nichts hinzugefügt.</translation>
    </message>
    <message>
        <source>%1 were not found in &apos;%2&apos;. Check the names; nothing has been added yet.</source>
        <translation>%1 wurden in &apos;%2&apos; nicht gefunden. Prüfen Sie die Namen; noch wurde nichts hinzugefügt.</translation>
    </message>
</context>
<context>
    <name>kt::File64</name>
    <message>
        <source>Unexpected error. It may be a bug or an unexpected error has occur! Please quit and restart Vantu Kliva TARN.<byte value="xd"/>
If the problem persists, please submit a bug report immediately.<byte value="xd"/>
<byte value="xd"/>
Error %1: &apos;%2&apos;  detected.</source>
        <translation>Unerwarteter Fehler. Es kann ein Programmfehler sein, oder ein unerwarteter Fehler ist aufgetreten! Bitte beenden Sie Vantu Kliva TARN und starten Sie es neu.<byte value="xd"/>
Wenn das Problem bleibt, senden Sie bitte umgehend einen Fehlerbericht.<byte value="xd"/>
<byte value="xd"/>
Fehler %1: „%2“ festgestellt.</translation>
    </message>
    <message>
        <source>There is no open file.</source>
        <translation>Es ist keine Datei geöffnet.</translation>
    </message>
    <message>
        <source>Error opening %1!</source>
        <translation>Fehler beim Öffnen von %1!</translation>
    </message>
</context>
<context>
    <name>kt::FileDetails</name>
    <message>
        <source>%1 x %2, %3 frames per second</source>
        <translation>%1 x %2, %3 Bilder pro Sekunde</translation>
    </message>
    <message>
        <source>Duration: %1</source>
        <translation>Dauer: %1</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>Size: %1 bytes</source>
        <translation>Größe: %1 Byte</translation>
    </message>
    <message>
        <source>Total duration: %1</source>
        <translation>Gesamtdauer: %1</translation>
    </message>
    <message>
        <source> (1 file of unknown duration not counted)</source>
        <translation> (1 Datei unbekannter Dauer nicht mitgezählt)</translation>
    </message>
    <message>
        <source> (%1 files of unknown duration not counted)</source>
        <translation> (%1 Dateien unbekannter Dauer nicht mitgezählt)</translation>
    </message>
    <message>
        <source>
Total size: %1 bytes</source>
        <translation>
Gesamtgröße: %1 Byte</translation>
    </message>
</context>
<context>
    <name>kt::FileDialogs</name>
    <message>
        <source>All Files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>(and %1 more)</source>
        <translation>(und %1 weitere)</translation>
    </message>
</context>
<context>
    <name>kt::HandOver</name>
    <message>
        <source>no listener at &apos;%1&apos;</source>
        <translation>niemand nimmt an „%1“ entgegen</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a socket of this user</source>
        <translation>„%1“ ist kein Socket dieses Benutzers</translation>
    </message>
    <message>
        <source>no answer within %1 seconds</source>
        <translation>keine Antwort innerhalb von %1 Sekunden</translation>
    </message>
    <message>
        <source>it closed the connection without an answer</source>
        <translation>es hat die Verbindung ohne Antwort geschlossen</translation>
    </message>
    <message>
        <source>it took %1 of %2 files</source>
        <translation>es hat %1 von %2 Dateien übernommen</translation>
    </message>
</context>
<context>
    <name>kt::IconLoader</name>
    <message>
        <source>Invalid icon file or file does not contain 32x32 or 16x16 icon</source>
        <translation>Ungültige Symboldatei, oder die Datei enthält kein Symbol mit 32x32 oder 16x16 Pixeln</translation>
    </message>
    <message>
        <source>Failed to load this file</source>
        <translation>Diese Datei konnte nicht geladen werden</translation>
    </message>
</context>
<context>
    <name>kt::JoinArithmetic</name>
    <message>
        <source> hours </source>
        <translation> Stunden </translation>
    </message>
    <message>
        <source> hour </source>
        <translation> Stunde </translation>
    </message>
    <message>
        <source> minutes </source>
        <translation> Minuten </translation>
    </message>
    <message>
        <source> minute </source>
        <translation> Minute </translation>
    </message>
    <message>
        <source> seconds </source>
        <translation> Sekunden </translation>
    </message>
    <message>
        <source> second </source>
        <translation> Sekunde </translation>
    </message>
    <message>
        <source>remaining</source>
        <translation>verbleibend</translation>
    </message>
</context>
<context>
    <name>kt::Links</name>
    <message>
        <source>&apos;%1&apos; was not found!</source>
        <translation>„%1“ wurde nicht gefunden!</translation>
    </message>
</context>
<context>
    <name>kt::ListButtonHints</name>
    <message>
        <source>Sort file(s) in ascending order.</source>
        <translation>Datei(en) aufsteigend sortieren.</translation>
    </message>
    <message>
        <source>Sort file(s) in ascending order</source>
        <translation>Datei(en) aufsteigend sortieren</translation>
    </message>
    <message>
        <source>Sort file(s) in descending order.</source>
        <translation>Datei(en) absteigend sortieren.</translation>
    </message>
    <message>
        <source>Sort file(s) in descending order</source>
        <translation>Datei(en) absteigend sortieren</translation>
    </message>
    <message>
        <source>Select all file(s) in Pack List</source>
        <translation>Alle Datei(en) der Packliste auswählen</translation>
    </message>
    <message>
        <source>Deselect all file(s) in Pack List</source>
        <translation>Auswahl aller Datei(en) der Packliste aufheben</translation>
    </message>
    <message>
        <source>Inverse select all file(s) in Pack List</source>
        <translation>Auswahl aller Datei(en) der Packliste umkehren</translation>
    </message>
</context>
<context>
    <name>kt::Lock</name>
    <message>
        <source>a link</source>
        <translation>eine Verknüpfung</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: owned by another user</source>
        <translation>„%1“: gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: open to other users</source>
        <translation>„%1“: für andere Benutzer zugänglich</translation>
    </message>
    <message>
        <source>no home folder</source>
        <translation>kein persönlicher Ordner</translation>
    </message>
</context>
<context>
    <name>kt::MainWindow</name>
    <message>
        <source>Status</source>
        <translation>Statusmeldung</translation>
    </message>
    <message>
        <source>Program state</source>
        <translation>Programmzustand</translation>
    </message>
    <message>
        <source>Program state picture</source>
        <translation>Bild des Programmzustands</translation>
    </message>
    <message>
        <source>BUSY</source>
        <translation>AKTIV</translation>
    </message>
    <message>
        <source>IDLE</source>
        <translation>BEREIT</translation>
    </message>
    <message>
        <source>&apos;%1&apos; was not found!</source>
        <translation>„%1“ wurde nicht gefunden!</translation>
    </message>
    <message>
        <source>Pack List:</source>
        <translation>Packliste:</translation>
    </message>
    <message>
        <source>Pack List</source>
        <translation>Packliste</translation>
    </message>
    <message>
        <source>The files to pack, in the order they are joined, with the video size and frame rate of each.</source>
        <translation>Die zu packenden Dateien in der Reihenfolge, in der sie verbunden werden, mit Bildgröße und Bildrate jeder Datei.</translation>
    </message>
    <message>
        <source>ascending</source>
        <translation>aufsteigend</translation>
    </message>
    <message>
        <source>Sort ascending</source>
        <translation>Aufsteigend sortieren</translation>
    </message>
    <message>
        <source>Puts the files of the Pack List in ascending order of their paths.</source>
        <translation>Ordnet die Dateien der Packliste aufsteigend nach ihren Pfaden.</translation>
    </message>
    <message>
        <source>descending</source>
        <translation>absteigend</translation>
    </message>
    <message>
        <source>Sort descending</source>
        <translation>Absteigend sortieren</translation>
    </message>
    <message>
        <source>Puts the files of the Pack List in descending order of their paths.</source>
        <translation>Ordnet die Dateien der Packliste absteigend nach ihren Pfaden.</translation>
    </message>
    <message>
        <source>a</source>
        <comment>select all, one letter</comment>
        <translation>a</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Selects every file in the Pack List.</source>
        <translation>Wählt alle Dateien der Packliste aus.</translation>
    </message>
    <message>
        <source>d</source>
        <comment>deselect all, one letter</comment>
        <translation>k</translation>
    </message>
    <message>
        <source>Deselect all</source>
        <translation>Auswahl aufheben</translation>
    </message>
    <message>
        <source>Clears the selection of the Pack List.</source>
        <translation>Hebt die Auswahl in der Packliste auf.</translation>
    </message>
    <message>
        <source>i</source>
        <comment>inverse select, one letter</comment>
        <translation>u</translation>
    </message>
    <message>
        <source>Inverse select</source>
        <translation>Auswahl umkehren</translation>
    </message>
    <message>
        <source>Selects the files that were not selected and deselects the others.</source>
        <translation>Wählt die bisher nicht ausgewählten Dateien aus und hebt die Auswahl der übrigen auf.</translation>
    </message>
    <message>
        <source>Move selected file(s) up</source>
        <translation>Ausgewählte Datei(en) nach oben verschieben</translation>
    </message>
    <message>
        <source>Move selected file(s) down</source>
        <translation>Ausgewählte Datei(en) nach unten verschieben</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Add...</source>
        <translation>&amp;Hinzufügen...</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Actions</source>
        <translation>&amp;Aktionen</translation>
    </message>
    <message>
        <source>&amp;Pack</source>
        <translation>&amp;Packen</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>Move Dow&amp;n</source>
        <translation>Nach &amp;unten</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alle auswählen</translation>
    </message>
    <message>
        <source>De&amp;select All</source>
        <translation>Auswahl auf&amp;heben</translation>
    </message>
    <message>
        <source>&amp;Inverse Select</source>
        <translation>Auswahl um&amp;kehren</translation>
    </message>
    <message>
        <source>Sort As&amp;cending</source>
        <translation>Auf&amp;steigend sortieren</translation>
    </message>
    <message>
        <source>Sort &amp;Descending</source>
        <translation>A&amp;bsteigend sortieren</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>Anzei&amp;gen</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;General...</source>
        <translation>&amp;Allgemein...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;To</source>
        <translation>Speichern &amp;in</translation>
    </message>
    <message>
        <source>&amp;Default Directory...</source>
        <translation>&amp;Standardordner...</translation>
    </message>
    <message>
        <source>Last &amp;Saved Directory</source>
        <translation>&amp;Zuletzt verwendeter Ordner</translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation>&amp;Überschreiben</translation>
    </message>
    <message>
        <source>&amp;Don&apos;t Overwrite Saved File</source>
        <translation>Gespeicherte Datei &amp;nicht überschreiben</translation>
    </message>
    <message>
        <source>&amp;Ask Before Overwrite Saved File</source>
        <translation>&amp;Vor dem Überschreiben fragen</translation>
    </message>
    <message>
        <source>Do&amp;n&apos;t Ask Before Overwrite Saved File</source>
        <translation>&amp;Ohne Nachfrage überschreiben</translation>
    </message>
    <message>
        <source>Transfer &amp;Rate</source>
        <translation>Übertragungs&amp;rate</translation>
    </message>
    <message>
        <source>&amp;Slow</source>
        <translation>&amp;Langsam</translation>
    </message>
    <message>
        <source>&amp;Normal</source>
        <translation>&amp;Mittel</translation>
    </message>
    <message>
        <source>&amp;Fast</source>
        <translation>&amp;Schnell</translation>
    </message>
    <message>
        <source>&amp;Ultra Fast</source>
        <translation>Sehr s&amp;chnell</translation>
    </message>
    <message>
        <source>&amp;Delete After Action</source>
        <translation>&amp;Löschen nach Aktion</translation>
    </message>
    <message>
        <source>&amp;Don&apos;t Delete</source>
        <translation>&amp;Nicht löschen</translation>
    </message>
    <message>
        <source>&amp;Ask Before Sending To Recycle Bin</source>
        <translation>&amp;Vor dem Verschieben in den Papierkorb fragen</translation>
    </message>
    <message>
        <source>Do&amp;n&apos;t Ask Before Sending To Recycle Bin</source>
        <translation>&amp;Ohne Nachfrage in den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>&amp;MPEG Compatibility</source>
        <translation>&amp;MPEG-Kompatibilität</translation>
    </message>
    <message>
        <source>Seamless Join</source>
        <translation>Nahtlos verbinden</translation>
    </message>
    <message>
        <source>Show Status Bar</source>
        <translation>Statusleiste anzeigen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Vantu Kliva &amp;Help Topics</source>
        <translation>Vantu Kliva &amp;Hilfethemen</translation>
    </message>
    <message>
        <source>Tip of the Day</source>
        <translation>Tipp des Tages</translation>
    </message>
    <message>
        <source>Technical &amp;Support</source>
        <translation>Technischer &amp;Support</translation>
    </message>
    <message>
        <source>Websites</source>
        <translation>Webseiten</translation>
    </message>
    <message>
        <source>Vantu Kliva TARN Webpage</source>
        <translation>Webseite von Vantu Kliva TARN</translation>
    </message>
    <message>
        <source>Vantu Kliva Webpage</source>
        <translation>Webseite von Vantu Kliva</translation>
    </message>
    <message>
        <source>Vantu Kliva FAQ</source>
        <translation>Häufige Fragen zu Vantu Kliva</translation>
    </message>
    <message>
        <source>&amp;About Vantu Kliva TARN...</source>
        <translation>&amp;Über Vantu Kliva TARN...</translation>
    </message>
    <message>
        <source>Add...</source>
        <translation>Hinzufügen...</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Nothing to view.</source>
        <translation>Nichts anzuzeigen.</translation>
    </message>
</context>
<context>
    <name>kt::MpegCheck</name>
    <message>
        <source>%1 is not a valid MPEG file.<byte value="xd"/>
<byte value="xd"/>
Proceed packing and ignore invalid Mpeg error?</source>
        <translation>%1 ist keine gültige MPEG-Datei.<byte value="xd"/>
<byte value="xd"/>
Trotzdem packen und den MPEG-Fehler übergehen?</translation>
    </message>
</context>
<context>
    <name>kt::OutputFile</name>
    <message>
        <source>a character device</source>
        <translation>ein zeichenorientiertes Gerät</translation>
    </message>
    <message>
        <source>a block device</source>
        <translation>ein blockorientiertes Gerät</translation>
    </message>
    <message>
        <source>a pipe</source>
        <translation>eine Pipe</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ein Socket</translation>
    </message>
    <message>
        <source>a file of the kernel</source>
        <translation>eine Datei des Kernels</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>ein Ordner</translation>
    </message>
</context>
<context>
    <name>kt::PackList</name>
    <message>
        <source>1 file was not added: its name is not valid UTF-8, so this program cannot open it:

%1

Rename it and add it again.</source>
        <translation>1 Datei wurde nicht hinzugefügt: Ihr Name ist kein gültiges UTF-8, daher kann dieses Programm sie nicht öffnen:

%1

Benennen Sie sie um und fügen Sie sie erneut hinzu.</translation>
    </message>
    <message>
        <source>%1 files were not added: their names are not valid UTF-8, so this program cannot open them:

%2

Rename them and add them again.</source>
        <translation>%1 Dateien wurden nicht hinzugefügt: Ihre Namen sind kein gültiges UTF-8, daher kann dieses Programm sie nicht öffnen:

%2

Benennen Sie sie um und fügen Sie sie erneut hinzu.</translation>
    </message>
    <message>
        <source>Add Files... (multiple selection possible)</source>
        <translation>Dateien hinzufügen... (Mehrfachauswahl möglich)</translation>
    </message>
    <message>
        <source>Nothing to swap.</source>
        <translation>Nichts zu vertauschen.</translation>
    </message>
    <message>
        <source>Nothing to sort.</source>
        <translation>Nichts zu sortieren.</translation>
    </message>
</context>
<context>
    <name>kt::PackListModel</name>
    <message>
        <source>Filename</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Video Size</source>
        <translation>Bildgröße</translation>
    </message>
    <message>
        <source>Frame Rate</source>
        <translation>Bildrate</translation>
    </message>
    <message>
        <source>not available</source>
        <translation>nicht verfügbar</translation>
    </message>
</context>
<context>
    <name>kt::PackTexts</name>
    <message>
        <source>Nothing to pack.</source>
        <translation>Nichts zu packen.</translation>
    </message>
    <message>
        <source>At least 2 files are required for packing.</source>
        <translation>Zum Packen werden mindestens 2 Dateien benötigt.</translation>
    </message>
    <message>
        <source>Checking available freespace...</source>
        <translation>Freien Speicherplatz prüfen...</translation>
    </message>
    <message>
        <source>Verifying mpeg compatibility...</source>
        <translation>MPEG-Kompatibilität prüfen...</translation>
    </message>
    <message>
        <source>Not compatible for Klivaing. Proceed packing and ignore Mpeg Compatibility error?</source>
        <translation>Nicht kompatibel zum Verbinden. Trotzdem packen und den MPEG-Kompatibilitätsfehler übergehen?</translation>
    </message>
    <message>
        <source>Not enough free diskspace. Packing aborted!</source>
        <translation>Nicht genug freier Speicherplatz. Packen abgebrochen!</translation>
    </message>
    <message>
        <source>Cannot pack %1 which is a 0 byte file. Packing aborted!</source>
        <translation>%1 ist 0 Byte groß und kann nicht gepackt werden. Packen abgebrochen!</translation>
    </message>
    <message>
        <source>Cannot pack Save As file!</source>
        <translation>Die Zieldatei kann nicht selbst gepackt werden!</translation>
    </message>
    <message>
        <source>%1 was not found! Packing aborted!</source>
        <translation>%1 wurde nicht gefunden! Packen abgebrochen!</translation>
    </message>
    <message>
        <source>The requested file was not closed properly! Try again later!</source>
        <translation>Die angeforderte Datei wurde nicht richtig geschlossen! Versuchen Sie es später noch einmal!</translation>
    </message>
    <message>
        <source>Kliva cannot pack %1 due to excess number of file handling. Possible solution is to move the file elsewhere other than the root directory.</source>
        <translation>Kliva kann %1 nicht packen, weil zu viele Dateien geöffnet sind. Abhilfe: Verschieben Sie die Datei an einen anderen Ort als das Stammverzeichnis.</translation>
    </message>
    <message>
        <source>Cannot overwrite %1. Disk full/write-protected or file is in use.</source>
        <translation>%1 kann nicht überschrieben werden. Datenträger voll oder schreibgeschützt, oder die Datei wird verwendet.</translation>
    </message>
    <message>
        <source>%1 is a hidden file. Packing aborted.</source>
        <translation>%1 ist eine versteckte Datei. Packen abgebrochen.</translation>
    </message>
    <message>
        <source>Packing aborted by user</source>
        <translation>Packen vom Benutzer abgebrochen</translation>
    </message>
    <message>
        <source>Unexpected error. It may be a bug or an unexpected error has occur! Please quit and restart Vantu Kliva TARN. If the error persist, please submit a bug report immediately.</source>
        <translation>Unerwarteter Fehler. Es kann ein Programmfehler sein, oder ein unerwarteter Fehler ist aufgetreten! Bitte beenden Sie Vantu Kliva TARN und starten Sie es neu. Wenn der Fehler bleibt, senden Sie bitte umgehend einen Fehlerbericht.</translation>
    </message>
    <message>
        <source>Unexpected error. It may be a bug or an unexpected error has occur! Please quit and restart Vantu Kliva TARN.<byte value="xd"/>
If the problem persists, please submit a bug report immediately.<byte value="xd"/>
<byte value="xd"/>
Error number %1 detected.</source>
        <translation>Unerwarteter Fehler. Es kann ein Programmfehler sein, oder ein unerwarteter Fehler ist aufgetreten! Bitte beenden Sie Vantu Kliva TARN und starten Sie es neu.<byte value="xd"/>
Wenn das Problem bleibt, senden Sie bitte umgehend einen Fehlerbericht.<byte value="xd"/>
<byte value="xd"/>
Fehlernummer %1 erkannt.</translation>
    </message>
    <message>
        <source>%1 successfully packed! Total filesize is %2 bytes.</source>
        <translation>%1 erfolgreich gepackt! Gesamtgröße: %2 Byte.</translation>
    </message>
    <message>
        <source>Cannot write to %1: %2.<byte value="xd"/>
<byte value="xd"/>
Retry writes the same block again; Cancel stops packing and leaves the part written so far.</source>
        <translation>In %1 kann nicht geschrieben werden: %2.<byte value="xd"/>
<byte value="xd"/>
Wiederholen schreibt denselben Block erneut; Abbrechen beendet das Packen und lässt den bis dahin geschriebenen Teil stehen.</translation>
    </message>
    <message>
        <source>Cannot save %1 to disk: %2. Packing aborted! The source files were kept.</source>
        <translation>%1 kann nicht auf den Datenträger gesichert werden: %2. Packen abgebrochen! Die Quelldateien wurden behalten.</translation>
    </message>
    <message>
        <source>Cannot read %1: %2. Packing aborted!</source>
        <translation>%1 kann nicht gelesen werden: %2. Packen abgebrochen!</translation>
    </message>
    <message>
        <source>%1 ended after %2 of its %3 bytes; it was changed while packing. Packing aborted!</source>
        <translation>%1 endete nach %2 von %3 Byte; die Datei wurde während des Packens geändert. Packen abgebrochen!</translation>
    </message>
    <message>
        <source>%1 changed size since packing started (%2 bytes, now %3). Packing aborted!</source>
        <translation>%1 hat seit Beginn des Packens die Größe geändert (%2 Byte, jetzt %3). Packen abgebrochen!</translation>
    </message>
    <message>
        <source> Packing aborted! The source files were kept.</source>
        <translation> Packen abgebrochen! Die Quelldateien wurden behalten.</translation>
    </message>
    <message>
        <source>%1 changed while it was being packed.</source>
        <translation>%1 wurde geändert, während die Datei gepackt wurde.</translation>
    </message>
    <message>
        <source>%1 was deleted while it was being packed.</source>
        <translation>%1 wurde gelöscht, während die Datei gepackt wurde.</translation>
    </message>
    <message>
        <source>%1 was replaced by another file while it was being packed.</source>
        <translation>%1 wurde durch eine andere Datei ersetzt, während sie gepackt wurde.</translation>
    </message>
    <message>
        <source>%1 holds %2 bytes instead of %3.</source>
        <translation>%1 enthält %2 Byte statt %3.</translation>
    </message>
    <message>
        <source>Cannot finish writing %1: %2.</source>
        <translation>Das Schreiben von %1 kann nicht abgeschlossen werden: %2.</translation>
    </message>
    <message>
        <source>%1 leads to %2, not a regular file; a pack writes only regular files and never replaces anything else. Packing aborted!</source>
        <translation>%1 führt zu %2, nicht zu einer regulären Datei; Packen schreibt nur reguläre Dateien und ersetzt nie etwas anderes. Packen abgebrochen!</translation>
    </message>
    <message>
        <source>%1 is %2, not a regular file; a pack writes only regular files and never replaces anything else. Packing aborted!</source>
        <translation>%1 ist %2, keine reguläre Datei; Packen schreibt nur reguläre Dateien und ersetzt nie etwas anderes. Packen abgebrochen!</translation>
    </message>
    <message>
        <source>%1 was made again by another program each time it was deleted; it was not replaced. Packing aborted!</source>
        <translation>%1 wurde nach jedem Löschen von einem anderen Programm neu angelegt; die Datei wurde nicht ersetzt. Packen abgebrochen!</translation>
    </message>
    <message>
        <source>%1 turned out to be one of the files being packed once it was opened; it was not overwritten. Packing aborted!</source>
        <translation>%1 erwies sich beim Öffnen als eine der Dateien, die gepackt werden; die Datei wurde nicht überschrieben. Packen abgebrochen!</translation>
    </message>
    <message>
        <source>%1 is being written by another pack. Packing aborted!</source>
        <translation>%1 wird gerade von einem anderen Packvorgang geschrieben. Packen abgebrochen!</translation>
    </message>
    <message>
        <source>%1 would hold %2 bytes, but its file system (%3) cannot hold a file larger than %4 bytes. Packing aborted!</source>
        <translation>%1 würde %2 Byte enthalten, aber ihr Dateisystem (%3) kann keine Datei über %4 Byte aufnehmen. Packen abgebrochen!</translation>
    </message>
    <message>
        <source>Checking %1</source>
        <translation>Prüfen: %1</translation>
    </message>
    <message>
        <source>%1, read back from its storage, differs from the files packed from byte %2 on: the storage did not keep what was written.</source>
        <translation>%1 weicht, vom Speicher zurückgelesen, ab Byte %2 von den gepackten Dateien ab: Der Speicher hat nicht behalten, was geschrieben wurde.</translation>
    </message>
    <message>
        <source>Cannot read %1 back to check it: %2.</source>
        <translation>%1 kann zur Prüfung nicht zurückgelesen werden: %2.</translation>
    </message>
    <message>
        <source>%1 was packed, but checking it was cancelled, so the source files were kept.</source>
        <translation>%1 wurde gepackt, aber die Prüfung wurde abgebrochen; daher wurden die Quelldateien behalten.</translation>
    </message>
    <message>
        <source>There is not enough memory to go on.</source>
        <translation>Es ist nicht genug Speicher vorhanden, um fortzufahren.</translation>
    </message>
    <message>
        <source>Move this file to the trash?</source>
        <translation>Diese Datei in den Papierkorb verschieben?</translation>
    </message>
    <message>
        <source>Move these %1 files to the trash?</source>
        <translation>Diese %1 Dateien in den Papierkorb verschieben?</translation>
    </message>
    <message>
        <source>%1 (%2; it is in the trash, %3, and must be restored by hand)</source>
        <translation>%1 (%2; sie liegt im Papierkorb, %3, und muss von Hand wiederhergestellt werden)</translation>
    </message>
    <message>
        <source>%1 could not be moved to the trash (%2). It was left where it is.</source>
        <translation>%1 konnte nicht in den Papierkorb verschoben werden (%2). Die Datei blieb, wo sie ist.</translation>
    </message>
    <message>
        <source>This file could not be moved to the trash properly:<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>Diese Datei konnte nicht ordnungsgemäß in den Papierkorb verschoben werden:<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>These files could not be moved to the trash and were left where they are:<byte value="xd"/>
</source>
        <translation>Diese Dateien konnten nicht in den Papierkorb verschoben werden und blieben, wo sie sind:<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>The audio files have different sample rates or layers. A player may not play the joined file smoothly. Pack anyway?</source>
        <translation>Die Audiodateien haben unterschiedliche Abtastraten oder Layer. Ein Player spielt die verbundene Datei womöglich nicht ruckelfrei ab. Trotzdem packen?</translation>
    </message>
    <message>
        <source> These parts were copied as they were: %1.</source>
        <translation> Diese Teile wurden unverändert kopiert: %1.</translation>
    </message>
</context>
<context>
    <name>kt::PreferencesDialog</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Delete After Action</source>
        <translation>Löschen nach Aktion</translation>
    </message>
    <message>
        <source>Mpeg Compatibilty Check</source>
        <translation>MPEG-Kompatibilitätsprüfung</translation>
    </message>
    <message>
        <source>Seamless Join</source>
        <translation>Nahtlos verbinden</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Seite</translation>
    </message>
    <message>
        <source>The group of options shown below.</source>
        <translation>Die unten gezeigte Gruppe von Optionen.</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>Yes: the clocks of MPEG program streams run on across the parts, and the tags and VBR headers of later MP3 files are left out, so that players see one file of the right length.
No: the files are joined byte for byte.</source>
        <translation>Ja: Die Uhren von MPEG-Programmströmen laufen über die Teile hinweg weiter, und die Tags und VBR-Header späterer MP3-Dateien entfallen, sodass Player eine Datei der richtigen Länge sehen.
Nein: Die Dateien werden Byte für Byte verbunden.</translation>
    </message>
    <message>
        <source>Delete After Action:</source>
        <translation>Löschen nach Aktion:</translation>
    </message>
    <message>
        <source>Mpeg Compatibility Check:</source>
        <translation>MPEG-Kompatibilitätsprüfung:</translation>
    </message>
    <message>
        <source>Seamless Join:</source>
        <translation>Nahtlos verbinden:</translation>
    </message>
    <message>
        <source>Yes (Prompt)</source>
        <translation>Ja (mit Nachfrage)</translation>
    </message>
    <message>
        <source>Yes (No Prompt)</source>
        <translation>Ja (ohne Nachfrage)</translation>
    </message>
    <message>
        <source>What happens to the source files after a successful pack: they stay, or they go to the trash after a question, or without one.</source>
        <translation>Was nach erfolgreichem Packen mit den Quelldateien geschieht: Sie bleiben, oder sie kommen nach einer Nachfrage oder ohne Nachfrage in den Papierkorb.</translation>
    </message>
    <message>
        <source>Whether Pack checks that every video has the picture size and frame rate of the first.</source>
        <translation>Ob Packen prüft, dass jedes Video die Bildgröße und Bildrate des ersten hat.</translation>
    </message>
    <message>
        <source>&amp;Prev</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Weiter</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Shows the previous page of options.</source>
        <translation>Zeigt die vorige Seite der Optionen.</translation>
    </message>
    <message>
        <source>Shows the next page of options.</source>
        <translation>Zeigt die nächste Seite der Optionen.</translation>
    </message>
    <message>
        <source>Sets every option of this window to its default.</source>
        <translation>Setzt jede Option dieses Fensters auf ihren Standardwert.</translation>
    </message>
    <message>
        <source>Applies the options and closes the window.</source>
        <translation>Übernimmt die Optionen und schließt das Fenster.</translation>
    </message>
    <message>
        <source>Closes the window without changing the options.</source>
        <translation>Schließt das Fenster, ohne die Optionen zu ändern.</translation>
    </message>
    <message>
        <source>Are you sure you want to reset and restore all default settings?</source>
        <translation>Möchten Sie wirklich alle Einstellungen auf ihre Standardwerte zurücksetzen?</translation>
    </message>
</context>
<context>
    <name>kt::ProgressWindow</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>The time the pack still needs.</source>
        <translation>Die Zeit, die das Packen noch braucht.</translation>
    </message>
    <message>
        <source>How much of the pack is done.</source>
        <translation>Wie viel des Packens erledigt ist.</translation>
    </message>
    <message>
        <source>The file being packed or checked.</source>
        <translation>Die Datei, die gerade gepackt oder geprüft wird.</translation>
    </message>
    <message>
        <source>Stops packing; the part written so far stays.</source>
        <translation>Beendet das Packen; der bis dahin geschriebene Teil bleibt.</translation>
    </message>
    <message>
        <source>Packing progress</source>
        <translation>Fortschritt des Packens</translation>
    </message>
    <message>
        <source>The share of all files written, in percent.</source>
        <translation>Der geschriebene Anteil aller Dateien, in Prozent.</translation>
    </message>
    <message>
        <source>Packing &apos;%1&apos;</source>
        <translation>Packen: &apos;%1&apos;</translation>
    </message>
</context>
<context>
    <name>kt::SaveDialog</name>
    <message>
        <source>Save Pack File As</source>
        <translation>Gepackte Datei speichern unter</translation>
    </message>
</context>
<context>
    <name>kt::SeamlessPlan</name>
    <message>
        <source>damaged</source>
        <translation>beschädigt</translation>
    </message>
    <message>
        <source>changed size</source>
        <translation>Größe geändert</translation>
    </message>
    <message>
        <source>not an MPEG stream</source>
        <translation>kein MPEG-Strom</translation>
    </message>
</context>
<context>
    <name>kt::Shell</name>
    <message>
        <source>No program could be found to open &apos;%1&apos;. Set up a program for it in the desktop&apos;s settings and try again.</source>
        <translation>Es wurde kein Programm gefunden, das „%1“ öffnen kann. Richten Sie in den Einstellungen der Arbeitsumgebung ein Programm dafür ein und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>kt::Startup</name>
    <message>
        <source>cannot open a display: %1</source>
        <translation>Anzeige kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>DISPLAY and WAYLAND_DISPLAY are not set</source>
        <translation>DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt</translation>
    </message>
    <message>
        <source>no platform plugin could be started</source>
        <translation>kein Plattform-Plugin konnte gestartet werden</translation>
    </message>
    <message>
        <source>This program is already running!</source>
        <translation>Dieses Programm läuft bereits!</translation>
    </message>
    <message>
        <source>the open window did not take the files: %1</source>
        <translation>das geöffnete Fenster hat die Dateien nicht übernommen: %1</translation>
    </message>
    <message>
        <source>running without the single-instance guard: %1</source>
        <translation>läuft ohne Schutz gegen einen zweiten Start: %1</translation>
    </message>
    <message>
        <source>no lock at &apos;%1&apos;</source>
        <translation>keine Sperre unter &apos;%1&apos;</translation>
    </message>
    <message>
        <source>files from later starts cannot be received: %1</source>
        <translation>Dateien späterer Starts können nicht empfangen werden: %1</translation>
    </message>
    <message>
        <source>invalid option -- &apos;%1&apos;</source>
        <translation>ungültige Option -- &apos;%1&apos;</translation>
    </message>
    <message>
        <source>option &apos;--%1&apos; doesn&apos;t allow an argument</source>
        <translation>Option &apos;--%1&apos; erlaubt kein Argument</translation>
    </message>
    <message>
        <source>unrecognized option &apos;%1&apos;</source>
        <translation>unbekannte Option &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>ein Ordner</translation>
    </message>
    <message>
        <source>the name is not valid UTF-8</source>
        <translation>der Name ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>; for the file &apos;%1&apos; write &apos;./%1&apos; or put &apos;--&apos; before it</source>
        <translation>; für die Datei &apos;%1&apos; schreiben Sie &apos;./%1&apos; oder setzen Sie &apos;--&apos; davor</translation>
    </message>
    <message>
        <source>cannot add &apos;%1&apos;: %2</source>
        <translation>&apos;%1&apos; kann nicht hinzugefügt werden: %2</translation>
    </message>
    <message>
        <source>Usage: klivatarn [--] [FILE...]
Joins MPEG-1 video and MP3 or MP2 files into one, in a window.

Each FILE is added to the Pack List, in order, as File &gt; Add adds it. When the window
is open already, the files are handed to it and it comes to the front.

  --           end of options: what follows are files, even &apos;-x.mpg&apos;
  -h, --help   this text
  --version    the program and its version

Exit status: 0 the window was closed, or the files were handed to the open window
(or, without files, the open window was reported); 1 no display, or a second start
could not hand over every FILE; 2 usage error.
</source>
        <translation>Aufruf: klivatarn [--] [DATEI...]
Verbindet MPEG-1-Videos und MP3- oder MP2-Dateien in einem Fenster zu einer
Datei.

Jede DATEI kommt der Reihe nach in die Packliste, wie Datei &gt; Hinzufügen sie
hinzufügt. Ist das Fenster schon geöffnet, bekommt es die Dateien und kommt in
den Vordergrund.

  --           Ende der Optionen: was folgt, sind Dateien, auch &apos;-x.mpg&apos;
  -h, --help   dieser Text
  --version    das Programm und seine Version

Rückgabewert: 0 das Fenster wurde geschlossen, oder die Dateien wurden dem
geöffneten Fenster übergeben (oder, ohne Dateien, das geöffnete Fenster wurde
gemeldet); 1 keine Anzeige, oder ein zweiter Start konnte nicht jede DATEI
übergeben; 2 Aufruffehler.
</translation>
    </message>
</context>
<context>
    <name>kt::StreamDetails</name>
    <message>
        <source>MPEG-1 program stream</source>
        <translation>MPEG-1-Programmstrom</translation>
    </message>
    <message>
        <source>MPEG-2 program stream</source>
        <translation>MPEG-2-Programmstrom</translation>
    </message>
    <message>
        <source>MPEG-2 video elementary stream</source>
        <translation>MPEG-2-Video-Elementarstrom</translation>
    </message>
    <message>
        <source>MPEG-1 video elementary stream</source>
        <translation>MPEG-1-Video-Elementarstrom</translation>
    </message>
    <message>
        <source>MPEG-%1 audio layer %2, %3, %4 Hz, %5</source>
        <translation>MPEG-%1 Audio Layer %2, %3, %4 Hz, %5</translation>
    </message>
    <message>
        <source>mono</source>
        <translation>mono</translation>
    </message>
    <message>
        <source>stereo</source>
        <translation>stereo</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
</context>
<context>
    <name>kt::TechSupportDialog</name>
    <message>
        <source>Vantu Kliva Technical Support</source>
        <translation>Technischer Support für Vantu Kliva</translation>
    </message>
    <message>
        <source>Please check the below website for any updates and bugfixes.</source>
        <translation>Auf der folgenden Webseite finden Sie Aktualisierungen und Fehlerbehebungen.</translation>
    </message>
    <message>
        <source>Website:</source>
        <translation>Webseite:</translation>
    </message>
    <message>
        <source>You can submit bug reports to</source>
        <translation>Fehlerberichte senden Sie bitte an</translation>
    </message>
    <message>
        <source>Email:</source>
        <translation>E-Mail:</translation>
    </message>
    <message>
        <source>Support:</source>
        <translation>Kundendienst:</translation>
    </message>
</context>
<context>
    <name>kt::TipOfTheDay</name>
    <message>
        <source>Vantu Kliva TARN Tip of the Day</source>
        <translation>Vantu Kliva TARN – Tipp des Tages</translation>
    </message>
    <message>
        <source>Did you know...</source>
        <translation>Wussten Sie schon...</translation>
    </message>
    <message>
        <source>Tip</source>
        <translation>Tipp</translation>
    </message>
    <message>
        <source>&amp;Next Tip</source>
        <translation>&amp;Nächster Tipp</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>&amp;Show Tips at Startup</source>
        <translation>Tipps beim &amp;Start anzeigen</translation>
    </message>
</context>
<context>
    <name>kt::Tips</name>
    <message>
        <source>That the %1 file was not found? </source>
        <translation>Dass die Datei %1 nicht gefunden wurde? </translation>
    </message>
    <message>
        <source>tod.ctd</source>
        <comment>the name of the tips file in this language, beside the English tod.ctd</comment>
        <translation>tod_de.ctd</translation>
    </message>
</context>
<context>
    <name>kt::Toolbar</name>
    <message>
        <source>Add file(s)... (multiple selection possible)</source>
        <translation>Datei(en) hinzufügen... (Mehrfachauswahl möglich)</translation>
    </message>
    <message>
        <source>Remove selected file(s).</source>
        <translation>Ausgewählte Datei(en) entfernen.</translation>
    </message>
    <message>
        <source>Move selected file(s) up.</source>
        <translation>Ausgewählte Datei(en) nach oben verschieben.</translation>
    </message>
    <message>
        <source>Move selected file(s) down.</source>
        <translation>Ausgewählte Datei(en) nach unten verschieben.</translation>
    </message>
    <message>
        <source>Pack files...</source>
        <translation>Dateien packen...</translation>
    </message>
    <message>
        <source>Configure options.</source>
        <translation>Optionen einstellen.</translation>
    </message>
    <message>
        <source>Launch help file.</source>
        <translation>Hilfedatei öffnen.</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Add file(s) to Pack List...</source>
        <translation>Datei(en) zur Packliste hinzufügen...</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Remove selected file(s) from Pack List</source>
        <translation>Ausgewählte Datei(en) aus der Packliste entfernen</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Hoch</translation>
    </message>
    <message>
        <source>Move selected file(s) up in Pack List</source>
        <translation>Ausgewählte Datei(en) in der Packliste nach oben verschieben</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Runter</translation>
    </message>
    <message>
        <source>Move selected file(s) down in Pack List</source>
        <translation>Ausgewählte Datei(en) in der Packliste nach unten verschieben</translation>
    </message>
    <message>
        <source>Pack</source>
        <translation>Packen</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Configure options</source>
        <translation>Optionen einstellen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Launch help file</source>
        <translation>Hilfedatei öffnen</translation>
    </message>
    <message>
        <source>Awaiting for job...</source>
        <translation>Warte auf Auftrag...</translation>
    </message>
</context>
<context>
    <name>kt::Trash</name>
    <message>
        <source>unknown error</source>
        <translation>unbekannter Fehler</translation>
    </message>
    <message>
        <source>no trash record could be found for it</source>
        <translation>kein Papierkorb-Eintrag dafür gefunden</translation>
    </message>
    <message>
        <source>its trash record could not be written</source>
        <translation>ihr Papierkorb-Eintrag konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>it is no longer the file that was packed</source>
        <translation>sie ist nicht mehr die Datei, die gepackt wurde</translation>
    </message>
    <message>
        <source>GIO (libgio-2.0.so.0) cannot be loaded</source>
        <translation>GIO (libgio-2.0.so.0) kann nicht geladen werden</translation>
    </message>
    <message>
        <source>it changed as it was being moved to the trash; it was put back</source>
        <translation>sie hat sich beim Verschieben in den Papierkorb geändert; sie wurde zurückgelegt</translation>
    </message>
    <message>
        <source>its trash record could not be saved to disk</source>
        <translation>ihr Papierkorb-Eintrag konnte nicht auf den Datenträger gesichert werden</translation>
    </message>
    <message>
        <source>there was not enough memory to go on</source>
        <translation>es war nicht genug Speicher vorhanden, um fortzufahren</translation>
    </message>
    <message>
        <source>another file took its place as it was being moved to the trash; that file was put back</source>
        <translation>eine andere Datei trat beim Verschieben in den Papierkorb an ihre Stelle; jene Datei wurde zurückgelegt</translation>
    </message>
</context>
<context>
    <name>kt::cli::Packer</name>
    <message>
        <source>Packing %1</source>
        <translation>%1 wird gepackt</translation>
    </message>
    <message>
        <source>%1 already exists. Do you want to replace it?</source>
        <translation>%1 existiert bereits. Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>option %1 requires an argument</source>
        <translation>Option %1 erfordert ein Argument</translation>
    </message>
    <message>
        <source>option requires an argument -- %1</source>
        <translation>Option erfordert ein Argument -- %1</translation>
    </message>
    <message>
        <source>invalid option -- %1</source>
        <translation>ungültige Option -- %1</translation>
    </message>
    <message>
        <source>option %1 doesn&apos;t allow an argument</source>
        <translation>Option %1 erlaubt kein Argument</translation>
    </message>
    <message>
        <source>option %1 is ambiguous; possibilities: %2</source>
        <translation>Option %1 ist mehrdeutig; Möglichkeiten: %2</translation>
    </message>
    <message>
        <source>unrecognized option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>; for the file %1, put &apos;--&apos; before it or write %2</source>
        <translation>; für die Datei %1 setzen Sie &apos;--&apos; davor oder schreiben Sie %2</translation>
    </message>
    <message>
        <source>--info needs at least one file</source>
        <translation>--info braucht mindestens eine Datei</translation>
    </message>
    <message>
        <source>-z (--null) goes with --info only</source>
        <translation>-z (--null) gibt es nur zusammen mit --info</translation>
    </message>
    <message>
        <source>the output file is missing (-o OUTPUT)</source>
        <translation>die Ausgabedatei fehlt (-o AUSGABE)</translation>
    </message>
    <message>
        <source>--yes and --no exclude each other</source>
        <translation>--yes und --no schließen einander aus</translation>
    </message>
    <message>
        <source>--trash and --trash-prompt exclude each other</source>
        <translation>--trash und --trash-prompt schließen einander aus</translation>
    </message>
    <message>
        <source>unknown rate %1 (slow, normal, fast, ufast)</source>
        <translation>unbekannte Rate %1 (slow, normal, fast, ufast)</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>%1 cannot be packed: its name is not valid UTF-8.</source>
        <translation>%1 kann nicht gepackt werden: Der Name ist kein gültiges UTF-8.</translation>
    </message>
    <message>
        <source>%1 cannot be packed: the current folder cannot be found (%2).</source>
        <translation>%1 kann nicht gepackt werden: Der aktuelle Ordner ist nicht auffindbar (%2).</translation>
    </message>
    <message>
        <source>%1 is a folder; -o needs the name of a file.</source>
        <translation>%1 ist ein Ordner; -o braucht den Namen einer Datei.</translation>
    </message>
    <message>
        <source>Packing aborted: the question &quot;%1&quot; was not answered.</source>
        <translation>Packen abgebrochen: Die Frage „%1“ wurde nicht beantwortet.</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>abbrechen</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no answer: %1</source>
        <translation>keine Antwort: %1</translation>
    </message>
    <message>
        <source>[y/N] </source>
        <translation>[j/N] </translation>
    </message>
    <message>
        <source>[r]etry/[C]ancel </source>
        <translation>[w]iederholen/[A]bbrechen </translation>
    </message>
    <message>
        <source>y</source>
        <comment>short for yes</comment>
        <translation>j</translation>
    </message>
    <message>
        <source>r</source>
        <comment>short for retry</comment>
        <translation>w</translation>
    </message>
    <message>
        <source>retry</source>
        <translation>wiederholen</translation>
    </message>
    <message>
        <source>Try &apos;klivatarn-pack --help&apos; for more information.</source>
        <translation>„klivatarn-pack --help“ gibt weitere Informationen.</translation>
    </message>
    <message>
        <source>--info takes no other option than -z, --json and --</source>
        <translation>--info nimmt keine anderen Optionen als -z, --json und --</translation>
    </message>
    <message>
        <source>-z (--null) and --json exclude each other</source>
        <translation>-z (--null) und --json schließen einander aus</translation>
    </message>
    <message>
        <source>--json goes with --info only</source>
        <translation>--json gilt nur zusammen mit --info</translation>
    </message>
    <message>
        <source>Usage: klivatarn-pack --info [-z | --json] FILE...
       klivatarn-pack -o OUTPUT [options] [--] SOURCE...

Joins the SOURCE files, in order, byte for byte into OUTPUT after the checks of the
pack command. Messages and questions go to stderr.

  -o, --output=OUTPUT  the file to write (also -oOUTPUT, --output OUTPUT)
      --force          replace an existing OUTPUT without asking
      --yes, --no      answer every Yes/No question (--no: Cancel to Retry/Cancel
                       too); else asked on a terminal, and without one a question
                       takes No or Cancel (status 3 when that stops the pack)
      --rate=RATE      slow, normal, fast (default) or ufast (also --rate RATE)
      --no-mpeg-check  skip the MPEG validity and compatibility check
      --seamless       Seamless Join: clocks continue across MPEG program-stream
                       parts, inner MP3 tags and VBR headers are left out (off by
                       default)
      --trash          move the sources to the trash after a successful pack
      --trash-prompt   the same after one question
      --info           describe each FILE: path, video size, frame rate, with TABs
                       between; control characters and &apos;\&apos; in the path are
                       escaped (\t, \n, \\, \033)
  -z, --null           with --info: end each row with NUL, the path unescaped
      --json           with --info: one JSON array, an object per FILE: path,
                       bytes, kind, width, height, frame_rate, duration (seconds),
                       bit_rate, sample_rate, channels (null when not known)
  -h, --help           this text
      --version        the program and its version
  --                   end of options: what follows are files, even &apos;-x.mpg&apos;

Long options may be abbreviated while unambiguous (--out=FILE, --vers).
A name with control characters is quoted in messages as for the shell: &apos;a&apos;$&apos;\n&apos;&apos;b&apos;.
Ctrl-C while packing cancels and leaves the part written so far.
Exit status: 0 packed (or every file described), 1 refused or failed,
2 usage error, 3 a question without an answer stopped the pack, 4 packed but a
source meant for the trash stayed where it was, 130 cancelled.
</source>
        <translation>Aufruf: klivatarn-pack --info [-z | --json] DATEI...
        klivatarn-pack -o AUSGABE [Optionen] [--] QUELLE...

Verbindet die QUELLE-Dateien der Reihe nach Byte für Byte zu AUSGABE, nach den
Prüfungen des Pack-Befehls. Meldungen und Fragen gehen an stderr.

  -o, --output=AUSGABE  die zu schreibende Datei (auch -oAUSGABE,
                        --output AUSGABE)
      --force           eine vorhandene AUSGABE ohne Nachfrage ersetzen
      --yes, --no       jede Ja/Nein-Frage beantworten (--no: auch Abbrechen
                        bei Wiederholen/Abbrechen); sonst wird am Terminal
                        gefragt, und ohne Terminal nimmt eine Frage Nein oder
                        Abbrechen (Status 3, wenn das den Vorgang beendet)
      --rate=RATE       slow, normal, fast (Vorgabe) oder ufast
                        (auch --rate RATE)
      --no-mpeg-check   die Prüfung der MPEG-Gültigkeit und -Kompatibilität
                        auslassen
      --seamless        Nahtlos verbinden: Uhren laufen über die Teile von MPEG-
                        Programmströmen weiter, innere MP3-Tags und VBR-Header
                        entfallen (standardmäßig aus)
      --trash           die Quellen nach erfolgreichem Packen in den Papierkorb
                        verschieben
      --trash-prompt    dasselbe nach einer Nachfrage
      --info            jede DATEI beschreiben: Pfad, Bildgröße, Bildrate, durch
                        TABs getrennt; Steuerzeichen und &apos;\&apos; im Pfad werden
                        maskiert (\t, \n, \\, \033)
  -z, --null            mit --info: jede Zeile mit NUL beenden, den Pfad
                        unmaskiert
      --json            mit --info: ein JSON-Array, ein Objekt je DATEI: path,
                        bytes, kind, width, height, frame_rate, duration
                        (Sekunden), bit_rate, sample_rate, channels (null, wenn
                        unbekannt)
  -h, --help            dieser Text
      --version         das Programm und seine Version
  --                    Ende der Optionen: was folgt, sind Dateien, auch
                        &apos;-x.mpg&apos;

Lange Optionen dürfen abgekürzt werden, solange sie eindeutig sind
(--out=DATEI, --vers).
Namen mit Steuerzeichen stehen in Meldungen wie für die Shell: &apos;a&apos;$&apos;\n&apos;&apos;b&apos;.
Strg-C während des Packens bricht ab; der bis dahin geschriebene Teil bleibt.
Rückgabewert: 0 gepackt (oder jede Datei beschrieben), 1 abgelehnt oder
fehlgeschlagen, 2 Aufruffehler, 3 eine unbeantwortete Frage hat den Vorgang
beendet, 4 gepackt, aber eine Quelle für den Papierkorb blieb, wo sie war,
130 abgebrochen.
</translation>
    </message>
</context>
</TS>
