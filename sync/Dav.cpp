#include "sync/Dav.h"

#include "sync/Transport.h"

#include <QCoreApplication>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace dw::sync::dav {

namespace {

const QString DavNs = QStringLiteral("DAV:");
const QString CalNs = QStringLiteral("urn:ietf:params:xml:ns:caldav");

class Body
{
public:
    explicit Body(const QString& root) : m_xml(&m_bytes)
    {
        m_xml.writeStartDocument();
        m_xml.writeNamespace(DavNs, QStringLiteral("d"));
        m_xml.writeNamespace(CalNs, QStringLiteral("c"));
        m_xml.writeStartElement(root.startsWith(QLatin1String("c:")) ? CalNs : DavNs, root.mid(2));
    }
    QXmlStreamWriter& xml() { return m_xml; }
    void prop(const QStringList& names)
    {
        m_xml.writeStartElement(DavNs, QStringLiteral("prop"));
        for (const QString& name : names)
            m_xml.writeEmptyElement(name.startsWith(QLatin1String("c:")) ? CalNs : DavNs, name.mid(2));
        m_xml.writeEndElement();
    }
    QByteArray done()
    {
        m_xml.writeEndDocument();
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    QXmlStreamWriter m_xml;
};

bool Is(const QXmlStreamReader& xml, const QString& ns, const char* name)
{
    return xml.namespaceUri() == ns && xml.name() == QLatin1String(name);
}

// The <href> somewhere within the element the reader stands on.
QString HrefWithin(QXmlStreamReader& xml)
{
    QString href;
    while (xml.readNextStartElement()) {
        if (Is(xml, DavNs, "href"))
            href = QUrl::fromPercentEncoding(xml.readElementText().trimmed().toUtf8());
        else
            xml.skipCurrentElement();
    }
    return href;
}

void ReadProp(QXmlStreamReader& xml, Entry& e)
{
    while (xml.readNextStartElement()) {
        if (Is(xml, DavNs, "getetag")) {
            e.etag = xml.readElementText().trimmed().toUtf8();
        } else if (Is(xml, CalNs, "calendar-data")) {
            e.calendarData = xml.readElementText().toUtf8();
            e.hasCalendarData = true;
        } else if (Is(xml, DavNs, "resourcetype")) {
            while (xml.readNextStartElement()) {
                e.collection |= Is(xml, DavNs, "collection");
                e.calendar |= Is(xml, CalNs, "calendar");
                xml.skipCurrentElement();
            }
        } else if (Is(xml, DavNs, "supported-report-set")) {
            // <supported-report><report><sync-collection/></report></supported-report>
            int level = 1;
            while (level > 0 && !xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement()) {
                    ++level;
                    e.syncReport |= Is(xml, DavNs, "sync-collection");
                } else if (xml.isEndElement()) {
                    --level;
                }
            }
        } else if (Is(xml, CalNs, "supported-calendar-component-set")) {
            bool named = false;
            bool events = false;
            while (xml.readNextStartElement()) {
                named = true;
                events |= xml.attributes()
                              .value(QLatin1String("name"))
                              .compare(QLatin1String("VEVENT"), Qt::CaseInsensitive) == 0;
                xml.skipCurrentElement();
            }
            e.events = !named || events;
        } else if (Is(xml, DavNs, "displayname")) {
            e.displayName = xml.readElementText().simplified().left(200);
        } else if (Is(xml, DavNs, "current-user-principal")) {
            e.principal = HrefWithin(xml);
        } else if (Is(xml, CalNs, "calendar-home-set")) {
            e.calendarHome = HrefWithin(xml);
        } else {
            xml.skipCurrentElement();
        }
    }
}

void ReadResponse(QXmlStreamReader& xml, Multistatus& out)
{
    Entry e;
    bool statusGiven = false;
    while (xml.readNextStartElement()) {
        if (Is(xml, DavNs, "href")) {
            e.href = QUrl::fromPercentEncoding(xml.readElementText().trimmed().toUtf8());
        } else if (Is(xml, DavNs, "status")) {
            e.status = StatusOf(xml.readElementText());
            statusGiven = true;
        } else if (Is(xml, DavNs, "propstat")) {
            Entry props;
            int status = 200;
            while (xml.readNextStartElement()) {
                if (Is(xml, DavNs, "prop"))
                    ReadProp(xml, props);
                else if (Is(xml, DavNs, "status"))
                    status = StatusOf(xml.readElementText());
                else
                    xml.skipCurrentElement();
            }
            if (status != 200)
                continue;
            // Several propstats of 200 add up.
            if (!props.etag.isEmpty())
                e.etag = props.etag;
            if (props.hasCalendarData) {
                e.calendarData = props.calendarData;
                e.hasCalendarData = true;
            }
            e.collection |= props.collection;
            e.calendar |= props.calendar;
            e.syncReport |= props.syncReport;
            e.events = e.events && props.events;
            if (!props.principal.isEmpty())
                e.principal = props.principal;
            if (!props.calendarHome.isEmpty())
                e.calendarHome = props.calendarHome;
            if (!props.displayName.isEmpty())
                e.displayName = props.displayName;
        } else {
            xml.skipCurrentElement();
        }
    }
    if (!statusGiven && e.href.isEmpty())
        return;
    out.entries.push_back(std::move(e));
}

} // namespace

