<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>About</name>
    <message>
        <source>No module player found: click here to get xmp, then you will hear the music!</source>
        <translation>Kein Modul-Player gefunden: hier klicken, um xmp zu holen, dann hören Sie die Musik!</translation>
    </message>
    <message>
        <source>This little utility allows</source>
        <translation>Mit diesem kleinen Werkzeug</translation>
    </message>
    <message>
        <source>you to change MP3 tags for</source>
        <translation>ändern Sie die MP3-Tags</translation>
    </message>
    <message>
        <source>loads of mp3&apos;s at once.</source>
        <translation>vieler MP3s auf einmal.</translation>
    </message>
    <message>
        <source>Read whatsnew.txt to see</source>
        <translation>Lesen Sie whatsnew.txt, um</translation>
    </message>
    <message>
        <source>what is new in this version.</source>
        <translation>die Neuerungen zu sehen.</translation>
    </message>
    <message>
        <source>Veltrane is freeware:</source>
        <translation>Veltrane ist Freeware:</translation>
    </message>
    <message>
        <source>use it and pass it on</source>
        <translation>Benutzen und weitergeben</translation>
    </message>
    <message>
        <source>as much as you like.</source>
        <translation>so viel Sie möchten.</translation>
    </message>
    <message>
        <source>THIS SOFTWARE COMES WITHOUT</source>
        <translation>DIESE SOFTWARE KOMMT OHNE</translation>
    </message>
    <message>
        <source>ANY WARRANTY. YOU USE IT AT</source>
        <translation>JEDE GEWÄHRLEISTUNG.</translation>
    </message>
    <message>
        <source>YOUR OWN RISK.</source>
        <translation>BENUTZUNG AUF EIGENE GEFAHR.</translation>
    </message>
    <message>
        <source>Thanks go to the makers of</source>
        <translation>Dank an die Macher von</translation>
    </message>
    <message>
        <source>Qt, GLib and GIO,</source>
        <translation>Qt, GLib und GIO,</translation>
    </message>
    <message>
        <source>PulseAudio and libpulse,</source>
        <translation>PulseAudio und libpulse,</translation>
    </message>
    <message>
        <source>GoogleTest, CMake and Ninja,</source>
        <translation>GoogleTest, CMake und Ninja,</translation>
    </message>
    <message>
        <source>GCC and Clang,</source>
        <translation>GCC und Clang,</translation>
    </message>
    <message>
        <source>shared-mime-info,</source>
        <translation>shared-mime-info,</translation>
    </message>
    <message>
        <source>the Adwaita icons,</source>
        <translation>den Adwaita-Symbolen,</translation>
    </message>
    <message>
        <source>the Comic Neue font</source>
        <translation>der Schrift Comic Neue</translation>
    </message>
    <message>
        <source>and the module players</source>
        <translation>und den Modul-Playern</translation>
    </message>
    <message>
        <source>xmp and openmpt123.</source>
        <translation>xmp und openmpt123.</translation>
    </message>
    <message>
        <source>You only hear the music</source>
        <translation>Die Musik hören Sie nur,</translation>
    </message>
    <message>
        <source>when a module player is</source>
        <translation>wenn ein Modul-Player für</translation>
    </message>
    <message>
        <source>registered for .mod files.</source>
        <translation>.mod-Dateien registriert ist.</translation>
    </message>
    <message>
        <source>Questions, ideas and bugs:</source>
        <translation>Fragen, Ideen und Fehler:</translation>
    </message>
    <message>
        <source>see README.md in Veltrane&apos;s</source>
        <translation>In README.md im Quellbaum</translation>
    </message>
    <message>
        <source>The web browser could not be started. To get a module player, visit %1</source>
        <translation>Der Webbrowser konnte nicht gestartet werden. Einen Modul-Player finden Sie unter %1</translation>
    </message>
    <message>
        <source>No web browser is registered for web pages. To get a module player, visit %1</source>
        <translation>Für Webseiten ist kein Webbrowser registriert. Einen Modul-Player finden Sie unter %1</translation>
    </message>
</context>
<context>
    <name>ChangePreview</name>
    <message>
        <source>%1 in %2</source>
        <translation>%1 in %2</translation>
    </message>
    <message>
        <source>%1 change</source>
        <translation>%1 Änderung</translation>
    </message>
    <message>
        <source>%1 changes</source>
        <translation>%1 Änderungen</translation>
    </message>
    <message>
        <source>%1 file</source>
        <translation>%1 Datei</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>%1 file unchanged</source>
        <translation>%1 Datei unverändert</translation>
    </message>
    <message>
        <source>%1 files unchanged</source>
        <translation>%1 Dateien unverändert</translation>
    </message>
    <message>
        <source>%1 row cannot be done</source>
        <translation>%1 Zeile nicht ausführbar</translation>
    </message>
    <message>
        <source>%1 rows cannot be done</source>
        <translation>%1 Zeilen nicht ausführbar</translation>
    </message>
    <message>
        <source>%1 row with a warning</source>
        <translation>%1 Zeile mit Warnung</translation>
    </message>
    <message>
        <source>%1 rows with a warning</source>
        <translation>%1 Zeilen mit Warnung</translation>
    </message>
    <message>
        <source>title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>genre</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>track</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>more pieces than fields</source>
        <translation>mehr Teile als Felder</translation>
    </message>
    <message>
        <source>the format names no field</source>
        <translation>das Format nennt kein Feld</translation>
    </message>
    <message>
        <source>the file has no tag</source>
        <translation>die Datei hat kein Tag</translation>
    </message>
    <message>
        <source>the name would be empty</source>
        <translation>der Name wäre leer</translation>
    </message>
    <message>
        <source>a file of that name exists</source>
        <translation>eine Datei dieses Namens existiert</translation>
    </message>
    <message>
        <source>an earlier file of this run takes that name</source>
        <translation>eine frühere Datei dieses Laufs erhält diesen Namen</translation>
    </message>
    <message>
        <source>the comment is cut to 28 characters</source>
        <translation>der Kommentar wird auf 28 Zeichen gekürzt</translation>
    </message>
    <message>
        <source>not a track number from 1 to 255; the track is left as it is</source>
        <translation>keine Tracknummer von 1 bis 255; der Track bleibt unverändert</translation>
    </message>
    <message>
        <source>more pieces than fields: &quot;%1&quot; is not used</source>
        <translation>mehr Teile als Felder: „%1“ wird nicht verwendet</translation>
    </message>
    <message>
        <source>cut to 30 bytes</source>
        <translation>auf 30 Bytes gekürzt</translation>
    </message>
    <message>
        <source>cut to 28 bytes</source>
        <translation>auf 28 Bytes gekürzt</translation>
    </message>
    <message>
        <source>cut to 4 bytes</source>
        <translation>auf 4 Bytes gekürzt</translation>
    </message>
    <message>
        <source>the pattern hit PCRE2&apos;s match limit, the file is left as it is</source>
        <translation>das Muster erreichte die Suchgrenze von PCRE2, die Datei bleibt, wie sie ist</translation>
    </message>
