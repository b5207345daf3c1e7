<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="de">
<context>
    <name>AutostartBox</name>
    <message>
        <source>Der Start beim Anmelden konnte nicht eingerichtet werden.</source>
        <translation>Starting at login could not be set up.</translation>
    </message>
    <message>
        <source>Der Start beim Anmelden konnte nicht abgeschaltet werden.</source>
        <translation>Starting at login could not be turned off.</translation>
    </message>
</context>
<context>
    <name>AutostartEntry</name>
    <message>
        <source>Der Ordner %1 ließ sich nicht anlegen.</source>
        <translation>The folder %1 could not be created.</translation>
    </message>
    <message>
        <source>Die Datei %1 ließ sich nicht schreiben (%2).</source>
        <translation>The file %1 could not be written (%2).</translation>
    </message>
    <message>
        <source>Die Datei %1 ließ sich nicht löschen (%2).</source>
        <translation>The file %1 could not be deleted (%2).</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--export braucht genau eine Datei (oder - für die Standardausgabe).</source>
        <translation>--export needs exactly one file (or - for standard output).</translation>
    </message>
    <message>
        <source>%1 kann nicht geschrieben werden.</source>
        <translation>%1 cannot be written.</translation>
    </message>
    <message>
        <source>--import braucht genau eine Datei.</source>
        <translation>--import needs exactly one file.</translation>
    </message>
    <message>
        <source>Unbekannte Option: %1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>--password-stdin: auf der Standardeingabe steht kein Passwort.</source>
        <translation>--password-stdin: there is no password on standard input.</translation>
    </message>
    <message>
        <source>--sync-account braucht ADRESSE und BENUTZER.</source>
        <translation>--sync-account needs ADDRESS and USER.</translation>
    </message>
    <message>
        <source>Passwort für %1: </source>
        <translation>Password for %1: </translation>
    </message>
    <message>
        <source>Kein Passwort eingegeben (ohne Terminal: --password-stdin).</source>
        <translation>No password entered (without a terminal: --password-stdin).</translation>
    </message>
    <message>
        <source>Keine Option angegeben.</source>
        <translation>No option given.</translation>
    </message>
</context>
<context>
    <name>DataFileMessages</name>
    <message>
        <source>„%1“</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>Eine Kopie der nicht lesbaren Datei wurde als %1 gesichert.</source>
        <translation>A copy of the unreadable file was saved as %1.</translation>
    </message>
    <message>
        <source>Die Datei %1 lässt sich nicht sichern (%2). Sie wird darum nicht überschrieben, und Änderungen werden nicht gespeichert, bis sie gesichert werden kann.</source>
        <translation>The file %1 cannot be backed up (%2). So it will not be overwritten, and changes will not be saved until it can be backed up.</translation>
    </message>
    <message>
        <source>keine Berechtigung</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>nicht vorhanden</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>ist ein Ordner</source>
        <translation>is a folder</translation>
    </message>
    <message>
        <source>kein Platz mehr auf dem Datenträger</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>Datenträger ist schreibgeschützt</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>Ein-/Ausgabefehler</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>Ursache unbekannt</source>
        <translation>cause unknown</translation>
    </message>
    <message>
        <source>Systemfehler %1</source>
        <translation>system error %1</translation>
    </message>
    <message>
        <source>Fehler: Konnte Datei nicht öffnen!

%1 kann nicht gelesen werden (%2).</source>
        <translation>Error: Could not open file!

%1 cannot be read (%2).</translation>
    </message>
    <message>
        <source> Sie wird nicht überschrieben, und Änderungen werden nicht gespeichert, solange sie nicht gelesen werden kann.</source>
        <translation> It will not be overwritten, and changes will not be saved as long as it cannot be read.</translation>
    </message>
    <message>
        <source>%1 ist beschädigt: %2.</source>
        <translation>%1 is damaged: %2.</translation>
    </message>
    <message>
        <source>Fehler: Konnte Datei nicht erzeugen!</source>
        <translation>Error: Could not create file!</translation>
    </message>
