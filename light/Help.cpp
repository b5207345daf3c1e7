// The one help text of the command line: the light program prints it for
// --help and usage errors, and the Qt command line takes it from here.
#include "light/Reading.h"
#include "plain/Translate.h"

namespace dw::reading {

namespace {

// One block an option, so a new option is one more text to translate.
constexpr const char* OptionTexts[] = {
    TrNoop("plain::Help",
           "  --agenda [DATUM] [--days N] [--json]\n"
           "      Termine ab DATUM (Vorgabe: heute; Datum wie in den Ländereinstellungen oder JJJJ-MM-TT)\n"
           "      für N Tage (Vorgabe: 7), nach Datum und Uhrzeit.\n"
           "      Beispiel: datumswecker --agenda 24.12.2030\n"),
    TrNoop("plain::Help", "  --days N\n"
                          "      Zu --agenda: wie viele Tage (1 bis 36890).\n"
                          "      Beispiel: datumswecker --agenda 2030-12-24 --days 14\n"),
    TrNoop("plain::Help",
           "  --due [--json]\n"
           "      Was eine Prüfung jetzt melden würde; ändert nichts. Exit-Status 0: etwas ist fällig,\n"
           "      1: nichts, 2: Fehler.\n"
           "      Beispiel: datumswecker --due && notify-send \"Termine fällig\"\n"),
    TrNoop("plain::Help", "  --json\n"
                          "      Zu --agenda und --due: ein JSON-Objekt je Termin und Zeile.\n"
                          "      Beispiel: datumswecker --agenda 2030-12-24 --json\n"),
    TrNoop("plain::Help", "  --export DATEI.ics\n"
                          "      Alle Termine als iCalendar-Datei; - schreibt auf die Standardausgabe.\n"
                          "      Beispiel: datumswecker --export termine.ics\n"),
    TrNoop("plain::Help",
           "  --import DATEI.ics\n"
           "      Fügt die Termine einer iCalendar-Datei hinzu (2000–2100); schon vorhandene\n"
           "      (gleicher Tag, gleiche Uhrzeit, gleicher Name) werden übersprungen. Läuft das\n"
           "      Programm, übernimmt es den Import.\n"
           "      Beispiel: datumswecker --import kalender.ics\n"),
    TrNoop("plain::Help",
           "  --sync [--password-stdin]\n"
           "      Gleicht die Termine mit dem eingerichteten Kalender-Server ab (CalDAV). Läuft das\n"
           "      Programm, gleicht es selbst ab. Exit-Status 0: abgeglichen, 2: Fehler.\n"
           "      Beispiel: pass kalender | datumswecker --sync --password-stdin\n"),
    TrNoop("plain::Help",
           "  --sync-account ADRESSE BENUTZER [--password-stdin] [--trust-certificate SHA256]\n"
           "      Richtet den Kalender-Server ein: die Adresse des Kalenders (oder des Servers) und den\n"
           "      Benutzer; das Passwort wird im Terminal erfragt oder mit --password-stdin aus der ersten\n"
           "      Zeile der Standardeingabe gelesen und kommt in den Schlüsselbund, nie in eine Datei.\n"
           "      Beides wird erst mit dem Server versucht; genannt wird der Kalender, der gefunden wurde.\n"
           "      Beispiel: pass kalender | datumswecker --sync-account https://dav.example/anna/kalender/ "
           "anna \\\n"
           "                --password-stdin\n"),
    TrNoop("plain::Help",
           "  --trust-certificate SHA256\n"
           "      Vertraut dem Zertifikat des Servers mit diesem Fingerabdruck, den die Ablehnung nennt\n"
           "      (ein selbst ausgestelltes); ein geändertes Zertifikat wird wieder abgelehnt.\n"
           "      Beispiel: datumswecker --trust-certificate AB:CD:...:EF\n"),
    TrNoop("plain::Help",
           "  --password-stdin\n"
           "      Zu --sync und --sync-account: das Passwort aus der ersten Zeile der Standardeingabe.\n"
           "      Beispiel: secret-tool lookup dienst kalender | datumswecker --sync --password-stdin\n"),
    TrNoop("plain::Help", "  --help\n"
                          "      Diese Hilfe.\n"
                          "      Beispiel: datumswecker --help\n"),
};

} // namespace

std::string HelpText()
{
    std::string text = Tr("plain::Help", "Aufruf: datumswecker [OPTION]\n"
                                         "Ohne Option startet das Programm mit seinem Fenster. Mit einer "
                                         "Option läuft es ohne Fenster\n"
                                         "und endet.\n");
    text += '\n';
    for (const char* option : OptionTexts)
        text += Tr("plain::Help", option);
    return text;
}

} // namespace dw::reading