</context>
<context>
    <name>CodePageCheck</name>
    <message>
        <source>The tag&apos;s code page (%1) cannot hold these characters; they will be saved as &quot;?&quot;:</source>
        <translation>Die Codepage des Tags (%1) kann diese Zeichen nicht darstellen; sie werden als „?“ gespeichert:</translation>
    </message>
    <message>
        <source>Save anyway?</source>
        <translation>Trotzdem speichern?</translation>
    </message>
    <message>
        <source>In the tags of these files, characters the tag&apos;s code page cannot hold were saved as &quot;?&quot;:</source>
        <translation>In den Tags dieser Dateien wurden Zeichen, die die Codepage des Tags nicht darstellen kann, als „?“ gespeichert:</translation>
    </message>
    <message>
        <source>In the tags of these files the comment was cut to 28 characters to make room for the track number:</source>
        <translation>In den Tags dieser Dateien wurde der Kommentar auf 28 Zeichen gekürzt, um Platz für die Tracknummer zu schaffen:</translation>
    </message>
    <message>
        <source>In the names of these files the track is not a number from 1 to 255; their tracks were left as they were:</source>
        <translation>In den Namen dieser Dateien ist der Track keine Zahl von 1 bis 255; ihre Tracks blieben unverändert:</translation>
    </message>
    <message>
        <source>becomes &quot;?&quot;: %1</source>
        <translation>wird zu „?“: %1</translation>
    </message>
    <message>
        <source>cut after %1 characters: &quot;%2&quot; is left out</source>
        <translation>nach %1 Zeichen gekürzt: „%2“ entfällt</translation>
    </message>
    <message>
        <source>The names of these files have more pieces than fields; the rest of each name was not used:</source>
        <translation>Die Namen dieser Dateien haben mehr Teile als Felder; der Rest jedes Namens wurde nicht verwendet:</translation>
    </message>
    <message>
        <source>Code page: %1</source>
        <translation>Codepage: %1</translation>
    </message>
    <message>
        <source>Code pages: %1</source>
        <translation>Codepages: %1</translation>
    </message>
</context>
<context>
    <name>CodePageChoice</name>
    <message>
        <source>Automatic (per file)</source>
        <translation>Automatisch (je Datei)</translation>
    </message>
    <message>
        <source>%1 (this system&apos;s)</source>
        <translation>%1 (die dieses Systems)</translation>
    </message>
    <message>
        <source>Tags here look like %1: Preferences, More, Tag code page.</source>
        <translation>Die Tags hier sehen nach %1 aus: Einstellungen, Weitere, Codepage der Tags.</translation>
    </message>
    <message>
        <source>Arabic (Windows-1256)</source>
        <translation>Arabisch (Windows-1256)</translation>
    </message>
    <message>
        <source>Baltic (Windows-1257)</source>
        <translation>Baltisch (Windows-1257)</translation>
    </message>
    <message>
        <source>Central European (Windows-1250)</source>
        <translation>Mitteleuropäisch (Windows-1250)</translation>
    </message>
    <message>
        <source>Central European (ISO-8859-2)</source>
        <translation>Mitteleuropäisch (ISO-8859-2)</translation>
    </message>
    <message>
        <source>Chinese Simplified (GBK)</source>
        <translation>Chinesisch vereinfacht (GBK)</translation>
    </message>
    <message>
        <source>Chinese Traditional (Big5)</source>
        <translation>Chinesisch traditionell (Big5)</translation>
    </message>
    <message>
        <source>Cyrillic (Windows-1251)</source>
        <translation>Kyrillisch (Windows-1251)</translation>
    </message>
    <message>
        <source>Cyrillic (KOI8-R)</source>
        <translation>Kyrillisch (KOI8-R)</translation>
    </message>
    <message>
        <source>Cyrillic (KOI8-U)</source>
        <translation>Kyrillisch (KOI8-U)</translation>
    </message>
    <message>
        <source>Cyrillic (DOS 866)</source>
        <translation>Kyrillisch (DOS 866)</translation>
    </message>
    <message>
        <source>Greek (Windows-1253)</source>
        <translation>Griechisch (Windows-1253)</translation>
    </message>
    <message>
        <source>Hebrew (Windows-1255)</source>
        <translation>Hebräisch (Windows-1255)</translation>
    </message>
    <message>
        <source>Japanese (Shift_JIS)</source>
        <translation>Japanisch (Shift_JIS)</translation>
    </message>
    <message>
        <source>Korean (UHC)</source>
        <translation>Koreanisch (UHC)</translation>
    </message>
    <message>
        <source>Thai (Windows-874)</source>
        <translation>Thailändisch (Windows-874)</translation>
    </message>
    <message>
        <source>Turkish (Windows-1254)</source>
        <translation>Türkisch (Windows-1254)</translation>
    </message>
    <message>
        <source>Unicode (UTF-8)</source>
        <translation>Unicode (UTF-8)</translation>
    </message>
    <message>
        <source>Vietnamese (Windows-1258)</source>
        <translation>Vietnamesisch (Windows-1258)</translation>
    </message>
    <message>
        <source>Western European (Windows-1252)</source>
        <translation>Westeuropäisch (Windows-1252)</translation>
    </message>
    <message>
        <source>Western European (ISO-8859-1)</source>
        <translation>Westeuropäisch (ISO-8859-1)</translation>
    </message>
    <message>
        <source>Western European (ISO-8859-15)</source>
        <translation>Westeuropäisch (ISO-8859-15)</translation>
    </message>
</context>
<context>
    <name>ErrorText</name>
    <message>
        <source>... and %1 more</source>
        <translation>... und %1 weitere</translation>
    </message>
</context>
<context>
    <name>FileList</name>
    <message>
        <source>Reading %1 files...</source>
        <translation>%1 Dateien werden gelesen...</translation>
    </message>
    <message>
        <source>Sorting %1 items...</source>
        <translation>%1 Einträge werden sortiert...</translation>
    </message>
</context>
<context>
    <name>FileOp</name>
    <message>
        <source>This file could not be handled:</source>
        <translation>Diese Datei konnte nicht bearbeitet werden:</translation>
    </message>
    <message>
        <source>These files could not be handled:</source>
        <translation>Diese Dateien konnten nicht bearbeitet werden:</translation>
    </message>
</context>
<context>
    <name>FillFromId3v2</name>
    <message>
        <source>Filling %1 tags, please wait...</source>
        <translation>%1 Tags werden gefüllt, bitte warten...</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>ID3v1 tags filled from ID3v2 in %1.</source>
        <translation>ID3v1-Tags aus ID3v2 gefüllt in %1.</translation>
    </message>
    <message>
        <source>%1 had nothing to fill.</source>
        <translation>%1: nichts zu füllen.</translation>
    </message>
    <message>
        <source>These files could not be filled:</source>
        <translation>Diese Dateien konnten nicht gefüllt werden:</translation>
    </message>
    <message>
        <source>Cut to the ID3v1 field widths (30 bytes, 28 for a comment beside a track):</source>
        <translation>Auf die ID3v1-Feldbreiten gekürzt (30 Bytes, 28 für einen Kommentar neben einem Track):</translation>
    </message>
    <message>
        <source>Characters the tag&apos;s code page cannot hold were saved as &quot;?&quot;:</source>
        <translation>Zeichen, die die Codepage des Tags nicht darstellen kann, wurden als „?“ gespeichert:</translation>
    </message>
    <message>
        <source>Genres not in the genre table; the genre was left as it was:</source>
        <translation>Genres, die nicht in der Genretabelle stehen; das Genre blieb unverändert:</translation>
    </message>
    <message>
        <source>Tracks that are no number from 1 to 255; the track was left as it was:</source>
        <translation>Tracks, die keine Zahl von 1 bis 255 sind; der Track blieb unverändert:</translation>
    </message>
