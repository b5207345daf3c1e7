<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="de">
<context>
    <name>Appointment</name>
    <message>
        <source>Kein Name</source>
        <translation>No name</translation>
    </message>
</context>
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
    <name>Budget</name>
    <message>
        <source>Grenze erreicht: %1.</source>
        <translation>Limit reached: %1.</translation>
    </message>
    <message>
        <source>mehr als %1 Bytes Eingabe</source>
        <translation>more than %1 bytes of input</translation>
    </message>
    <message>
        <source>mehr als %1 Termine in einem Durchgang</source>
        <translation>more than %1 appointments in one pass</translation>
    </message>
    <message>
        <source>mehr als %1 neue Termine in einem Durchgang</source>
        <translation>more than %1 new appointments in one pass</translation>
    </message>
    <message>
        <source>mehr als %1 geänderte Wiederholungen (RECURRENCE-ID) eines Termins</source>
        <translation>more than %1 changed occurrences (RECURRENCE-ID) of one appointment</translation>
    </message>
    <message>
        <source>mehr als %1 Sekunden Rechenzeit; so aufwendig darf eine Eingabe dieser Größe nicht sein</source>
        <translation>more than %1 seconds of processor time; an input of this size may not take that much</translation>
    </message>
    <message>
        <source>mehr als %1 Sekunden für den ganzen Durchgang</source>
        <translation>more than %1 seconds for the whole pass</translation>
    </message>
    <message>
        <source>Grenze erreicht: %1</source>
        <translation>Limit reached: %1</translation>
    </message>
</context>
<context>
    <name>CalendarFile</name>
    <message>
        <source>%1 kann nicht gelesen werden.</source>
        <translation>%1 cannot be read.</translation>
    </message>
    <message>
        <source>%1: %2 Nichts wurde importiert.</source>
        <translation>%1: %2 Nothing was imported.</translation>
    </message>
    <message>
        <source>%1, Zeile %2: %3%4</source>
        <translation>%1, line %2: %3%4</translation>
    </message>
    <message>
        <source> Nichts wurde importiert.</source>
        <translation> Nothing was imported.</translation>
    </message>
</context>
<context>
    <name>CalendarImport</name>
    <message>
        <source>termine.dat war beschädigt: %1 Termine ließen sich lesen und bleiben; %2
</source>
        <translation>termine.dat was damaged: %1 appointments could be read and stay; %2
</translation>
    </message>
    <message>
        <source>eine Kopie der Datei ließ sich nicht anlegen.</source>
        <translation>a copy of the file could not be made.</translation>
    </message>
    <message>
        <source>die ganze Datei ist als %1 gesichert.</source>
        <translation>the whole file is kept as %1.</translation>
    </message>
    <message>
        <source>Hinzugefügt: %1
Übersprungen, schon vorhanden: %2
Übersprungen, außerhalb 2000–2100: %3
Texte mit verlorenen Zeichen: %4</source>
        <translation>Added: %1
Skipped, already there: %2
Skipped, outside 2000–2100: %3
Texts with lost characters: %4</translation>
    </message>
    <message>
        <source>
Abgesagt, nicht übernommen: %1</source>
        <translation>
Cancelled, not taken: %1</translation>
    </message>
    <message>
        <source>
Wiederholungen über %1 je Termin nicht übernommen: %2</source>
        <translation>
Occurrences beyond %1 per appointment not taken: %2</translation>
    </message>
    <message>
        <source>
Wiederholungsregeln nach %1 Schritten nicht weiter verfolgt: %2</source>
        <translation>
Recurrence rules not followed beyond %1 steps: %2</translation>
    </message>
    <message>
        <source>
Nicht genug Speicher: der Rest wurde nicht hinzugefügt.</source>
        <translation>
Not enough memory: the rest was not added.</translation>
    </message>
    <message>
        <source>Serien hinzugefügt: %1
</source>
        <translation>Series added: %1
</translation>
    </message>
    <message>
        <source>%1 von %2 Terminen</source>
        <translation>%1 of %2 appointments</translation>
    </message>
    <message>
        <source>%1 und %2 von %3 Serien</source>
        <translation>%1 and %2 of %3 series</translation>
    </message>
    <message>
        <source> Bis dahin geprüft: %1 der Datei; nichts wurde importiert.</source>
        <translation> Checked until then: %1 of the file; nothing was imported.</translation>
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
    <message>
        <source>--trust-certificate braucht einen SHA-256-Fingerabdruck.</source>
        <translation>--trust-certificate needs a SHA-256 fingerprint.</translation>
    </message>
    <message>
        <source>„%1“ ist kein SHA-256-Fingerabdruck.</source>
        <translation>&quot;%1&quot; is not a SHA-256 fingerprint.</translation>
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
    <name>DateKey</name>
    <message>
        <source>%1. %2</source>
        <translation>%2 %1</translation>
    </message>