</context>
<context>
    <name>ImportChannel</name>
    <message>
        <source>Datumswecker läuft bereits für diesen Datenordner, nimmt den Import aber nicht an. Bitte beenden Sie das Programm und rufen Sie --import noch einmal auf.</source>
        <translation>Datumswecker is already running for this data folder but does not take the import. Please quit the program and run --import again.</translation>
    </message>
    <message>
        <source>Die Sperre %1 kann nicht angelegt werden.</source>
        <translation>The lock %1 cannot be created.</translation>
    </message>
    <message>
        <source>Der Datenordner ist seit %1 Sekunden von einem anderen Import oder von Datumswecker belegt; nichts wurde importiert. Läuft das Programm, beenden Sie das Programm bitte und rufen Sie --import noch einmal auf.</source>
        <translation>The data folder has been in use by another import or by Datumswecker for %1 seconds; nothing was imported. If the program is running, please quit it and run --import again.</translation>
    </message>
</context>
<context>
    <name>ImportCommand</name>
    <message>
        <source>Der Import braucht den vollständigen Pfad einer Datei.</source>
        <translation>The import needs the full path of a file.</translation>
    </message>
    <message>
        <source>Datumswecker wird gerade beendet; nichts wurde importiert.</source>
        <translation>Datumswecker is just quitting; nothing was imported.</translation>
    </message>
    <message>
        <source>
termine.dat konnte nicht gespeichert werden; die Termine sind im laufenden Programm und werden später gespeichert.</source>
        <translation>
termine.dat could not be saved; the appointments are in the running program and will be saved later.</translation>
    </message>
</context>
<context>
    <name>InstanceServer</name>
    <message>
        <source>Die Anfrage ist kein gültiges JSON-Objekt.</source>
        <translation>The request is not a valid JSON object.</translation>
    </message>
    <message>
        <source>Die Anfrage nennt keinen Befehl.</source>
        <translation>The request names no command.</translation>
    </message>
    <message>
        <source>Unbekannter Befehl „%1“.</source>
        <translation>Unknown command “%1”.</translation>
    </message>
    <message>
        <source>Die Anfrage ist zu lang.</source>
        <translation>The request is too long.</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>&amp;Ja</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;Nein</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Fehler</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>&amp;Nur diesen Termin</source>
        <translation>&amp;Only this appointment</translation>
    </message>
    <message>
        <source>&amp;Alle Termine der Serie</source>
        <translation>&amp;All appointments of the series</translation>
    </message>
</context>
<context>
    <name>ReminderNotifications</name>
    <message>
        <source>Erinnerung anzeigen</source>
        <translation>Show reminder</translation>
    </message>
    <message>
        <source>Später nochmal</source>
        <translation>Remind later</translation>
    </message>
    <message>
        <source>Nicht mehr erinnern</source>
        <translation>Don&apos;t remind again</translation>
    </message>
</context>
<context>
    <name>RepeatPage</name>
    <message>
        <source>Wieder&amp;kehr</source>
        <translation>Repe&amp;at</translation>
    </message>
    <message>
        <source>nie</source>
        <translation>never</translation>
    </message>
    <message>
        <source>täglich</source>
        <translation>daily</translation>
    </message>
    <message>
        <source>wöchentlich</source>
        <translation>weekly</translation>
    </message>
    <message>
        <source>alle zwei Wochen</source>
        <translation>every two weeks</translation>
    </message>
    <message>
        <source>monatlich</source>
        <translation>monthly</translation>
    </message>
    <message>
        <source>jährlich</source>
        <translation>yearly</translation>
    </message>
    <message>
        <source>wie im Kalender angegeben</source>
        <translation>as the calendar gives it</translation>
    </message>
    <message>
        <source>&amp;bis</source>
        <translation>un&amp;til</translation>
    </message>
    <message>
        <source>Wiede&amp;rholen:</source>
        <translation>Re&amp;peat:</translation>
    </message>
    <message>
        <source>Wiederholen</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>Wiederholen bis</source>
        <translation>Repeat until</translation>
    </message>
    <message>
        <source>Letzter Tag der Serie</source>
        <translation>Last day of the series</translation>
    </message>
    <message>
        <source>Serie</source>
        <translation>Series</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>Datumswecker: der Kanal %1 lässt sich nicht öffnen.</source>
        <translation>Datumswecker: the channel %1 cannot be opened.</translation>
    </message>
    <message>
        <source>Datumswecker läuft bereits mit den Daten in %1, antwortet aber nicht.
Bitte in einigen Sekunden noch einmal versuchen.</source>
        <translation>Datumswecker is already running with the data in %1 but does not answer.
Please try again in a few seconds.</translation>
    </message>