</context>
<context>
    <name>FindFile</name>
    <message>
        <source>dangling symbolic link</source>
        <translation>symbolische Verknüpfung ohne Ziel</translation>
    </message>
    <message>
        <source>symbolic link loop</source>
        <translation>Schleife symbolischer Verknüpfungen</translation>
    </message>
    <message>
        <source>These entries could not be read and are not listed:
</source>
        <translation>Diese Einträge konnten nicht gelesen werden und werden nicht aufgeführt:
</translation>
    </message>
</context>
<context>
    <name>HelpTexts</name>
    <message>
        <source>Show/hide change directory window</source>
        <translation>Fenster „Verzeichnis wechseln“ zeigen/verbergen</translation>
    </message>
    <message>
        <source>This buttons opens the change directory window.</source>
        <translation>Diese Schaltfläche öffnet das Fenster zum Wechseln des Verzeichnisses.</translation>
    </message>
    <message>
        <source>You can leave this windows open if you want.</source>
        <translation>Sie können dieses Fenster geöffnet lassen, wenn Sie möchten.</translation>
    </message>
    <message>
        <source>Current directory</source>
        <translation>Aktuelles Verzeichnis</translation>
    </message>
    <message>
        <source>This edit shows the current directory you&apos;re in. You can change this by either type another directory here, or use the Change Directory window by clicking the button left of this edit.</source>
        <translation>Dieses Feld zeigt das aktuelle Verzeichnis. Sie können es ändern, indem Sie hier ein anderes Verzeichnis eingeben oder über die Schaltfläche links neben diesem Feld das Fenster „Verzeichnis wechseln“ öffnen.</translation>
    </message>
    <message>
        <source>Refresh (F5)</source>
        <translation>Aktualisieren (F5)</translation>
    </message>
    <message>
        <source>With this button you can force the program to reload the current directory.</source>
        <translation>Mit dieser Schaltfläche lädt das Programm das aktuelle Verzeichnis neu.</translation>
    </message>
    <message>
        <source>Select file(s) (+)</source>
        <translation>Datei(en) auswählen (+)</translation>
    </message>
    <message>
        <source>With this button you can select MP3 files in the current list by entering text they contain.</source>
        <translation>Mit dieser Schaltfläche wählen Sie MP3-Dateien der aktuellen Liste aus, indem Sie einen Text eingeben, den sie enthalten.</translation>
    </message>
    <message>
        <source>i.e. select all files which contain the string &apos;no doubt&apos;</source>
        <translation>z. B. alle Dateien auswählen, die die Zeichenfolge &apos;no doubt&apos; enthalten</translation>
    </message>
    <message>
        <source>Deselect file(s) (-)</source>
        <translation>Auswahl von Datei(en) aufheben (-)</translation>
    </message>
    <message>
        <source>With this button you can deselect MP3 files in the current list by entering text they contain.</source>
        <translation>Mit dieser Schaltfläche heben Sie die Auswahl von MP3-Dateien der aktuellen Liste auf, indem Sie einen Text eingeben, den sie enthalten.</translation>
    </message>
    <message>
        <source>i.e. deselect all files which contain the string &apos;no doubt&apos;</source>
        <translation>z. B. die Auswahl aller Dateien aufheben, die die Zeichenfolge &apos;no doubt&apos; enthalten</translation>
    </message>
    <message>
        <source>Edit selected mp3&apos;s</source>
        <translation>Ausgewählte MP3s bearbeiten</translation>
    </message>
    <message>
        <source>Use this to edit properties for the selected files.</source>
        <translation>Hiermit bearbeiten Sie Eigenschaften der ausgewählten Dateien.</translation>
    </message>
    <message>
        <source>i.e. change the album name for all the selected songs, but keep all the artistnames etc.</source>
        <translation>z. B. den Albumnamen aller ausgewählten Titel ändern, aber die Namen der Interpreten usw. beibehalten.</translation>
    </message>
    <message>
        <source>Rename selected file (F2)</source>
        <translation>Ausgewählte Datei umbenennen (F2)</translation>
    </message>
    <message>
        <source>Here you can rename one of more files by entering a new name, or derive it from the tags.</source>
        <translation>Hier benennen Sie eine oder mehrere Dateien um, indem Sie einen neuen Namen eingeben oder ihn aus den Tags ableiten.</translation>
    </message>
    <message>
        <source>i.e. rename all selected files using the artistnames and songnames</source>
        <translation>z. B. alle ausgewählten Dateien nach Interpret und Titel umbenennen</translation>
    </message>
    <message>
        <source>Playlist Editor</source>
        <translation>Playlist-Editor</translation>
    </message>
    <message>
        <source>Opens a new Winamp playlist, and puts all the selected MP3s in it.</source>
        <translation>Öffnet eine neue Winamp-Playlist und fügt alle ausgewählten MP3s hinzu.</translation>
    </message>
    <message>
        <source>Read ID3 tags from filename</source>
        <translation>ID3-Tags aus dem Dateinamen lesen</translation>
    </message>
    <message>
        <source>Fill in ID3 tags according to the filename.</source>
        <translation>Füllt die ID3-Tags anhand des Dateinamens aus.</translation>
    </message>
    <message>
        <source>Play selected MP3 (Ctrl-Enter)</source>
        <translation>Ausgewählte MP3 abspielen (Strg-Eingabe)</translation>
    </message>
    <message>
        <source>This button plays the selected MP3 file.</source>
        <translation>Diese Schaltfläche spielt die ausgewählte MP3-Datei ab.</translation>
    </message>
    <message>
        <source>note: works only if your MP3 file type is registered!</source>
        <translation>Hinweis: funktioniert nur, wenn Ihr MP3-Dateityp registriert ist!</translation>
    </message>
    <message>
        <source>Subdir mode</source>
        <translation>Unterverzeichnis-Modus</translation>
    </message>
    <message>
        <source>When this option is enabled, Veltrane searches all sub-dirs from the current dir for MP3s</source>
        <translation>Ist diese Option eingeschaltet, durchsucht Veltrane alle Unterverzeichnisse des aktuellen Verzeichnisses nach MP3s</translation>
    </message>
    <message>
        <source>Delete selected files (Del)</source>
        <translation>Ausgewählte Dateien löschen (Entf)</translation>
    </message>
    <message>
        <source>Deletes the selected MP3 files. Files are actually deleted or moved to the recycle bin depending on the settings in the preferences window.</source>
        <translation>Löscht die ausgewählten MP3-Dateien. Je nach Einstellung im Fenster „Einstellungen“ werden die Dateien endgültig gelöscht oder in den Papierkorb verschoben.</translation>
    </message>
    <message>
        <source>Show help</source>
        <translation>Hilfe anzeigen</translation>
    </message>
    <message>
        <source>Shows this help windows, you can keep this windows visible if you want, or you close it by either clicking the help button again, or clicking the &apos;close help&apos; button.</source>
        <translation>Zeigt dieses Hilfefenster. Sie können es geöffnet lassen oder schließen, indem Sie erneut auf die Hilfe-Schaltfläche oder auf &apos;Hilfe schließen&apos; klicken.</translation>
    </message>
    <message>
        <source>About this program</source>
        <translation>Über dieses Programm</translation>
    </message>
    <message>
        <source>Shows some blah about this program.</source>
        <translation>Zeigt ein bisschen Bla über dieses Programm.</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Opens the preferences window, here you can set things like default startup dir, whether to delete to the recycle bin or not, and more.</source>
        <translation>Öffnet das Fenster „Einstellungen“. Dort legen Sie etwa das Startverzeichnis fest, ob in den Papierkorb gelöscht wird, und mehr.</translation>
    </message>
    <message>
        <source>Close the program</source>
        <translation>Programm beenden</translation>
    </message>
    <message>
        <source>Closes the program --&gt; do I need to say more?</source>
        <translation>Beendet das Programm --&gt; muss ich noch mehr sagen?</translation>
    </message>
    <message>
        <source>Help on help</source>
        <translation>Hilfe zur Hilfe</translation>
    </message>
    <message>
        <source>Move your mouse over the button you&apos;d like to know more about.</source>
        <translation>Bewegen Sie die Maus über die Schaltfläche, über die Sie mehr erfahren möchten.</translation>
    </message>
    <message>
        <source>Opens the playlist editor, and puts the selected MP3&apos;s in a new playlist.</source>
        <translation>Öffnet den Playlist-Editor und fügt die ausgewählten MP3s in eine neue Playlist ein.</translation>
    </message>