int StatusOf(const QString& statusLine)
{
    const QStringList parts = statusLine.simplified().split(QLatin1Char(' '));
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

bool Parse(const QByteArray& body, Multistatus& out, QString& error)
{
    out = {};
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || !Is(xml, DavNs, "multistatus")) {
        error = xml.hasError()
                    ? QCoreApplication::translate(
                          "Dav", "Die Antwort des Servers ist kein gültiges XML (Zeile %1: %2).")
                          .arg(xml.lineNumber())
                          .arg(xml.errorString())
                    : QCoreApplication::translate(
                          "Dav", "Die Antwort des Servers ist keine WebDAV-Antwort (multistatus).");
        return false;
    }
    while (xml.readNextStartElement()) {
        if (Is(xml, DavNs, "response"))
            ReadResponse(xml, out);
        else if (Is(xml, DavNs, "sync-token"))
            out.syncToken = xml.readElementText().trimmed().toUtf8();
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError()) {
        error = QCoreApplication::translate("Dav",
                                            "Die Antwort des Servers ist kein gültiges XML (Zeile %1: %2).")
                    .arg(xml.lineNumber())
                    .arg(xml.errorString());
        return false;
    }
    // Kept in the state file and sent back with every change: no server's own is this long.
    for (const Entry& e : out.entries)
        if (e.etag.size() > MaxEtagBytes) {
            error = QStringLiteral("Die Antwort des Servers nennt ein ETag von mehr als %1 Bytes; das ist "
                                   "keine Antwort eines CalDAV-Servers.")
                        .arg(MaxEtagBytes);
            return false;
        }
    return true;
}

QByteArray CollectionPropfind()
{
    Body b(QStringLiteral("d:propfind"));
    b.prop({QStringLiteral("d:resourcetype"), QStringLiteral("d:supported-report-set"),
            QStringLiteral("d:current-user-principal"), QStringLiteral("c:calendar-home-set"),
            QStringLiteral("c:supported-calendar-component-set"), QStringLiteral("d:displayname")});
    return b.done();
}

QByteArray EtagPropfind()
{
    Body b(QStringLiteral("d:propfind"));
    b.prop({QStringLiteral("d:resourcetype"), QStringLiteral("d:getetag")});
    return b.done();
}

QByteArray SyncCollection(const QByteArray& token)
{
    Body b(QStringLiteral("d:sync-collection"));
    b.xml().writeTextElement(DavNs, QStringLiteral("sync-token"), QString::fromUtf8(token));
    b.xml().writeTextElement(DavNs, QStringLiteral("sync-level"), QStringLiteral("1"));
    b.prop({QStringLiteral("d:getetag")});
    return b.done();
}

QByteArray Multiget(const QStringList& hrefs)
{
    Body b(QStringLiteral("c:calendar-multiget"));
    b.prop({QStringLiteral("d:getetag"), QStringLiteral("c:calendar-data")});
    for (const QString& href : hrefs)
        b.xml().writeTextElement(DavNs, QStringLiteral("href"),
                                 QString::fromUtf8(QUrl::toPercentEncoding(href, "/@:")));
    return b.done();
}

} // namespace dw::sync::dav