</context>
<context>
    <name>DateTreeModel</name>
    <message>
        <source>Jahre</source>
        <translation>Years</translation>
    </message>
</context>
<context>
    <name>Dav</name>
    <message>
        <source>Die Antwort des Servers ist kein gültiges XML (Zeile %1: %2).</source>
        <translation>The server&apos;s answer is not valid XML (line %1: %2).</translation>
    </message>
    <message>
        <source>Die Antwort des Servers ist keine WebDAV-Antwort (multistatus).</source>
        <translation>The server&apos;s answer is not a WebDAV answer (multistatus).</translation>
    </message>
</context>
<context>
    <name>EventPatch</name>
    <message>
        <source>kein iCalendar-Objekt</source>
        <translation>not an iCalendar object</translation>
    </message>
    <message>
        <source>Termin nicht im Objekt des Servers</source>
        <translation>appointment not in the server&apos;s object</translation>
    </message>
</context>
<context>
    <name>FieldValues</name>
    <message>
        <source>Erinnert: nie</source>
        <translation>Reminded: never</translation>
    </message>
    <message>
        <source>Erinnert: %1; %2</source>
        <translation>Reminded: %1; %2</translation>
    </message>
</context>
<context>
    <name>IcalConverter</name>
    <message>
        <source>RECURRENCE-ID ist kein gültiges Datum.</source>
        <translation>RECURRENCE-ID is not a valid date.</translation>
    </message>
    <message>
        <source>Termin ohne DTSTART.</source>
        <translation>Appointment without DTSTART.</translation>
    </message>
    <message>
        <source>DTSTART ist kein gültiges Datum.</source>
        <translation>DTSTART is not a valid date.</translation>
    </message>
</context>
<context>
    <name>IcalEventFields</name>
    <message>
        <source>Erinnerung ohne gültigen TRIGGER.</source>
        <translation>Reminder without a valid TRIGGER.</translation>
    </message>
    <message>
        <source>TRIGGER ist keine gültige Dauer.</source>
        <translation>TRIGGER is not a valid duration.</translation>
    </message>
    <message>
        <source>Die Erinnerung liegt mehr als 68 Jahre vor oder nach dem Termin.</source>
        <translation>The reminder lies more than 68 years before or after the appointment.</translation>
    </message>
    <message>
        <source>DURATION ist keine gültige Dauer.</source>
        <translation>DURATION is not a valid duration.</translation>
    </message>
    <message>
        <source>%1 ist kein gültiger Zeitpunkt.</source>
        <translation>%1 is not a valid moment.</translation>
    </message>
    <message>
        <source>%1 muss eine Zahl von 0 bis 255 sein.</source>
        <translation>%1 must be a number from 0 to 255.</translation>
    </message>
</context>
<context>
    <name>IcalLines</name>
    <message>
        <source>Die Zeile enthält ein Nullzeichen.</source>
        <translation>The line contains a null character.</translation>
    </message>
    <message>
        <source>Die Zeile ist kein gültiges UTF-8.</source>
        <translation>The line is not valid UTF-8.</translation>
    </message>
    <message>
        <source>Die Zeile ist keine iCalendar-Zeile (NAME:WERT erwartet).</source>
        <translation>The line is not an iCalendar line (NAME:VALUE expected).</translation>
    </message>
</context>
<context>
    <name>IcalMessages</name>
    <message>
        <source>Die Zeile ist zu lang (mehr als %1 Bytes).</source>
        <translation>The line is too long (more than %1 bytes).</translation>
    </message>
    <message>
        <source>%1 hat keinen Wert.</source>
        <translation>%1 has no value.</translation>
    </message>
    <message>
        <source>%1 hat keinen gültigen Wert: „%2“.</source>
        <translation>%1 has no valid value: &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>%1 hat einen Parameter, der sich nicht lesen lässt.</source>
        <translation>%1 has a parameter that cannot be read.</translation>
    </message>
    <message>
        <source>%1 hat einen ungültigen Parameterwert.</source>
        <translation>%1 has an invalid parameter value.</translation>
    </message>
    <message>
        <source>Unbekannte Eigenschaft %1.</source>
        <translation>Unknown property %1.</translation>
    </message>
    <message>
        <source>%1 ist fehlerhaft.</source>
        <translation>%1 is faulty.</translation>
    </message>