</context>
<context>
    <name>StoreAccess</name>
    <message>
        <source>%1 kann nicht gelesen werden.</source>
        <translation>%1 cannot be read.</translation>
    </message>
    <message>
        <source>%1 kann nicht vollständig gelesen werden (zu wenig Speicher).</source>
        <translation>%1 cannot be read in full (not enough memory).</translation>
    </message>
    <message>
        <source>%1 ist beschädigt (%2). Starten Sie das Programm: es sichert die Datei.</source>
        <translation>%1 is damaged (%2). Start the program: it keeps a copy of the file.</translation>
    </message>
    <message>
        <source>%1 ist beschädigt und konnte nicht gesichert werden; nichts wurde importiert.</source>
        <translation>%1 is damaged and could not be backed up; nothing was imported.</translation>
    </message>
    <message>
        <source>%1 konnte nicht gespeichert werden; nichts wurde importiert.</source>
        <translation>%1 could not be saved; nothing was imported.</translation>
    </message>
    <message>
        <source>%1 konnte nicht gespeichert werden; die Serien sind importiert, die einzelnen Termine nicht.</source>
        <translation>%1 could not be saved; the series were imported, the single appointments were not.</translation>
    </message>
    <message>
        <source>%1 ist beschädigt (Zeile %2: %3). Starten Sie das Programm: es sichert die Datei.</source>
        <translation>%1 is damaged (line %2: %3). Start the program: it keeps a copy of the file.</translation>
    </message>
</context>
<context>
    <name>StoreErrorText</name>
    <message>
        <source>sie endet vor ihrem Inhalt</source>
        <translation>it ends before its contents</translation>
    </message>
    <message>
        <source>kein Platz mehr auf dem Datenträger</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>unbekannter Fehler</source>
        <translation>unknown error</translation>
    </message>
</context>
<context>
    <name>TAboutBox</name>
    <message>
        <source>Info</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Programmbild: ein Wecker vor einem Kalender</source>
        <translation>Program picture: an alarm clock in front of a calendar</translation>
    </message>
    <message>
        <source>Norvex Software</source>
        <translation>Norvex Software</translation>
    </message>
    <message>
        <source>© XXXX Norvex</source>
        <translation>© XXXX Norvex</translation>
    </message>
    <message>
        <source>Ein Programm von Norvex. Fragen und Anregungen bitte an info@norvex.example</source>
        <translation>A program by Norvex. Please send questions and suggestions to info@norvex.example</translation>
    </message>
    <message>
        <source>Norvex – damit nichts vergessen wird.</source>
        <translation>Norvex – so that nothing is forgotten.</translation>
    </message>
    <message>
        <source>Norvex ist ein kleines Softwarehaus aus Deutschland.</source>
        <translation>Norvex is a small software company from Germany.</translation>
    </message>
    <message>
        <source>Norvex entwickelt einfache, verständliche Programme in deutscher Sprache für Haushalt, Büro und Verein. Alle unsere Programme finden Sie auf unserer Homepage:
https://www.norvex.example/</source>
        <translation>Norvex makes simple, easy-to-use programs for home, office and clubs. You will find all our programs on our home page:
