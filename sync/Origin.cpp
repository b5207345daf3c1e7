#include "sync/Origin.h"

#include "sync/Transport.h"

#include <QRegularExpression>

namespace dw::sync {

HrefPlace PlaceOf(const QUrl& collection, const QString& href)
{
    if (href.isEmpty())
        return {};
    // Refused however it resolves: a server has no reason to climb.
    const QStringList segments = href.split(QLatin1Char('/'));
    if (segments.contains(QLatin1String("..")) || href.contains(QLatin1Char('\\')))
        return {};
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    QUrl url;
    if (scheme.match(href).hasMatch() || href.startsWith(QLatin1String("//"))) {
        url = collection.resolved(QUrl(href, QUrl::TolerantMode));
        if (!url.isValid() || !SameOrigin(url, collection) || url.hasQuery() || url.hasFragment())
            return {};
    } else {
        // A path as it stands: a name's '?' or '#' is part of the name.
        QUrl path;
        path.setPath(href);
        url = collection.resolved(path);
    }
    QString base = collection.path();
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    const QString at = url.path();
    if (at == base || at + QLatin1Char('/') == base)
        return {HrefPlace::Collection, at};
    if (!at.startsWith(base))
        return {};
    return {HrefPlace::Inside, at};
}

QUrl CollectionUrl(const QString& collection)
{
    QUrl url(collection);
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path() + QLatin1Char('/'));
    return url;
}

QString HostOf(const QUrl& url)
{
    return url.port() < 0 ? url.host() : QStringLiteral("%1:%2").arg(url.host()).arg(url.port());
}

} // namespace dw::sync