</context>
<context>
    <name>IcalReader</name>
    <message>
        <source>Das ist keine iCalendar-Datei: BEGIN:VCALENDAR fehlt.</source>
        <translation>This is not an iCalendar file: BEGIN:VCALENDAR is missing.</translation>
    </message>
    <message>
        <source> Bis dahin gelesen: Ereignisse %1, Termine daraus %2.</source>
        <translation> Read until then: %1 events, %2 appointments from them.</translation>
    </message>
    <message>
        <source>Die Datei endet vor END:%1; sie ist unvollständig.</source>
        <translation>The file ends before END:%1; it is incomplete.</translation>
    </message>
    <message>
        <source>Nach END:VCALENDAR folgt noch Inhalt.</source>
        <translation>More content follows END:VCALENDAR.</translation>
    </message>
    <message>
        <source>BEGIN ohne Namen.</source>
        <translation>BEGIN without a name.</translation>
    </message>
    <message>
        <source>END ohne BEGIN.</source>
        <translation>END without BEGIN.</translation>
    </message>
    <message>
        <source>END:%1 erwartet, nicht END:%2.</source>
        <translation>END:%1 expected, not END:%2.</translation>
    </message>
    <message>
        <source>Die Zeile hat mehr als %1 Parameter.</source>
        <translation>The line has more than %1 parameters.</translation>
    </message>
    <message>
        <source>Der Termin lässt sich nicht lesen.</source>
        <translation>The appointment cannot be read.</translation>
    </message>
</context>
<context>
    <name>IcalRecurrence</name>
    <message>
        <source>Die Wiederholungsregel prüft jede Sekunde, Minute oder Stunde einzeln und trifft dabei bis zu %1 Tage lang nichts; so lässt sie sich nicht in vertretbarer Zeit auswerten.</source>
        <translation>The recurrence rule tries every second, minute or hour and matches nothing for up to %1 days; it cannot be worked out in reasonable time.</translation>
    </message>
    <message>
        <source>RRULE kann nicht ausgewertet werden.</source>
        <translation>RRULE cannot be worked out.</translation>
    </message>
    <message>
        <source>EXDATE ist kein gültiges Datum.</source>
        <translation>EXDATE is not a valid date.</translation>
    </message>
    <message>
        <source>RDATE ist kein gültiges Datum.</source>
        <translation>RDATE is not a valid date.</translation>
    </message>
    <message>
        <source>RRULE ist keine gültige Wiederholungsregel.</source>
        <translation>RRULE is not a valid recurrence rule.</translation>
    </message>
    <message>
        <source>Die Zeitzone wechselt bis 2100 zu oft (mehr als %1-mal in einer Zone oder %2-mal in der Datei).</source>
        <translation>The time zone changes too often up to 2100 (more than %1 times in one zone or %2 times in the file).</translation>
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
    <name>ListRows</name>
    <message>
        <source>1 Termin</source>
        <translation>1 appointment</translation>
    </message>
    <message>
        <source>%1 Termine</source>
        <translation>%1 appointments</translation>
    </message>
    <message>
        <source>Jahr %1</source>
        <translation>Year %1</translation>
    </message>
    <message>
        <source>Alle Jahre</source>
        <translation>All years</translation>
    </message>
    <message>
        <source>Keine Termine...</source>
        <translation>No appointments...</translation>
    </message>
</context>
<context>
    <name>Merge</name>
    <message>
        <source> (Konflikt)</source>
        <translation> (conflict)</translation>
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
    <name>NetLoader</name>
    <message>
        <source>Der Teil für den Abgleich (datumswecker-sync-net.so) fehlt.</source>
        <translation>The part for syncing (datumswecker-sync-net.so) is missing.</translation>
    </message>
    <message>
        <source>Der Teil für den Abgleich lässt sich nicht laden: %1</source>
        <translation>The part for syncing cannot be loaded: %1</translation>
    </message>