https://www.norvex.example/</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Zur Norvex Homepage</source>
        <translation>Go to the Norvex home page</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>TCalendarPage</name>
    <message>
        <source>Termine verwalten - den Tag wählen und auf &quot;Termin hinzufügen&quot; klicken</source>
        <translation>Manage appointments - choose the day and click &quot;Add appointment&quot;</translation>
    </message>
    <message>
        <source>Termin &amp;hinzufügen</source>
        <translation>A&amp;dd appointment</translation>
    </message>
    <message>
        <source>Termine &amp;löschen</source>
        <translation>De&amp;lete appointments</translation>
    </message>
    <message>
        <source>Eine Ebene nach &amp;oben</source>
        <translation>&amp;Up one level</translation>
    </message>
    <message>
        <source>Kalender</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>Nichts ausgewählt</source>
        <translation>Nothing selected</translation>
    </message>
    <message>
        <source>Termine</source>
        <translation>Appointments</translation>
    </message>
    <message>
        <source>Wann?</source>
        <translation>When?</translation>
    </message>
    <message>
        <source>Was?</source>
        <translation>What?</translation>
    </message>
    <message>
        <source>&amp;Allgemein</source>
        <translation>&amp;General</translation>
    </message>
    <message>
        <source>Termi&amp;n:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Termin</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>&amp;Zeit:</source>
        <translation>&amp;Time:</translation>
    </message>
    <message>
        <source>Zeit: Stunde</source>
        <translation>Time: hour</translation>
    </message>
    <message>
        <source>Uhr</source>
        <translation>h</translation>
    </message>
    <message>
        <source>Zeit: Minuten</source>
        <translation>Time: minutes</translation>
    </message>
    <message>
        <source>Min&amp;uten</source>
        <translation>minut&amp;es</translation>
    </message>
    <message>
        <source>&amp;Beschreibung:</source>
        <translation>Des&amp;cription:</translation>
    </message>
    <message>
        <source>Beschreibung</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Erinnerun&amp;g</source>
        <translation>&amp;Reminder</translation>
    </message>
    <message>
        <source>Erste Erinnerung &amp;frühenstens:</source>
        <translation>&amp;First reminder at the earliest:</translation>
    </message>
    <message>
        <source>Erste Erinnerung frühenstens: Tage</source>
        <translation>First reminder at the earliest: days</translation>
    </message>
    <message>
        <source>Tage</source>
        <translation>days</translation>
    </message>
    <message>
        <source>Erste Erinnerung frühenstens: Stunden</source>
        <translation>First reminder at the earliest: hours</translation>
    </message>
    <message>
        <source>&amp;Stunden</source>
        <translation>&amp;hours</translation>
    </message>
    <message>
        <source>Erste Erinnerung frühenstens: Minuten vorher</source>
        <translation>First reminder at the earliest: minutes before</translation>
    </message>
    <message>
        <source>Minuten &amp;vorher</source>
        <translation>minutes &amp;before</translation>
    </message>
    <message>
        <source>Dann e&amp;rinnern frühenstens aller:</source>
        <translation>Then remind at most e&amp;very:</translation>
    </message>
    <message>
        <source>Dann erinnern frühenstens aller: Tage</source>
        <translation>Then remind at most every: days</translation>
    </message>
    <message>
        <source>Dann erinnern frühenstens aller: Stunden</source>
        <translation>Then remind at most every: hours</translation>
    </message>
    <message>
        <source>St&amp;unden</source>
        <translation>h&amp;ours</translation>
    </message>
    <message>
        <source>Dann erinnern frühenstens aller: Minuten</source>
        <translation>Then remind at most every: minutes</translation>
    </message>
    <message>
        <source>Mi&amp;nuten</source>
        <translation>mi&amp;nutes</translation>
    </message>
    <message>
        <source>Ni&amp;chtmehr erinnern</source>
        <translation>Sto&amp;p reminding</translation>
    </message>
    <message>
        <source>Zuletzt erinnert:</source>
        <translation>Last reminded:</translation>
    </message>
    <message>
        <source>&amp;Zurücksetzen auf &apos;nie&apos;</source>
        <translation>Rese&amp;t to &apos;never&apos;</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Abgleich</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>Abgleich fehlgeschlagen: </source>
        <translation>Sync failed: </translation>
    </message>
    <message>
        <source>Datumswecker: Abgleich fehlgeschlagen</source>
        <translation>Datumswecker: sync failed</translation>
    </message>
    <message>
        <source>Norvex Datumswecker 1.0</source>
        <translation>Norvex Datumswecker 1.0</translation>
    </message>
    <message>
        <source>&amp;Termine verwalten</source>
        <translation>Appoint&amp;ments</translation>
    </message>
    <message>
        <source>&amp;Einstellungen</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>Einstellungen - Hier können Sie noch einige grundsätzliche Einstellungen treffen</source>
        <translation>Settings - Here you can make a few basic settings</translation>
    </message>
    <message>
        <source>Bild Einstellungen</source>
        <translation>Settings picture</translation>
    </message>
    <message>
        <source>Programm Optionen...</source>
        <translation>Program options...</translation>
    </message>
    <message>
        <source>A&amp;uf Termine prüfen aller:</source>
        <translation>&amp;Check for appointments every:</translation>
    </message>
    <message>
        <source>Auf Termine prüfen aller: Minuten</source>
        <translation>Check for appointments every: minutes</translation>
    </message>
    <message>
        <source>Minuten</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>Sekunden</source>
        <translation>Seconds</translation>
    </message>
    <message>
        <source>Se&amp;kunden</source>
        <translation>s&amp;econds</translation>
    </message>
    <message>
        <source>Jetzt auf Termine p&amp;rüfen</source>
        <translation>Check for appointments &amp;now</translation>
    </message>
    <message>
        <source>Mi&amp;nimiert starten</source>
        <translation>Start minimize&amp;d</translation>
    </message>
    <message>
        <source>Beim Anmelden &amp;starten</source>
        <translation>Start at lo&amp;gin</translation>
    </message>
    <message>
        <source>Beim Anmelden starten</source>
        <translation>Start at login</translation>
    </message>
    <message>
        <source>Erinnerungen auch als Mitteilung &amp;zeigen</source>
        <translation>Also show reminders as notifica&amp;tions</translation>
    </message>
    <message>
        <source>Erinnerungen auch als Mitteilung zeigen</source>
        <translation>Also show reminders as notifications</translation>
    </message>
    <message>
        <source>Auf zur Norvex Homepage...</source>
        <translation>Visit the Norvex home page...</translation>
    </message>
    <message>
        <source>&amp;www.norvex.example</source>
        <translation>&amp;www.norvex.example</translation>
    </message>
    <message>
        <source>Das Fenster schließen, aber die Überwachung im Hintergrund aktiv halten</source>
        <translation>Close the window but keep watching in the background</translation>
    </message>
    <message>
        <source>&amp;Minimieren</source>
        <translation>Minimi&amp;ze</translation>
    </message>
    <message>
        <source>Informationen über das Programm</source>
        <translation>About the program</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>&amp;Info</source>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>Hiermit verlassen Sie das Programm</source>
        <translation>Quit the program</translation>
    </message>
    <message>
        <source>Ende</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>En&amp;de</source>
        <translation>E&amp;xit</translation>
    </message>
