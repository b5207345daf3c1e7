#include "sync/SyncFaults.h"

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
                     QStringLiteral("Der Server %1 ist nicht erreichbar. Der Abgleich wird später "
                                    "wiederholt; nichts geht verloren.")
                         .arg(c.server)};
    case F::TimedOut:
        return Fault{K::TimedOut, QStringLiteral("Der Server %1 antwortet nicht (Zeitüberschreitung). Der "
                                                 "Abgleich wird später wiederholt.")
                                      .arg(c.server)};
    case F::Certificate:
        return Fault{K::Certificate,
                     QStringLiteral("Das Zertifikat des Servers %1 („%2“) ist nicht vertrauenswürdig; die "
                                    "Verbindung wurde abgelehnt.")
                         .arg(c.server, reply.detail)};
    case F::Insecure:
        return Fault{
            K::Insecure,
            QStringLiteral("Unverschlüsselt (http://) wird nur mit diesem Rechner selbst abgeglichen.")};
    case F::Other:
        return Fault{K::Unreachable,
                     QStringLiteral("Verbindung zum Server %1 gescheitert: %2").arg(c.server, reply.detail)};
    }
    if (reply.status == 401)
        return Fault{K::Unauthorized,
                     QStringLiteral("Der Server %1 lehnt Benutzername oder Passwort ab.").arg(c.server)};
    if (reply.status == 403)
        return Fault{K::Forbidden,
                     QStringLiteral("Der Server %1 verweigert den Zugriff (%2).").arg(c.server, c.request)};
    if (reply.status == 404)
        return Fault{K::NotFound, QStringLiteral("Den Kalender %1 gibt es auf dem Server nicht (mehr).")
                                      .arg(c.collection.toString())};
    if (reply.status < 200 || reply.status >= 300)
        return Fault{
            K::Server,
            QStringLiteral(
                "Der Server %1 meldet einen Fehler (%2 bei %3). Der Abgleich wird später wiederholt.")
                .arg(c.server)
                .arg(reply.status)
                .arg(c.request)};
    return std::nullopt;
}

namespace faults {

Fault NoAccount()
{
    return {SyncReport::Fault::NoAccount, QStringLiteral("Es ist kein Kalender-Server eingerichtet.")};
}

Fault InsecureAddress()
{
    return {SyncReport::Fault::Insecure,
            QStringLiteral("Unverschlüsselt (http://) wird nur mit diesem Rechner selbst abgeglichen; "
                           "bitte eine https://-Adresse angeben.")};
}

Fault StateUnreadable(const QString& path)
{
    return {SyncReport::Fault::Store,
            QStringLiteral("%1 kann nicht gelesen werden; es wurde nichts abgeglichen.").arg(path)};
}

Fault StoreNotSaved()
{
    return {
        SyncReport::Fault::Store,
        QStringLiteral("termine.dat konnte nicht gespeichert werden; der Abgleich wird später wiederholt.")};
}

Fault BadReply(const QString& server, const QString& error)
{
    return {SyncReport::Fault::BadReply,
            error.isEmpty()
                ? QStringLiteral("Der Server %1 antwortet nicht wie ein CalDAV-Server.").arg(server)
                : error};
}

Fault NoCalendarAt(const QString& address)
{
    return {SyncReport::Fault::NotFound,
            QStringLiteral("Unter %1 ist kein Kalender zu finden.").arg(address)};
}

Fault NoEventCalendarAt(const QString& address)
{
    return {SyncReport::Fault::NotFound,
            QStringLiteral("Unter %1 gibt es keinen Kalender für Termine.").arg(address)};
}

Fault NoCalendarHome()
{
    return {SyncReport::Fault::NotFound,
            QStringLiteral("Der Server nennt keinen Ort für Kalender (calendar-home-set).")};
}

Fault NotACalendar(const QString& address)
{
    return {SyncReport::Fault::NotFound, QStringLiteral("%1 ist kein Kalender.").arg(address)};
}

} // namespace faults

} // namespace dw::sync