</context>
<context>
    <name>InOutError</name>
    <message>
        <source>File not found</source>
        <translation>Datei nicht gefunden</translation>
    </message>
    <message>
        <source>Invalid filename</source>
        <translation>Ungültiger Dateiname</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Zu viele offene Dateien</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>Dateizugriff verweigert</translation>
    </message>
    <message>
        <source>Read beyond end of file</source>
        <translation>Lesen über das Dateiende hinaus</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Datenträger voll</translation>
    </message>
    <message>
        <source>Invalid numeric input</source>
        <translation>Ungültige numerische Eingabe</translation>
    </message>
    <message>
        <source>I/O error %1</source>
        <translation>E/A-Fehler %1</translation>
    </message>
</context>
<context>
    <name>JournaledSteps</name>
    <message>
        <source>Changes cannot be recorded for Undo: %1. Make them without Undo?</source>
        <translation>Änderungen können nicht für „Rückgängig“ aufgezeichnet werden: %1. Ohne „Rückgängig“ ausführen?</translation>
    </message>
</context>
<context>
    <name>MainCommands</name>
    <message>
        <source>1 file selected</source>
        <translation>1 Datei ausgewählt</translation>
    </message>
    <message>
        <source>%1 files selected</source>
        <translation>%1 Dateien ausgewählt</translation>
    </message>
    <message>
        <source>%1 megabyte</source>
        <translation>%1 Megabyte</translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1 file(s)?</source>
        <translation>Möchten Sie %1 Datei(en) wirklich löschen?</translation>
    </message>
    <message>
        <source>Deleting %1 files.</source>
        <translation>%1 Dateien werden gelöscht.</translation>
    </message>
    <message>
        <source>Reading cancelled: 1 file left out of the list.</source>
        <translation>Lesen abgebrochen: 1 Datei fehlt in der Liste.</translation>
    </message>
    <message>
        <source>Reading cancelled: %1 files left out of the list.</source>
        <translation>Lesen abgebrochen: %1 Dateien fehlen in der Liste.</translation>
    </message>
</context>
<context>
    <name>MainFileList</name>
    <message>
        <source>FileName</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Song</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Genre</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Länge</translation>
    </message>
    <message>
        <source>Bitrate</source>
        <translation>Bitrate</translation>
    </message>
    <message>
        <source>#</source>
        <translation>#</translation>
    </message>
</context>
<context>
    <name>OpenRequest</name>
    <message>
        <source>These are not in %1 and were not selected:
</source>
        <translation>Diese liegen nicht in %1 und wurden nicht ausgewählt:
</translation>
    </message>
    <message>
        <source>These are neither folders nor MP3 files and were not opened:
</source>
        <translation>Diese sind weder Ordner noch MP3-Dateien und wurden nicht geöffnet:
</translation>
    </message>
</context>
<context>
    <name>PlayerCommands</name>
    <message>
        <source>No player is registered for %1

Choose one in your desktop&apos;s default applications, then start Veltrane again.</source>
        <translation>Für %1 ist kein Player registriert.

Wählen Sie einen in den Standardanwendungen Ihrer Arbeitsumgebung und starten Sie Veltrane dann neu.</translation>
    </message>
</context>
<context>
    <name>Recode</name>
    <message>
        <source>converting 1 file</source>
        <translation>1 Datei wird umgewandelt</translation>
    </message>
    <message>
        <source>converting %1 files</source>
        <translation>%1 Dateien werden umgewandelt</translation>
    </message>
</context>
<context>
    <name>RenameFromTags</name>
    <message>
        <source>Hmmm, an error occurt renaming this file! (%1)</source>
        <translation>Hmmm, beim Umbenennen dieser Datei ist ein Fehler aufgetreten! (%1)</translation>
    </message>
    <message>
        <source>Hmmm, an error occurt renaming one of the files! (%1)</source>
        <translation>Hmmm, beim Umbenennen einer der Dateien ist ein Fehler aufgetreten! (%1)</translation>
    </message>
    <message>
        <source>Rename %1 files</source>
        <translation>%1 Dateien umbenennen</translation>
    </message>
    <message>
        <source>Rename %1 to:</source>
        <translation>%1 umbenennen in:</translation>
    </message>
    <message>
        <source>Renaming %1 files, please wait...</source>
        <translation>%1 Dateien werden umbenannt, bitte warten...</translation>
    </message>
    <message>
        <source>File with that name already exists!</source>
        <translation>Eine Datei mit diesem Namen existiert bereits!</translation>
    </message>
    <message>
        <source>The new name is empty. Type a name.</source>
        <translation>Der neue Name ist leer. Bitte einen Namen eingeben.</translation>
    </message>
</context>
<context>
    <name>SelectSearch</name>
    <message>
        <source>Select all containing</source>
        <translation>Alle auswählen, die enthalten</translation>
    </message>
    <message>
        <source>Deselect all containing</source>
        <translation>Auswahl aller aufheben, die enthalten</translation>
    </message>
    <message>
        <source>Reading %1 files...</source>
        <translation>%1 Dateien werden gelesen...</translation>
    </message>
