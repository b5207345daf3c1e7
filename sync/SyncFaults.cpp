#include "sync/SyncFaults.h"

#include "sync/Origin.h"

#include <algorithm>

#include <QCoreApplication>

namespace dw::sync {

std::optional<Fault> FaultOf(const HttpReply& reply, const ReplyContext& c)
{
    using F = HttpReply::Failure;
    using K = SyncReport::Fault;
    switch (reply.failure) {
    case F::None:
        break;
    case F::Unreachable:
        return Fault{K::Unreachable,
                     QCoreApplication::translate(
                         "SyncFaults", "Der Server %1 ist nicht erreichbar. Der Abgleich wird später "
                                       "wiederholt; nichts geht verloren.")
                         .arg(c.server)};
    case F::TimedOut:
        return Fault{K::TimedOut, QCoreApplication::translate(
                                      "SyncFaults", "Der Server %1 antwortet nicht (Zeitüberschreitung). Der "
                                                    "Abgleich wird später wiederholt.")
                                      .arg(c.server)};
    case F::Certificate:
        if (reply.fingerprint.isEmpty())
            return Fault{K::Certificate,
                         QCoreApplication::translate(
                             "SyncFaults",
                             "Das Zertifikat des Servers %1 („%2“) ist nicht vertrauenswürdig; die "
                             "Verbindung wurde abgelehnt.")
                             .arg(c.server, reply.detail)};
        return Fault{K::Certificate,
                     QCoreApplication::translate(
                         "SyncFaults",
                         "Das Zertifikat des Servers %1 („%2“) ist nicht vertrauenswürdig; die "
                         "Verbindung wurde abgelehnt.\nSein Fingerabdruck (SHA-256): %3\nWer ihn "
                         "mit dem des Servers verglichen hat, kann ihm vertrauen: „Zertifikat "
                         "vertrauen“ in den Einstellungen oder datumswecker --trust-certificate %3")
                         .arg(c.server, reply.detail, FingerprintText(reply.fingerprint)),
                     reply.fingerprint};
    case F::Interrupted:
        return Fault{K::Unreachable,
                     QCoreApplication::translate("SyncFaults",
                                                 "Verbindung unterbrochen: der Server %1 hat die Antwort "
                                                 "nicht zu Ende gesendet. Der Abgleich wird später "
                                                 "wiederholt; nichts geht verloren.")
                         .arg(c.server)};
    case F::TooLarge:
        return Fault{K::BadReply,
                     QCoreApplication::translate(
                         "SyncFaults", "Eine Antwort des Servers %1 ist größer als %2 MB; der Abgleich "
                                       "wurde abgebrochen.")
                         .arg(c.server)
                         .arg(MaxReplyBytes / (1024 * 1024))};
    case F::BadHeader:
        return Fault{K::BadReply, QStringLiteral("Der Server %1 hat einen Antwortkopf gesendet, der nicht zu "
                                                 "lesen ist: ein Feld ist zu lang (ein ETag über %2 Bytes) "
                                                 "oder keines lesbar. Der Abgleich wurde abgebrochen.")
                                      .arg(c.server)
                                      .arg(MaxEtagBytes)};
    case F::OtherOrigin:
        return Fault{K::OtherOrigin,
                     QCoreApplication::translate("SyncFaults",
                                                 "Eine Anfrage an %1 wurde nicht gesendet: Passwort und "
                                                 "Termine gehen nur an den eingerichteten Server %2.")
                         .arg(reply.detail, c.server)};
    case F::Insecure:
        return Fault{
            K::Insecure,
            QCoreApplication::translate(
                "SyncFaults", "Unverschlüsselt (http://) wird nur mit diesem Rechner selbst abgeglichen.")};
    case F::Other:
        return Fault{K::Unreachable,
                     QCoreApplication::translate("SyncFaults", "Verbindung zum Server %1 gescheitert: %2")
                         .arg(c.server, reply.detail)};
    }
    if (reply.status >= 300 && reply.status < 400)
        return Fault{K::Redirected,
                     reply.location.isEmpty()
                         ? QCoreApplication::translate("SyncFaults",
                                                       "Der Server %1 leitet %2 um, nennt aber kein Ziel.")
                               .arg(c.server, c.request)
                         : QCoreApplication::translate(
                               "SyncFaults",
                               "Der Server %1 leitet %2 nach %3 um. Bitte diese Adresse als Adresse "
                               "des Kalender-Servers einrichten.")
                               .arg(c.server, c.request, reply.location.toString())};
    if (reply.status == 401)
        return Fault{K::Unauthorized, QCoreApplication::translate(
                                          "SyncFaults", "Der Server %1 lehnt Benutzername oder Passwort ab.")
                                          .arg(c.server)};
    if (reply.status == 403)
        return Fault{K::Forbidden,
                     QCoreApplication::translate("SyncFaults", "Der Server %1 verweigert den Zugriff (%2).")
                         .arg(c.server, c.request)};
    if (reply.status == 404)
        return Fault{K::NotFound, QCoreApplication::translate(
                                      "SyncFaults", "Den Kalender %1 gibt es auf dem Server nicht (mehr).")
                                      .arg(c.collection.toString())};
    if (reply.status < 200 || reply.status >= 300)
        return Fault{
            K::Server,
            QCoreApplication::translate(
                "SyncFaults",
                "Der Server %1 meldet einen Fehler (%2 bei %3). Der Abgleich wird später wiederholt.")
                .arg(c.server)
                .arg(reply.status)
                .arg(c.request)};
    return std::nullopt;
}

namespace faults {

Fault NoAccount()
{
    return {SyncReport::Fault::NoAccount,
            QCoreApplication::translate("SyncFaults", "Es ist kein Kalender-Server eingerichtet.")};
}

Fault InsecureAddress()
{
    return {SyncReport::Fault::Insecure,
            QCoreApplication::translate(
                "SyncFaults", "Unverschlüsselt (http://) wird nur mit diesem Rechner selbst abgeglichen; "
                              "bitte eine https://-Adresse angeben.")};
}

Fault StateUnreadable(const QString& path)
{
    return {SyncReport::Fault::Store,
            QCoreApplication::translate("SyncFaults",
                                        "%1 kann nicht gelesen werden; es wurde nichts abgeglichen.")
                .arg(path)};
}

Fault StoreNotSaved()
{
    return {SyncReport::Fault::Store,
            QCoreApplication::translate(
                "SyncFaults",
                "termine.dat konnte nicht gespeichert werden; der Abgleich wird später wiederholt.")};
}

Fault BadReply(const QString& server, const QString& error)
{
    return {SyncReport::Fault::BadReply,
            error.isEmpty() ? QCoreApplication::translate(
                                  "SyncFaults", "Der Server %1 antwortet nicht wie ein CalDAV-Server.")
                                  .arg(server)
                            : error};
}

Fault Bound(const QString& reached)
{
    return {SyncReport::Fault::Bound, reached};
}

Fault NoCalendarAt(const QString& address)
{
    return {SyncReport::Fault::NotFound,
            QCoreApplication::translate("SyncFaults", "Unter %1 ist kein Kalender zu finden.").arg(address)};
}

Fault NoEventCalendarAt(const QString& address)
{
    return {SyncReport::Fault::NotFound,
            QCoreApplication::translate("SyncFaults", "Unter %1 gibt es keinen Kalender für Termine.")
                .arg(address)};
}

Fault NoCalendarHome()
{
    return {SyncReport::Fault::NotFound,
            QCoreApplication::translate("SyncFaults",
                                        "Der Server nennt keinen Ort für Kalender (calendar-home-set).")};
}

Fault NotACalendar(const QString& address)
{
    return {SyncReport::Fault::NotFound,
            QCoreApplication::translate("SyncFaults", "%1 ist kein Kalender.").arg(address)};
}

Fault NotDone(const QString& server, const QString& request, int status, const QString& wanted)
{
    return {SyncReport::Fault::Server,
            QCoreApplication::translate(
                "SyncFaults", "Der Server %1 hat %2 nicht wie erwartet ausgeführt (Antwort %3 statt %4). Der "
                              "Abgleich wird später wiederholt.")
                .arg(server, request)
                .arg(status)
                .arg(wanted)};
}

Fault OtherServer(const QUrl& account, const QUrl& other)
{
    return {SyncReport::Fault::OtherOrigin,
            QCoreApplication::translate(
                "SyncFaults",
                "Der Server %1 verweist auf einen anderen Server, %2. Dorthin sendet Datumswecker "
                "weder Passwort noch Termine; wer %2 vertraut, richtet dessen Adresse selbst ein.")
                .arg(HostOf(account), HostOf(other))};
}

Fault ChooseCalendar(const QString& server, const QList<std::pair<QString, QString>>& calendars)
{
    QStringList lines;
    for (const auto& [url, name] : calendars)
        lines << QStringLiteral("  %1: %2")
                     .arg(name.isEmpty() ? QCoreApplication::translate("SyncFaults", "(ohne Namen)") : name,
                          url);
    return {SyncReport::Fault::ChooseCalendar,
            QCoreApplication::translate(
                "SyncFaults",
                "Der Server %1 hat %2 Kalender für Termine. Bitte einen davon wählen (in den "
                "Einstellungen, oder seine Adresse mit datumswecker --sync-account einrichten):\n%3")
                .arg(server)
                .arg(calendars.size())
                .arg(lines.join(QLatin1Char('\n')))};
}

} // namespace faults

QString FingerprintText(const QByteArray& hex)
{
    QStringList pairs;
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2)
        pairs << QString::fromLatin1(hex.mid(i, 2)).toUpper();
    return pairs.join(QLatin1Char(':'));
}

QByteArray FingerprintFrom(const QString& text)
{
    QByteArray hex = text.trimmed().toLatin1().toLower();
    hex.replace(':', "");
    const bool isHex = std::all_of(hex.cbegin(), hex.cend(), [](char ch) {
        return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f');
    });
    return isHex && hex.size() == 64 ? hex : QByteArray();
}

} // namespace dw::sync