</context>
<context>
    <name>OccurrenceEditor</name>
    <message>
        <source>Termin einer Serie</source>
        <translation>Appointment of a series</translation>
    </message>
    <message>
        <source>„%1“ ist ein Termin einer Serie. Soll die Änderung nur für diesen Termin gelten oder für alle Termine der Serie?</source>
        <translation>&quot;%1&quot; is an appointment of a series. Should the change apply to this appointment only or to all appointments of the series?</translation>
    </message>
    <message>
        <source>Serie ändern</source>
        <translation>Change series</translation>
    </message>
    <message>
        <source>Die markierten Termine gehören zu einer Serie. Wollen Sie nur diesen Termin oder alle Termine der Serie unwiderruflich löschen?</source>
        <translation>The selected appointments belong to a series. Do you want to delete only this appointment or all appointments of the series for good?</translation>
    </message>
    <message>
        <source>Termine löschen</source>
        <translation>Delete appointments</translation>
    </message>
    <message>
        <source>Ein einzelner Termin.</source>
        <translation>A single appointment.</translation>
    </message>
    <message>
        <source>Serien sind nicht verfügbar.</source>
        <translation>Series are not available.</translation>
    </message>
    <message>
        <source>Termin einer Serie, seit dem %1%2.</source>
        <translation>Appointment of a series, since %1%2.</translation>
    </message>
    <message>
        <source>, einzeln geändert</source>
        <translation>, changed on its own</translation>
    </message>
    <message>
        <source>Die Serie „%1“ endet: dieser Termin bleibt als einzelner Termin, alle anderen Termine der Serie werden gelöscht. Fortfahren?</source>
        <translation>The series &quot;%1&quot; ends: this appointment stays as a single appointment, all other appointments of the series are deleted. Go on?</translation>
    </message>
    <message>
        <source>Serie beenden</source>
        <translation>End series</translation>
    </message>
</context>
<context>
    <name>ReminderCheck</name>
    <message>
        <source>Am %1 um %2 Uhr</source>
        <translation>On %1 at %2</translation>
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
    <name>Resource</name>
    <message>
        <source>Zeile %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>kein iCalendar-Objekt</source>
        <translation>not an iCalendar object</translation>
    </message>
</context>
<context>
    <name>SeriesFile</name>
    <message>
        <source>%1, Zeile %2: %3</source>
        <translation>%1, line %2: %3</translation>
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
    <name>Sync</name>
    <message>
        <source>%1 kann nicht geschrieben werden.</source>
        <translation>%1 cannot be written.</translation>
    </message>
    <message>
        <source>Es ist kein Kalender-Server eingerichtet (datumswecker --sync-account ADRESSE BENUTZER).</source>
        <translation>No calendar server is set up (datumswecker --sync-account ADDRESS USER).</translation>
    </message>
    <message>
        <source>Passwort für %1: </source>
        <translation>Password for %1: </translation>
    </message>
    <message>
        <source>Kein Passwort eingegeben.</source>
        <translation>No password entered.</translation>
    </message>
    <message>
        <source> Ohne Schlüsselbund: datumswecker --sync --password-stdin</source>
        <translation> Without a keyring: datumswecker --sync --password-stdin</translation>
    </message>
    <message>
        <source>
Der Kalender-Server wurde nicht eingerichtet.</source>
        <translation>
The calendar server was not set up.</translation>
    </message>
    <message>
        <source>Kalender-Server eingerichtet: %1 (Benutzer %2).
Kalender: %3</source>
        <translation>Calendar server set up: %1 (user %2).
Calendar: %3</translation>
    </message>
    <message>
        <source>
Das Passwort liegt im Schlüsselbund der Arbeitsumgebung.</source>
        <translation>
The password is kept in the desktop&apos;s keyring.</translation>
    </message>
    <message>
        <source>
Kein Schlüsselbund erreichbar: das Passwort wurde nicht gespeichert. Das Programm fragt beim Abgleich danach; auf der Kommandozeile: datumswecker --sync --password-stdin</source>
        <translation>
No keyring reachable: the password was not stored. The program asks for it when it syncs; on the command line: datumswecker --sync --password-stdin</translation>
    </message>
    <message>
        <source>„%1“ ist kein SHA-256-Fingerabdruck (64 Hexadezimalziffern, wie sie die Ablehnung des Zertifikats nennt).</source>
        <translation>&quot;%1&quot; is not a SHA-256 fingerprint (64 hexadecimal digits, as the certificate&apos;s refusal names them).</translation>
    </message>
    <message>
        <source>Es ist kein Kalender-Server eingerichtet (datumswecker --sync-account ADRESSE BENUTZER --trust-certificate SHA256).</source>
        <translation>No calendar server is set up (datumswecker --sync-account ADDRESS USER --trust-certificate SHA256).</translation>
    </message>
    <message>
        <source>Dem Zertifikat %1 wird für %2 vertraut; ein anderes wird wieder abgelehnt.</source>
        <translation>The certificate %1 is trusted for %2; any other is refused again.</translation>
    </message>
</context>
<context>
    <name>SyncCommand</name>
    <message>
        <source>Es ist kein Kalender-Server eingerichtet (datumswecker --sync-account ADRESSE BENUTZER).</source>
        <translation>No calendar server is set up (datumswecker --sync-account ADDRESS USER).</translation>
    </message>