</context>
<context>
    <name>StepNames</name>
    <message>
        <source>set %2 of %1</source>
        <translation>%2 von %1 setzen</translation>
    </message>
    <message>
        <source>write tags of %1</source>
        <translation>Tags von %1 schreiben</translation>
    </message>
    <message>
        <source>edit tag of %3</source>
        <translation>Tag von %3 bearbeiten</translation>
    </message>
    <message>
        <source>import tags of %1</source>
        <translation>Tags von %1 importieren</translation>
    </message>
    <message>
        <source>number tracks of %1</source>
        <translation>Tracks von %1 nummerieren</translation>
    </message>
    <message>
        <source>fill ID3v1 from ID3v2 of %1</source>
        <translation>ID3v1 aus ID3v2 füllen bei %1</translation>
    </message>
    <message>
        <source>tags from file names of %1</source>
        <translation>Tags aus Dateinamen bei %1</translation>
    </message>
    <message>
        <source>rename %1 from tags</source>
        <translation>%1 nach Tags umbenennen</translation>
    </message>
    <message>
        <source>rename %3 to %4</source>
        <translation>%3 in %4 umbenennen</translation>
    </message>
    <message>
        <source>move %1 to the trash</source>
        <translation>%1 in den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>title case of %2 in %1</source>
        <translation>Wörter groß bei %2 in %1</translation>
    </message>
    <message>
        <source>upper case of %2 in %1</source>
        <translation>Großbuchstaben bei %2 in %1</translation>
    </message>
    <message>
        <source>lower case of %2 in %1</source>
        <translation>Kleinbuchstaben bei %2 in %1</translation>
    </message>
    <message>
        <source>sentence case of %2 in %1</source>
        <translation>Satzanfang groß bei %2 in %1</translation>
    </message>
    <message>
        <source>replace in %2 of %1</source>
        <translation>Ersetzen in %2 von %1</translation>
    </message>
    <message>
        <source>format %2 of %1</source>
        <translation>%2 von %1 formatieren</translation>
    </message>
    <message>
        <source>title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>genre</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>track</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <source>%1 file</source>
        <translation>%1 Datei</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>convert %1 to %3</source>
        <translation>%1 nach %3 umwandeln</translation>
    </message>
</context>
<context>
    <name>SystemErrors</name>
    <message>
        <source>Operation not permitted</source>
        <translation>Vorgang nicht zulässig</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>Datei oder Verzeichnis nicht gefunden</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Eingabe-/Ausgabefehler</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Keine Berechtigung</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Gerät oder Ressource belegt</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>Die Datei existiert bereits</translation>
    </message>
    <message>
        <source>Invalid cross-device link</source>
        <translation>Ungültiger Link über Gerätegrenzen hinweg</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Ist kein Verzeichnis</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Ist ein Verzeichnis</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>Das Argument ist ungültig</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Zu viele offene Dateien</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>Auf dem Gerät ist kein Speicherplatz mehr verfügbar</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Dateisystem ist nur lesbar</translation>
    </message>
    <message>
        <source>Too many links</source>
        <translation>Zu viele Links</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Dateiname zu lang</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>Verzeichnis nicht leer</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Zu viele Ebenen aus symbolischen Links</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Der zugewiesene Plattenplatz (Quota) ist überschritten</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>Veraltete Dateizugriffsnummer (file handle)</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>Das Programm kann nicht ausgeführt oder verändert werden (busy)</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Datei zu groß</translation>
    </message>
</context>
<context>
    <name>TFormDeriveFormat</name>
    <message>
        <source>Put at least one field into the format.</source>
        <translation>Nehmen Sie mindestens ein Feld in das Format auf.</translation>
    </message>
</context>
<context>
    <name>TMsgBox</name>
    <message>
        <source>&amp;Abort</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Retry</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Ignore</source>
        <translation>&amp;Ignorieren</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
</context>
<context>
    <name>TagActions</name>
    <message>
        <source>a % at character %1 has no closing %; write %% for a percent sign</source>
        <translation>ein % an Zeichen %1 hat kein schließendes %; für ein Prozentzeichen %% schreiben</translation>
    </message>
    <message>
        <source>unknown placeholder %%1%</source>
        <translation>unbekannter Platzhalter %%1%</translation>
    </message>
    <message>
        <source>%1 at character %2</source>
        <translation>%1 an Zeichen %2</translation>
    </message>
    <message>
        <source>no field is chosen</source>
        <translation>kein Feld gewählt</translation>
    </message>
    <message>
        <source>a format fills one field, not several</source>
        <translation>ein Format füllt ein Feld, nicht mehrere</translation>
    </message>
    <message>
        <source>longer than %1 bytes</source>
        <translation>länger als %1 Bytes</translation>
    </message>
    <message>
        <source>nothing to find</source>
        <translation>nichts zu suchen</translation>
    </message>
    <message>
        <source>In the tags of these files, values longer than their fields were cut (30 bytes, the year 4, a comment beside a track 28):</source>
        <translation>In den Tags dieser Dateien wurden Werte gekürzt, die länger als ihre Felder sind (30 Bytes, das Jahr 4, ein Kommentar neben einer Tracknummer 28):</translation>
    </message>
    <message>
        <source>On these files the pattern hit PCRE2&apos;s match limit; they were left as they were:</source>
        <translation>Bei diesen Dateien erreichte das Muster die Suchgrenze von PCRE2; sie blieben, wie sie waren:</translation>
    </message>
    <message>
        <source>Changing %1 tags, please wait...</source>
        <translation>%1 Tags werden geändert, bitte warten...</translation>
    </message>
</context>
<context>
    <name>TagEditing</name>
    <message>
        <source>changing tag for 1 file</source>
        <translation>Tag von 1 Datei ändern</translation>
    </message>
    <message>
        <source>changing tag for %1 files</source>
        <translation>Tags von %1 Dateien ändern</translation>
    </message>
    <message>
        <source>Updating %1 tags, please wait...</source>
        <translation>%1 Tags werden aktualisiert, bitte warten...</translation>
    </message>
    <message>
        <source>Track: type a number from 1 to 255, or leave the box empty for no track.</source>
        <translation>Track: Geben Sie eine Zahl von 1 bis 255 ein, oder lassen Sie das Feld für keinen Track leer.</translation>
    </message>
</context>
<context>
    <name>TagFromFileName</name>
    <message>
        <source>Deriving %1 tags, please wait...</source>
        <translation>%1 Tags werden abgeleitet, bitte warten...</translation>
    </message>
    <message>
        <source>Reading %1 tags, please wait...</source>
        <translation>%1 Tags werden gelesen, bitte warten...</translation>
    </message>
