#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The WebDAV and CalDAV requests the sync sends (RFC 4918, 4791, 6578) and the
// multistatus replies they get, read with QXmlStreamReader.
namespace dw::sync::dav {

// What one <response> of a multistatus says about one resource; only
// properties of a propstat with status 200 are taken.
struct Entry
{
    QString href; // as the server wrote it, percent-decoded
    int status = 200;
    QByteArray etag;
    QByteArray calendarData;
    bool hasCalendarData = false;
    bool collection = false;
    bool calendar = false;
    bool syncReport = false; // offers sync-collection
    bool events = true;      // takes VEVENT (a collection that names its components and not VEVENT does not)
    QString principal;
    QString calendarHome;
    QString displayName;
};

struct Multistatus
{
    std::vector<Entry> entries;
    QByteArray syncToken;
};

// False with a German reason when the body is not a well-formed multistatus.
bool Parse(const QByteArray& xml, Multistatus& out, QString& error);

QByteArray CollectionPropfind(); // resource type, reports, principal, home, components
QByteArray EtagPropfind();
QByteArray SyncCollection(const QByteArray& token);
QByteArray Multiget(const QStringList& hrefs);

// The status code of "HTTP/1.1 404 Not Found".
int StatusOf(const QString& statusLine);

} // namespace dw::sync::dav