</context>
<context>
    <name>SyncController</name>
    <message>
        <source>„%1“ ist keine Adresse eines Servers (https://...).</source>
        <translation>&quot;%1&quot; is not a server&apos;s address (https://...).</translation>
    </message>
    <message>
        <source>Unverschlüsselt (http://) wird nur mit diesem Rechner selbst abgeglichen; bitte eine https://-Adresse angeben.</source>
        <translation>Unencrypted (http://) syncing is only done with this computer itself; please give an https:// address.</translation>
    </message>
    <message>
        <source>Bitte geben Sie das Passwort für %1 ein.</source>
        <translation>Please enter the password for %1.</translation>
    </message>
    <message>
        <source>Noch nie abgeglichen.</source>
        <translation>Never synced yet.</translation>
    </message>
    <message>
        <source>Letzter Abgleich: %1 %2
%3</source>
        <translation>Last sync: %1 %2
%3</translation>
    </message>
</context>
<context>
    <name>SyncFaults</name>
    <message>
        <source>Der Server %1 ist nicht erreichbar. Der Abgleich wird später wiederholt; nichts geht verloren.</source>
        <translation>The server %1 cannot be reached. The sync is tried again later; nothing is lost.</translation>
    </message>
    <message>
        <source>Der Server %1 antwortet nicht (Zeitüberschreitung). Der Abgleich wird später wiederholt.</source>
        <translation>The server %1 does not answer (timeout). The sync is tried again later.</translation>
    </message>
    <message>
        <source>Das Zertifikat des Servers %1 („%2“) ist nicht vertrauenswürdig; die Verbindung wurde abgelehnt.</source>
        <translation>The certificate of the server %1 (&quot;%2&quot;) is not trusted; the connection was refused.</translation>
    </message>
    <message>
        <source>Das Zertifikat des Servers %1 („%2“) ist nicht vertrauenswürdig; die Verbindung wurde abgelehnt.
Sein Fingerabdruck (SHA-256): %3
Wer ihn mit dem des Servers verglichen hat, kann ihm vertrauen: „Zertifikat vertrauen“ in den Einstellungen oder datumswecker --trust-certificate %3</source>
        <translation>The certificate of the server %1 (&quot;%2&quot;) is not trusted; the connection was refused.
Its fingerprint (SHA-256): %3
Whoever has compared it with the server&apos;s can trust it: &quot;Trust certificate&quot; in the settings or datumswecker --trust-certificate %3</translation>
    </message>
    <message>
        <source>Verbindung unterbrochen: der Server %1 hat die Antwort nicht zu Ende gesendet. Der Abgleich wird später wiederholt; nichts geht verloren.</source>
        <translation>Connection broken: the server %1 did not send its answer to the end. The sync is tried again later; nothing is lost.</translation>
    </message>
    <message>
        <source>Eine Antwort des Servers %1 ist größer als %2 MB; der Abgleich wurde abgebrochen.</source>
        <translation>An answer of the server %1 is larger than %2 MB; the sync was stopped.</translation>
    </message>
    <message>
        <source>Eine Anfrage an %1 wurde nicht gesendet: Passwort und Termine gehen nur an den eingerichteten Server %2.</source>
        <translation>A request to %1 was not sent: password and appointments go only to the server set up, %2.</translation>
    </message>
    <message>
        <source>Unverschlüsselt (http://) wird nur mit diesem Rechner selbst abgeglichen.</source>
        <translation>Unencrypted (http://) syncing is only done with this computer itself.</translation>
    </message>
    <message>
        <source>Verbindung zum Server %1 gescheitert: %2</source>
        <translation>Connection to the server %1 failed: %2</translation>
    </message>
    <message>
        <source>Der Server %1 leitet %2 um, nennt aber kein Ziel.</source>
        <translation>The server %1 redirects %2 but names no target.</translation>
    </message>
    <message>
        <source>Der Server %1 leitet %2 nach %3 um. Bitte diese Adresse als Adresse des Kalender-Servers einrichten.</source>
        <translation>The server %1 redirects %2 to %3. Please set up that address as the calendar server&apos;s address.</translation>
    </message>
    <message>
        <source>Der Server %1 lehnt Benutzername oder Passwort ab.</source>
        <translation>The server %1 refuses the user name or password.</translation>
    </message>
    <message>
        <source>Der Server %1 verweigert den Zugriff (%2).</source>
        <translation>The server %1 denies access (%2).</translation>
    </message>
    <message>
        <source>Den Kalender %1 gibt es auf dem Server nicht (mehr).</source>
        <translation>The calendar %1 does not exist on the server (any more).</translation>
    </message>
    <message>
        <source>Der Server %1 meldet einen Fehler (%2 bei %3). Der Abgleich wird später wiederholt.</source>
        <translation>The server %1 reports an error (%2 on %3). The sync is tried again later.</translation>
    </message>
    <message>
        <source>Es ist kein Kalender-Server eingerichtet.</source>
        <translation>No calendar server is set up.</translation>
    </message>
    <message>
        <source>Unverschlüsselt (http://) wird nur mit diesem Rechner selbst abgeglichen; bitte eine https://-Adresse angeben.</source>
        <translation>Unencrypted (http://) syncing is only done with this computer itself; please give an https:// address.</translation>
    </message>
    <message>
        <source>%1 kann nicht gelesen werden; es wurde nichts abgeglichen.</source>
        <translation>%1 cannot be read; nothing was synced.</translation>
    </message>
    <message>
        <source>termine.dat konnte nicht gespeichert werden; der Abgleich wird später wiederholt.</source>
        <translation>termine.dat could not be saved; the sync is tried again later.</translation>
    </message>
    <message>
        <source>Der Server %1 antwortet nicht wie ein CalDAV-Server.</source>
        <translation>The server %1 does not answer like a CalDAV server.</translation>
    </message>
    <message>
        <source>Unter %1 ist kein Kalender zu finden.</source>
        <translation>No calendar can be found at %1.</translation>
    </message>
    <message>
        <source>Unter %1 gibt es keinen Kalender für Termine.</source>
        <translation>There is no calendar for appointments at %1.</translation>
    </message>
    <message>
        <source>Der Server nennt keinen Ort für Kalender (calendar-home-set).</source>
        <translation>The server names no place for calendars (calendar-home-set).</translation>
    </message>
    <message>
        <source>%1 ist kein Kalender.</source>
        <translation>%1 is not a calendar.</translation>
    </message>
    <message>
        <source>Der Server %1 hat %2 nicht wie erwartet ausgeführt (Antwort %3 statt %4). Der Abgleich wird später wiederholt.</source>
        <translation>The server %1 did not carry out %2 as expected (answer %3 instead of %4). The sync is tried again later.</translation>
    </message>
    <message>
        <source>Der Server %1 verweist auf einen anderen Server, %2. Dorthin sendet Datumswecker weder Passwort noch Termine; wer %2 vertraut, richtet dessen Adresse selbst ein.</source>
        <translation>The server %1 points to another server, %2. Datumswecker sends neither password nor appointments there; whoever trusts %2 sets up its address themselves.</translation>
    </message>
    <message>
        <source>(ohne Namen)</source>
        <translation>(no name)</translation>
    </message>
    <message>
        <source>Der Server %1 hat %2 Kalender für Termine. Bitte einen davon wählen (in den Einstellungen, oder seine Adresse mit datumswecker --sync-account einrichten):
%3</source>
        <translation>The server %1 has %2 calendars for appointments. Please choose one of them (in the settings, or set up its address with datumswecker --sync-account):
%3</translation>
    </message>
</context>
<context>
    <name>SyncReport</name>
    <message>
        <source>Vom Server neu: %1</source>
        <translation>New from the server: %1</translation>
    </message>
    <message>
        <source>Vom Server geändert: %1</source>
        <translation>Changed by the server: %1</translation>
    </message>
    <message>
        <source>Auf dem Server gelöscht: %1</source>
        <translation>Deleted on the server: %1</translation>
    </message>
    <message>
        <source>Zum Server gesendet: %1</source>
        <translation>Sent to the server: %1</translation>
    </message>
    <message>
        <source>Auf dem Server gelöscht von hier: %1</source>
        <translation>Deleted on the server from here: %1</translation>
    </message>
    <message>
        <source>Hier und auf dem Server geändert, beide Fassungen behalten: %1</source>
        <translation>Changed here and on the server, both versions kept: %1</translation>
    </message>
    <message>
        <source>Auf dem Server nicht lesbar, übersprungen: %1</source>
        <translation>Unreadable on the server, skipped: %1</translation>
    </message>
    <message>
        <source>Außerhalb des Kalenders, übersprungen: %1</source>
        <translation>Outside the calendar, skipped: %1</translation>
    </message>
    <message>
        <source>Abgeglichen, nichts geändert.</source>
        <translation>Synced, nothing changed.</translation>
    </message>
    <message>
        <source>Abgeglichen.
</source>
        <translation>Synced.
</translation>
    </message>
    <message>
        <source>Der Abgleich wurde dort abgebrochen. Bis dahin vom Server übernommen und gespeichert: neu %1, geändert %2, gelöscht %3; zum Server gesendet: %4, dort gelöscht: %5. Der Rest folgt beim nächsten Abgleich.</source>
        <translation>The sync stopped there. Taken from the server and saved until then: %1 new, %2 changed, %3 deleted; sent to the server: %4, deleted there: %5. The rest follows at the next sync.</translation>
    </message>
</context>
<context>
    <name>SyncSection</name>
    <message>
        <source>Abgleich mit einem Kalender-Server (CalDAV)</source>
        <translation>Sync with a calendar server (CalDAV)</translation>
    </message>
    <message>
        <source>Adresse des Kalender-Servers</source>
        <translation>Address of the calendar server</translation>
    </message>
    <message>
        <source>https://server/kalender/</source>
        <translation>https://server/calendar/</translation>
    </message>
    <message>
        <source>&amp;Adresse:</source>
        <translation>&amp;Address:</translation>
    </message>
    <message>
        <source>Benutzername</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>&amp;Benutzer:</source>
        <translation>&amp;User:</translation>
    </message>
    <message>
        <source>Passwort</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>&amp;Passwort:</source>
        <translation>&amp;Password:</translation>
    </message>
    <message>
        <source>Abgleichen alle: Minuten</source>
        <translation>Sync every: minutes</translation>
    </message>
    <message>
        <source>Inter&amp;vall:</source>
        <translation>Inter&amp;val:</translation>
    </message>
    <message>
        <source>Minuten</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>&amp;Jetzt abgleichen</source>
        <translation>S&amp;ync now</translation>
    </message>
    <message>
        <source>Jetzt abgleichen</source>
        <translation>Sync now</translation>
    </message>
    <message>
        <source>Kalender</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>Ka&amp;lender:</source>
        <translation>Ca&amp;lendar:</translation>
    </message>
    <message>
        <source>Zerti&amp;fikat vertrauen</source>
        <translation>T&amp;rust certificate</translation>
    </message>
    <message>
        <source>Zertifikat vertrauen</source>
        <translation>Trust certificate</translation>
    </message>
    <message>
        <source>Letzter Abgleich</source>
        <translation>Last sync</translation>
    </message>
    <message>
        <source>Bitte zuerst Adresse und Benutzer des Kalender-Servers angeben.</source>
        <translation>Please give the calendar server&apos;s address and user first.</translation>
    </message>
    <message>
        <source>Wird abgeglichen …</source>
        <translation>Syncing …</translation>
    </message>
    <message>
        <source>der Kalender unter der Adresse</source>
        <translation>the calendar at the address</translation>
    </message>
    <message>
        <source>bitte wählen</source>
        <translation>please choose</translation>
    </message>
    <message>
        <source>%1 Termin(e) wurden hier und auf dem Server geändert. Beide Fassungen sind erhalten: die des Servers an ihrem Platz, Ihre als zweiter Termin mit „(Konflikt)“ am Ende des Namens.</source>
        <translation>%1 appointment(s) were changed here and on the server. Both versions are kept: the server&apos;s in its place, yours as a second appointment with &quot;(conflict)&quot; at the end of its name.</translation>
    </message>
    <message>
        <source>Kalender-Abgleich</source>
        <translation>Calendar sync</translation>
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
    <message>
        <source>Wollen Sie die markierten Termine wirklich unwiderruflich löschen?</source>
        <translation>Do you really want to delete the selected appointments for good?</translation>
    </message>
    <message>
        <source>Termine löschen</source>
        <translation>Delete appointments</translation>
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
    <name>Uploads</name>
    <message>
        <source>200, 201 oder 204</source>
        <translation>200, 201 or 204</translation>
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
<context>
    <name>plain::Reading</name>
    <message>
        <source>%1 kann nicht gelesen werden.</source>
        <translation>%1 cannot be read.</translation>
    </message>
    <message>
        <source>%1 ist beschädigt (die Datei endet zu früh). Starten Sie das Programm: es sichert die Datei.</source>
        <translation>%1 is damaged (the file ends too early). Start the program: it keeps a copy of the file.</translation>
    </message>
    <message>
        <source>%1 ist beschädigt (Zeile %2: %3). Starten Sie das Programm: es sichert die Datei.</source>
        <translation>%1 is damaged (line %2: %3). Start the program: it keeps a copy of the file.</translation>
    </message>
    <message>
        <source>--days braucht eine Zahl von 1 bis %1.</source>
        <translation>--days needs a number from 1 to %1.</translation>
    </message>
    <message>
        <source>Unbekanntes Datum: %1 (erwartet %2 oder JJJJ-MM-TT).</source>
        <translation>Unknown date: %1 (expected %2 or YYYY-MM-DD).</translation>
    </message>
    <message>
        <source>Unbekannte Option: %1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>Keine Termine vom %1 bis %2.</source>
        <translation>No appointments from %1 to %2.</translation>
    </message>
</context>
<context>
    <name>plain::SeriesReader</name>
    <message>
        <source>Die Zeile ist länger als 1 MiB.</source>
        <translation>The line is longer than 1 MiB.</translation>
    </message>
    <message>
        <source>Die Zeile ist keine iCalendar-Zeile.</source>
        <translation>The line is not an iCalendar line.</translation>
    </message>
    <message>
        <source>Ein Parameter der Zeile ist unvollständig.</source>
        <translation>A parameter of the line is incomplete.</translation>
    </message>
    <message>
        <source>Ein Anführungszeichen der Zeile wird nicht geschlossen.</source>
        <translation>A quotation mark of the line is not closed.</translation>
    </message>
    <message>
        <source>Der Zeile fehlt der Doppelpunkt vor dem Wert.</source>
        <translation>The line lacks the colon before its value.</translation>
    </message>
    <message>
        <source>%1 ist kein gültiges Datum: %2</source>
        <translation>%1 is not a valid date: %2</translation>
    </message>
    <message>
        <source>%1 soll ein Datum ohne Uhrzeit sein.</source>
        <translation>%1 should be a date without a time of day.</translation>
    </message>
    <message>
        <source>Die Wiederholungsregel ist nicht lesbar.</source>
        <translation>The recurrence rule cannot be read.</translation>
    </message>
    <message>
        <source>Der Wiederholungsregel fehlt die Frequenz.</source>
        <translation>The recurrence rule lacks its frequency.</translation>
    </message>
    <message>
        <source>Die Wiederholungsregel hat keine gültige Frequenz.</source>
        <translation>The recurrence rule has no valid frequency.</translation>
    </message>
    <message>
        <source>Das Intervall der Wiederholungsregel ist ungültig.</source>
        <translation>The interval of the recurrence rule is invalid.</translation>
    </message>
    <message>
        <source>Die Anzahl der Wiederholungsregel ist ungültig.</source>
        <translation>The count of the recurrence rule is invalid.</translation>
    </message>
    <message>
        <source>Das Ende der Wiederholungsregel ist kein gültiges Datum.</source>
        <translation>The end of the recurrence rule is not a valid date.</translation>
    </message>
    <message>
        <source>Der Zeitpunkt der letzten Erinnerung ist ungültig.</source>
        <translation>The moment of the last reminder is invalid.</translation>
    </message>
    <message>
        <source>Die Komponenten sind zu tief verschachtelt.</source>
        <translation>The components are nested too deeply.</translation>
    </message>
    <message>
        <source>Die Vorlaufzeit der Erinnerung ist ungültig.</source>
        <translation>The reminder&apos;s lead time is invalid.</translation>
    </message>
    <message>
        <source>Der Abstand der Erinnerungen ist ungültig.</source>
        <translation>The interval between reminders is invalid.</translation>
    </message>
    <message>
        <source>Die Datei endet mitten in einer Erinnerung.</source>
        <translation>The file ends in the middle of a reminder.</translation>
    </message>
    <message>
        <source>Die Datei endet mitten in einer Komponente.</source>
        <translation>The file ends in the middle of a component.</translation>
    </message>
    <message>
        <source>Der Erinnerung fehlt der Termin der Serie.</source>
        <translation>The reminder lacks the appointment of its series.</translation>
    </message>
    <message>
        <source>endet mitten</source>
        <translation>ends in the middle</translation>
    </message>
    <message>
        <source>Die Datei endet mitten in einem Termin.</source>
        <translation>The file ends in the middle of an appointment.</translation>
    </message>
    <message>
        <source>Dem Termin fehlt sein Beginn (DTSTART).</source>
        <translation>The appointment lacks its start (DTSTART).</translation>
    </message>
    <message>
        <source>Die Datei endet, bevor der Kalender endet.</source>
        <translation>The file ends before the calendar ends.</translation>
    </message>
    <message>
        <source>Die Datei endet mitten in einer Zeitzone.</source>
        <translation>The file ends in the middle of a time zone.</translation>
    </message>
    <message>
        <source>Die Serie %1 steht zweimal in der Datei.</source>
        <translation>The series %1 is in the file twice.</translation>
    </message>
    <message>
        <source>Zur Ausnahme %1 gibt es keine Serie.</source>
        <translation>The exception %1 has no series.</translation>
    </message>
    <message>
        <source>Die Datei ist keine iCalendar-Datei.</source>
        <translation>The file is not an iCalendar file.</translation>
    </message>
</context>
</TS>