</context>
<context>
    <name>TrackNumbers</name>
    <message>
        <source>The first track number must be between 1 and 255, not %1.</source>
        <translation>Die erste Tracknummer muss zwischen 1 und 255 liegen, nicht %1.</translation>
    </message>
    <message>
        <source>Track numbers end at 255: numbering from %1 fits %2 of these %3 files. No file was changed.</source>
        <translation>Tracknummern enden bei 255: Ab %1 passen %2 dieser %3 Dateien. Keine Datei wurde geändert.</translation>
    </message>
    <message>
        <source>Numbering %1 tracks, please wait...</source>
        <translation>%1 Tracks werden nummeriert, bitte warten...</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>Undo: %1</source>
        <translation>Rückgängig: %1</translation>
    </message>
    <message>
        <source>Nothing was undone: %1</source>
        <translation>Nichts wurde rückgängig gemacht: %1</translation>
    </message>
    <message>
        <source>These files were left as they are:</source>
        <translation>Diese Dateien blieben unverändert:</translation>
    </message>
    <message>
        <source>Nothing was left to undo of &quot;%1&quot;: its files already are as before.</source>
        <translation>Von „%1“ war nichts mehr rückgängig zu machen: Die Dateien sind bereits wie vorher.</translation>
    </message>
    <message>
        <source>Redo: %1</source>
        <translation>Wiederherstellen: %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Nothing was redone: %1</source>
        <translation>Nichts wurde wiederhergestellt: %1</translation>
    </message>
    <message>
        <source>Redone: %1</source>
        <translation>Wiederhergestellt: %1</translation>
    </message>
    <message>
        <source>Undone: %1</source>
        <translation>Rückgängig gemacht: %1</translation>
    </message>
    <message>
        <source>Nothing was left to redo of &quot;%1&quot;: its files already are as after it.</source>
        <translation>Von „%1“ war nichts mehr wiederherzustellen: Die Dateien sind bereits wie danach.</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormAbout</name>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormActions</name>
    <message>
        <source>Song</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>acting on 1 file</source>
        <translation>wirkt auf 1 Datei</translation>
    </message>
    <message>
        <source>acting on %1 files</source>
        <translation>wirkt auf %1 Dateien</translation>
    </message>
    <message>
        <source>Actions</source>
        <translation>Aktionen</translation>
    </message>
    <message>
        <source>Fields:</source>
        <translation>Felder:</translation>
    </message>
    <message>
        <source>Change to</source>
        <translation>Ändern in</translation>
    </message>
    <message>
        <source>Title Case</source>
        <translation>Jedes Wort Groß</translation>
    </message>
    <message>
        <source>UPPER CASE</source>
        <translation>GROSSBUCHSTABEN</translation>
    </message>
    <message>
        <source>lower case</source>
        <translation>kleinbuchstaben</translation>
    </message>
    <message>
        <source>Sentence case</source>
        <translation>Satzanfang groß</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Schreibung</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Replace with</source>
        <translation>Ersetzen durch</translation>
    </message>
    <message>
        <source>Ignore case</source>
        <translation>Groß/klein ignorieren</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Regulärer Ausdruck</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Feld</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>Muster</translation>
    </message>
    <message>
        <source>%title% %artist% %album% %year% %comment% %genre% %track% %file%; %% for %</source>
        <translation>%title% %artist% %album% %year% %comment% %genre% %track% %file%; %% für %</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Diese Dateien konnten nicht geändert werden:</translation>
    </message>
    <message>
        <source>Actions...</source>
        <translation>Aktionen...</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormAddMP3</name>
    <message>
        <source>Add MP3s to current playlist</source>
        <translation>MP3s zur aktuellen Playlist hinzufügen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormChangeDir</name>
    <message>
        <source>Current directory</source>
        <translation>Aktuelles Verzeichnis</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormConvertCodePage</name>
    <message>
        <source>Convert code page</source>
        <translation>Codepage umwandeln</translation>
    </message>
    <message>
        <source>Read as</source>
        <translation>Lesen als</translation>
    </message>
    <message>
        <source>Write as</source>
        <translation>Schreiben als</translation>
    </message>
    <message>
        <source>Automatic (per file)</source>
        <translation>Automatisch (je Datei)</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Umwandeln</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>The tags of these files are in %1 already, or hold only ASCII text.</source>
        <translation>Die Tags dieser Dateien sind schon in %1 oder enthalten nur ASCII-Text.</translation>
    </message>
    <message>
        <source>These files were left as they were: their text cannot be written in %1 whole:</source>
        <translation>Diese Dateien blieben, wie sie waren: ihr Text lässt sich in %1 nicht vollständig schreiben:</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Diese Dateien konnten nicht geändert werden:</translation>
    </message>
    <message>
        <source>Convert code page...</source>
        <translation>Codepage umwandeln...</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormDeSelect</name>
    <message>
        <source>(de)select some mp3&apos;s</source>
        <translation>MP3s (ab)wählen</translation>
    </message>
    <message>
        <source>Select all containing</source>
        <translation>Alle auswählen, die enthalten</translation>
    </message>
    <message>
        <source>case sensitive</source>
        <translation>Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>use text search</source>
        <translation>Textsuche</translation>
    </message>
    <message>
        <source>use style search</source>
        <translation>Genresuche</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>The tags of these files could not be read:</source>
        <translation>Die Tags dieser Dateien konnten nicht gelesen werden:</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormDeriveFormat</name>
    <message>
        <source>Derive options</source>
        <translation>Ableitungsoptionen</translation>
    </message>
    <message>
        <source>seperator sign</source>
        <translation>Trennzeichen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormEditMP3Tag</name>
    <message>
        <source>Edit tag</source>
        <translation>Tag bearbeiten</translation>
    </message>
    <message>
        <source>Song</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>note: editting tags while the file is</source>
        <translation>Hinweis: Tags zu ändern, während die</translation>
    </message>
    <message>
        <source>played by an external MP3 player</source>
        <translation>Datei ein externer Player abspielt,</translation>
    </message>
    <message>
        <source>might result in errors I can&apos;t prevent!!</source>
        <translation>kann zu unvermeidbaren Fehlern führen!!</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Edit tag for %1</source>
        <translation>Tag bearbeiten: %1</translation>
    </message>
    <message>
        <source>%1 was changed by another program since it was opened here.</source>
        <translation>%1 wurde seit dem Öffnen hier von einem anderen Programm geändert.</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Write anyway</source>
        <translation>Trotzdem schreiben</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormEditMore</name>
    <message>
        <source>Change tag for more files</source>
        <translation>Tag für mehrere Dateien ändern</translation>
    </message>
    <message>
        <source>Song</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>leave as it is</source>
        <translation>unverändert lassen</translation>
    </message>
    <message>
        <source>note: renaming a file while the file is played by an</source>
        <translation>Hinweis: Eine Datei umzubenennen, während sie von einem</translation>
    </message>
    <message>
        <source>external MP3 player might result in errors I can&apos;t prevent!</source>
        <translation>externen MP3-Player abgespielt wird, kann zu Fehlern führen!</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Diese Dateien konnten nicht geändert werden:</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormFillFromId3v2</name>
    <message>
        <source>Song</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>filling 1 file</source>
        <translation>1 Datei wird gefüllt</translation>
    </message>
    <message>
        <source>filling %1 files</source>
        <translation>%1 Dateien werden gefüllt</translation>
    </message>
    <message>
        <source>Fill ID3v1 from ID3v2</source>
        <translation>ID3v1 aus ID3v2 füllen</translation>
    </message>
    <message>
        <source>take from the ID3v2 tag:</source>
        <translation>aus dem ID3v2-Tag übernehmen:</translation>
    </message>
    <message>
        <source>Only fill empty fields</source>
        <translation>Nur leere Felder füllen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Fill ID3v1 from ID3v2...</source>
        <translation>ID3v1 aus ID3v2 füllen...</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormGetTagFromFilename</name>
    <message>
        <source>Derive tag from filename</source>
        <translation>Tag aus Dateinamen ableiten</translation>
    </message>
    <message>
        <source>Edit derive format</source>
        <translation>Format bearbeiten</translation>
    </message>
    <message>
        <source>smart cut *</source>
        <translation>schlau schneiden *</translation>
    </message>
    <message>
        <source>clear tag</source>
        <translation>Tag leeren</translation>
    </message>
    <message>
        <source>* smart cut:</source>
        <translation>* schlau schneiden:</translation>
    </message>
    <message>
        <source>When this option is enabled, the</source>
        <translation>Ist diese Option eingeschaltet, sucht</translation>
    </message>
    <message>
        <source>program tries to find out itself, which part of the</source>
        <translation>das Programm selbst heraus, welcher Teil</translation>
    </message>
    <message>
        <source>filename needs to be transported to the ID3 tag.</source>
        <translation>des Dateinamens ins ID3-Tag gehört.</translation>
    </message>
    <message>
        <source>This way it tries to get rid of all the extra spaces</source>
        <translation>So sollen überzählige Leerzeichen,</translation>
    </message>
    <message>
        <source>and brackets and so on. Be aware, the program</source>
        <translation>Klammern usw. wegfallen. Achtung, das</translation>
    </message>
    <message>
        <source>might make a wrong dicision somewhere!</source>
        <translation>Programm kann sich auch einmal irren!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Diese Dateien konnten nicht geändert werden:</translation>
    </message>
    <message>
        <source>Tags from file names</source>
        <translation>Tags aus Dateinamen</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormHelp</name>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Close help</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormLoadPlayList</name>
    <message>
        <source>Load playList</source>
        <translation>Playlist laden</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Do you want to append this play list to the current playlist, or overwrite the current playlist?</source>
        <translation>Möchten Sie diese Playlist an die aktuelle Playlist anhängen oder die aktuelle Playlist überschreiben?</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Anhängen</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <source>Only a file name is taken here; the folder is chosen in the folder list.</source>
        <translation>Hier wird nur ein Dateiname übernommen; den Ordner wählen Sie in der Ordnerliste.</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormNumberTracks</name>
    <message>
        <source>numbering 1 file</source>
        <translation>1 Datei wird nummeriert</translation>
    </message>
    <message>
        <source>numbering %1 files</source>
        <translation>%1 Dateien werden nummeriert</translation>
    </message>
    <message>
        <source>Number tracks</source>
        <translation>Tracks nummerieren</translation>
    </message>
    <message>
        <source>first track</source>
        <translation>erster Track</translation>
    </message>
    <message>
        <source>leave files that have a track as they are</source>
        <translation>Dateien mit Track unverändert lassen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Diese Dateien konnten nicht geändert werden:</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormPlayListEditor</name>
    <message>
        <source>Playlist editor</source>
        <translation>Playlist-Editor</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save the current playlist</source>
        <translation>Aktuelle Playlist speichern</translation>
    </message>
    <message>
        <source>Saves the current playlist, if the destination file already exists, you can either overwrite or append</source>
        <translation>Speichert die aktuelle Playlist; gibt es die Zieldatei schon, können Sie sie überschreiben oder anhängen</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>Load a playlist</source>
        <translation>Eine Playlist laden</translation>
    </message>
    <message>
        <source>Load an existing playlist, you can either overwrite or append to the current playlist</source>
        <translation>Lädt eine vorhandene Playlist; Sie können die aktuelle Playlist überschreiben oder anhängen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Add MP3s</source>
        <translation>MP3s hinzufügen</translation>
    </message>
    <message>
        <source>Add one of more MP3s to the current playlist.</source>
        <translation>Fügt der aktuellen Playlist eine oder mehrere MP3s hinzu.</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Remove selected MP3</source>
        <translation>Ausgewählte MP3 entfernen</translation>
    </message>
    <message>
        <source>Removes the selected MP3s from the current playlist.</source>
        <translation>Entfernt die ausgewählten MP3s aus der aktuellen Playlist.</translation>
    </message>
    <message>
        <source>Move selected MP3 one place up</source>
        <translation>Ausgewählte MP3 eine Stelle nach oben</translation>
    </message>
    <message>
        <source>Move the selected MP3 one place up in the current playlist</source>
        <translation>Verschiebt die ausgewählte MP3 in der aktuellen Playlist eine Stelle nach oben</translation>
    </message>
    <message>
        <source>Move selected MP3 one place down</source>
        <translation>Ausgewählte MP3 eine Stelle nach unten</translation>
    </message>
    <message>
        <source>Reverse</source>
        <translation>Umkehren</translation>
    </message>
    <message>
        <source>Reverse the list</source>
        <translation>Liste umkehren</translation>
    </message>
    <message>
        <source>Simply reverses the current playlist</source>
        <translation>Kehrt einfach die Reihenfolge der aktuellen Playlist um</translation>
    </message>
    <message>
        <source>Randomize</source>
        <translation>Mischen</translation>
    </message>
    <message>
        <source>Randomize the list</source>
        <translation>Liste mischen</translation>
    </message>
    <message>
        <source>Randomizes the current playlist (kinda like shuffle :-))</source>
        <translation>Mischt die aktuelle Playlist (so ähnlich wie Zufallswiedergabe :-))</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Sortieren</translation>
    </message>
    <message>
        <source>Arrange the current playlist alphabetically</source>
        <translation>Aktuelle Playlist alphabetisch ordnen</translation>
    </message>
    <message>
        <source>Arranges the current playlist alphabetically</source>
        <translation>Ordnet die aktuelle Playlist alphabetisch</translation>
    </message>
    <message>
        <source>Cleanup</source>
        <translation>Aufräumen</translation>
    </message>
    <message>
        <source>Clean up the playlist</source>
        <translation>Playlist aufräumen</translation>
    </message>
    <message>
        <source>Selects all MP3 in the current playlist that don not (longer) exist</source>
        <translation>Wählt alle MP3s der aktuellen Playlist aus, die es (nicht mehr) gibt</translation>
    </message>
    <message>
        <source>Launch</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Launch playlist</source>
        <translation>Playlist starten</translation>
    </message>
    <message>
        <source>Starts your MP3 player up with the current playlist</source>
        <translation>Startet Ihren MP3-Player mit der aktuellen Playlist</translation>
    </message>
    <message>
        <source>note: works only if your MP3 file type is registered!</source>
        <translation>Hinweis: funktioniert nur, wenn Ihr MP3-Dateityp registriert ist!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close this window</source>
        <translation>Dieses Fenster schließen</translation>
    </message>
    <message>
        <source>This one&apos;s to simple for help =]</source>
        <translation>Die hier ist zu einfach für eine Hilfe =]</translation>
    </message>
    <message>
        <source>Save changes?</source>
        <translation>Änderungen speichern?</translation>
    </message>
    <message>
        <source>Please save the playlist first!</source>
        <translation>Bitte speichern Sie die Playlist zuerst!</translation>
    </message>
    <message>
        <source>.m3u files</source>
        <translation>.m3u-Dateien</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormPreferences</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Default directory:</source>
        <translation>Standardverzeichnis:</translation>
    </message>
    <message>
        <source>Directory which Veltrane will use at at startup</source>
        <translation>Verzeichnis, das Veltrane beim Start verwendet</translation>
    </message>
    <message>
        <source>Delete to recycle bin</source>
        <translation>In den Papierkorb löschen</translation>
    </message>
    <message>
        <source>Doubleclick action:</source>
        <translation>Aktion bei Doppelklick:</translation>
    </message>
    <message>
        <source>Edit tag</source>
        <translation>Tag bearbeiten</translation>
    </message>
    <message>
        <source>Play file</source>
        <translation>Datei abspielen</translation>
    </message>
    <message>
        <source>Rename file</source>
        <translation>Datei umbenennen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Keep the list layout between runs</source>
        <translation>Listenansicht zwischen Starts behalten</translation>
    </message>
    <message>
        <source>Stretch the list with the window</source>
        <translation>Liste mit dem Fenster vergrößern</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>More</source>
        <translation>Weitere</translation>
    </message>
    <message>
        <source>Make read-only files writable when reading a folder</source>
        <translation>Schreibgeschützte Dateien beim Lesen eines Ordners beschreibbar machen</translation>
    </message>
    <message>
        <source>Keep ID3v2 tags in step</source>
        <translation>ID3v2-Tags mitführen</translation>
    </message>
    <message>
        <source>Show length and bit rate</source>
        <translation>Länge und Bitrate anzeigen</translation>
    </message>
    <message>
        <source>Show the preview of Read ID3 tags from filename</source>
        <translation>Vorschau zu „ID3-Tags aus dem Dateinamen lesen“ zeigen</translation>
    </message>
    <message>
        <source>Show the preview of Rename from tags</source>
        <translation>Vorschau zu „Aus Tags umbenennen“ zeigen</translation>
    </message>
    <message>
        <source>Show the preview of Import tags</source>
        <translation>Vorschau zu „Tags importieren“ zeigen</translation>
    </message>
    <message>
        <source>Tag code page:</source>
        <translation>Codepage der Tags:</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormPreviewChanges</name>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Feld</translation>
    </message>
    <message>
        <source>Old value</source>
        <translation>Alter Wert</translation>
    </message>
    <message>
        <source>New value</source>
        <translation>Neuer Wert</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Show this preview</source>
        <translation>Diese Vorschau zeigen</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormRename</name>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>derive from filename</source>
        <translation>aus Dateinamen ableiten</translation>
    </message>
    <message>
        <source>Edit derive format</source>
        <translation>Format bearbeiten</translation>
    </message>
    <message>
        <source>note: renaming a file while the file is played by an</source>
        <translation>Hinweis: Eine Datei umzubenennen, während sie von einem</translation>
    </message>
    <message>
        <source>external MP3 player might result in errors I can&apos;t prevent!</source>
        <translation>externen MP3-Player abgespielt wird, kann zu Fehlern führen!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>These files could not be renamed:</source>
        <translation>Diese Dateien konnten nicht umbenannt werden:</translation>
    </message>
    <message>
        <source>Rename from tags</source>
        <translation>Aus Tags umbenennen</translation>
    </message>
    <message>
        <source>The new name is empty.</source>
        <translation>Der neue Name ist leer.</translation>
    </message>