</context>
<context>
    <name>TTerminForm</name>
    <message>
        <source>Terminerinnerung</source>
        <translation>Appointment reminder</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Beschreibung</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>&amp;Alle abbrechen</source>
        <translation>&amp;Cancel all</translation>
    </message>
    <message>
        <source>&amp;Nicht mehr erinnern</source>
        <translation>&amp;Don&apos;t remind again</translation>
    </message>
    <message>
        <source>&amp;Später nochmal</source>
        <translation>Remind &amp;later</translation>
    </message>
</context>
<context>
    <name>TTrayMenu</name>
    <message>
        <source>Anzeigen</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>Keine Aktion</source>
        <translation>No action</translation>
    </message>
    <message>
        <source>Zur Norvex Homepage...</source>
        <translation>Go to the Norvex home page...</translation>
    </message>
    <message>
        <source>Über das Programm...</source>
        <translation>About the program...</translation>
    </message>
    <message>
        <source>Beenden</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Verbergen</source>
        <translation>Hide</translation>
    </message>
</context>
<context>
    <name>plain::Help</name>
    <message>
        <source>  --agenda [DATUM] [--days N] [--json]
      Termine ab DATUM (Vorgabe: heute; Datum wie in den Ländereinstellungen oder JJJJ-MM-TT)
      für N Tage (Vorgabe: 7), nach Datum und Uhrzeit.
      Beispiel: datumswecker --agenda 24.12.2030
</source>
        <translation>  --agenda [DATE] [--days N] [--json]
      The appointments from DATE (default: today; a date as in the regional settings or YYYY-MM-DD)
      for N days (default: 7), by date and time.
      Example: datumswecker --agenda 2030-12-24
</translation>
    </message>
    <message>
        <source>  --days N
      Zu --agenda: wie viele Tage (1 bis 36890).
      Beispiel: datumswecker --agenda 2030-12-24 --days 14
</source>
        <translation>  --days N
      With --agenda: how many days (1 to 36890).
      Example: datumswecker --agenda 2030-12-24 --days 14
</translation>
    </message>
    <message>
        <source>  --due [--json]
      Was eine Prüfung jetzt melden würde; ändert nichts. Exit-Status 0: etwas ist fällig,
      1: nichts, 2: Fehler.
      Beispiel: datumswecker --due &amp;&amp; notify-send &quot;Termine fällig&quot;
</source>
        <translation>  --due [--json]
      What a check would remind of now; changes nothing. Exit status 0: something is due,
      1: nothing, 2: error.
      Example: datumswecker --due &amp;&amp; notify-send &quot;Appointments due&quot;
</translation>
    </message>
    <message>
        <source>  --json
      Zu --agenda und --due: ein JSON-Objekt je Termin und Zeile.
      Beispiel: datumswecker --agenda 2030-12-24 --json
</source>
        <translation>  --json
      With --agenda and --due: one JSON object per appointment and line.
      Example: datumswecker --agenda 2030-12-24 --json
</translation>
    </message>
    <message>
        <source>  --export DATEI.ics
      Alle Termine als iCalendar-Datei; - schreibt auf die Standardausgabe.
      Beispiel: datumswecker --export termine.ics
