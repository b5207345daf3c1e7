#pragma once

#include <QString>
#include <QUrl>

// Where a server's words may lead: an address it names is taken only on the
// origin the person set up, and an event only inside the calendar.
namespace dw::sync {

struct HrefPlace
{
    enum Kind
    {
        Inside,     // an event of the calendar; `path` is its path there
        Collection, // the calendar itself
        Outside     // another host, another folder, or a path that climbs (..)
    };
    Kind kind = Outside;
    QString path;
};

// Resolves an href of a listing (a path, relative or absolute, or a whole
// URL; percent-decoded) against the calendar's address.
HrefPlace PlaceOf(const QUrl& collection, const QString& href);

// The collection's address as the requests use it, ending in a slash.
QUrl CollectionUrl(const QString& collection);

// "host:port" as the person reads it in a message.
QString HostOf(const QUrl& url);

} // namespace dw::sync