</context>
<context>
    <name>veltrane::TFormSavePlayList</name>
    <message>
        <source>Save playlist</source>
        <translation>Playlist speichern</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Extended (#EXTINF from the tags)</source>
        <translation>Erweitert (#EXTINF aus den Tags)</translation>
    </message>
    <message>
        <source>Relative paths</source>
        <translation>Relative Pfade</translation>
    </message>
    <message>
        <source>The file specified already exists.</source>
        <translation>Die angegebene Datei existiert bereits.</translation>
    </message>
    <message>
        <source>Should the new file overwrite the old one, or be appended to the old one?</source>
        <translation>Soll die neue Datei die alte überschreiben oder an die alte angehängt werden?</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Anhängen</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
</context>
<context>
    <name>veltrane::TMainForm</name>
    <message>
        <source>%1 files also hold an ID3v2 tag, which players show first; it was not changed (Preferences, More: Keep ID3v2 tags in step).</source>
        <translation>%1 Dateien enthalten auch einen ID3v2-Tag, den Player zuerst anzeigen; er wurde nicht geändert (Einstellungen, Weitere: ID3v2-Tags mitführen).</translation>
    </message>
    <message>
        <source>searching for all MP3&apos;s from:</source>
        <translation>suche alle MP3s ab:</translation>
    </message>
    <message>
        <source>Directory</source>
        <translation>Verzeichnis</translation>
    </message>
    <message>
        <source>Edit tools</source>
        <translation>Werkzeuge</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>%1 of %2 files shown</source>
        <translation>%1 von %2 Dateien angezeigt</translation>
    </message>
    <message>
        <source>Misc</source>
        <translation>Sonstiges</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Select files</source>
        <translation>Dateien auswählen</translation>
    </message>
    <message>
        <source>Deselect files</source>
        <translation>Auswahl von Dateien aufheben</translation>
    </message>
    <message>
        <source>Edit selected MP3&apos;s</source>
        <translation>Ausgewählte MP3s bearbeiten</translation>
    </message>
    <message>
        <source>Rename selected files</source>
        <translation>Ausgewählte Dateien umbenennen</translation>
    </message>
    <message>
        <source>Play selected file</source>
        <translation>Ausgewählte Datei abspielen</translation>
    </message>
    <message>
        <source>Delete selected files</source>
        <translation>Ausgewählte Dateien löschen</translation>
    </message>
    <message>
        <source>Number tracks...</source>
        <translation>Tracks nummerieren...</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>MP3 files</source>
        <translation>MP3-Dateien</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Der Ordner %1 existiert nicht.</translation>
    </message>
    <message>
        <source>These files&apos; ID3v2 tags were left as they were; their ID3v1 tags were written:</source>
        <translation>Die ID3v2-Tags dieser Dateien blieben, wie sie waren; ihre ID3v1-Tags wurden geschrieben:</translation>
    </message>
    <message>
        <source>The tag code page &quot;%1&quot; in the settings is unknown; tags are read in Windows-1252.</source>
        <translation>Die Codepage der Tags „%1“ in den Einstellungen ist unbekannt; die Tags werden in Windows-1252 gelesen.</translation>
    </message>
</context>
<context>
    <name>veltrane::TMarsCaption</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximieren</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>veltrane::TTagTableActions</name>
    <message>
        <source>Export tags...</source>
        <translation>Tags exportieren...</translation>
    </message>
    <message>
        <source>Import tags...</source>
        <translation>Tags importieren...</translation>
    </message>
    <message>
        <source>Tag tables (*.csv *.tsv);;All files (*)</source>
        <translation>Tag-Tabellen (*.csv *.tsv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Export tags</source>
        <translation>Tags exportieren</translation>
    </message>
    <message>
        <source>Import tags</source>
        <translation>Tags importieren</translation>
    </message>
    <message>
        <source>These files could not be read:</source>
        <translation>Diese Dateien konnten nicht gelesen werden:</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1: %2; nothing imported.</source>
        <translation>%1: %2; nichts importiert.</translation>
    </message>
    <message>
        <source>These files could not be changed:</source>
        <translation>Diese Dateien konnten nicht geändert werden:</translation>
    </message>
</context>
<context>
    <name>veltrane::TUndoAction</name>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>veltrane::TfrmProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
</TS>