</source>
        <translation>  --export FILE.ics
      All appointments as an iCalendar file; - writes to standard output.
      Example: datumswecker --export appointments.ics
</translation>
    </message>
    <message>
        <source>  --import DATEI.ics
      Fügt die Termine einer iCalendar-Datei hinzu (2000–2100); schon vorhandene
      (gleicher Tag, gleiche Uhrzeit, gleicher Name) werden übersprungen. Läuft das
      Programm, übernimmt es den Import.
      Beispiel: datumswecker --import kalender.ics
</source>
        <translation>  --import FILE.ics
      Adds the appointments of an iCalendar file (2000-2100); those already there
      (same day, same time, same name) are skipped. If the program is running,
      it takes over the import.
      Example: datumswecker --import calendar.ics
</translation>
    </message>
    <message>
        <source>  --sync [--password-stdin]
      Gleicht die Termine mit dem eingerichteten Kalender-Server ab (CalDAV). Läuft das
      Programm, gleicht es selbst ab. Exit-Status 0: abgeglichen, 2: Fehler.
      Beispiel: pass kalender | datumswecker --sync --password-stdin
</source>
        <translation>  --sync [--password-stdin]
      Syncs the appointments with the calendar server set up (CalDAV). If the program
      is running, it syncs itself. Exit status 0: synced, 2: error.
      Example: pass calendar | datumswecker --sync --password-stdin
</translation>
    </message>
    <message>
        <source>  --sync-account ADRESSE BENUTZER [--password-stdin] [--trust-certificate SHA256]
      Richtet den Kalender-Server ein: die Adresse des Kalenders (oder des Servers) und den
      Benutzer; das Passwort wird im Terminal erfragt oder mit --password-stdin aus der ersten
      Zeile der Standardeingabe gelesen und kommt in den Schlüsselbund, nie in eine Datei.
      Beides wird erst mit dem Server versucht; genannt wird der Kalender, der gefunden wurde.
      Beispiel: pass kalender | datumswecker --sync-account https://dav.example/anna/kalender/ anna \
                --password-stdin
</source>
        <translation>  --sync-account ADDRESS USER [--password-stdin] [--trust-certificate SHA256]
      Sets up the calendar server: the address of the calendar (or of the server) and the
      user; the password is asked for on the terminal, or read with --password-stdin from the
      first line of standard input, and goes into the keyring, never into a file.
      Both are tried with the server first; the calendar found is named.
      Example: pass calendar | datumswecker --sync-account https://dav.example/anna/calendar/ anna \
                --password-stdin
</translation>
    </message>
    <message>
        <source>  --trust-certificate SHA256
      Vertraut dem Zertifikat des Servers mit diesem Fingerabdruck, den die Ablehnung nennt
      (ein selbst ausgestelltes); ein geändertes Zertifikat wird wieder abgelehnt.
      Beispiel: datumswecker --trust-certificate AB:CD:...:EF
</source>
        <translation>  --trust-certificate SHA256
      Trusts the server&apos;s certificate with this fingerprint, as its refusal names it
      (a self-signed one); a changed certificate is refused again.
      Example: datumswecker --trust-certificate AB:CD:...:EF
</translation>
    </message>
    <message>
        <source>  --password-stdin
      Zu --sync und --sync-account: das Passwort aus der ersten Zeile der Standardeingabe.
      Beispiel: secret-tool lookup dienst kalender | datumswecker --sync --password-stdin
</source>
        <translation>  --password-stdin
      With --sync and --sync-account: the password from the first line of standard input.
      Example: secret-tool lookup service calendar | datumswecker --sync --password-stdin
</translation>
    </message>
    <message>
        <source>  --help
      Diese Hilfe.
      Beispiel: datumswecker --help
</source>
        <translation>  --help
      This help.
      Example: datumswecker --help
</translation>
    </message>
    <message>
        <source>Aufruf: datumswecker [OPTION]
Ohne Option startet das Programm mit seinem Fenster. Mit einer Option läuft es ohne Fenster
und endet.
</source>
        <translation>Usage: datumswecker [OPTION]
Without an option the program starts with its window. With an option it runs without a window
and ends.
</translation>
    </message>
</context>
<context>
    <name>plain::Launcher</name>
    <message>
        <source>Datumswecker: %1 lässt sich nicht starten (%2).</source>
        <translation>Datumswecker: %1 cannot be started (%2).</translation>
    </message>
</context>
</TS>
