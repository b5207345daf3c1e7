#include "sync/SyncState.h"

#include "sync/Origin.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSaveFile>

namespace dw::sync {

namespace {

constexpr const char* Header = "datumswecker-sync 2";
constexpr const char* FirstHeader = "datumswecker-sync 1";

QByteArray Enc(const QByteArray& bytes)
{
    return bytes.isEmpty() ? QByteArray("-") : bytes.toPercentEncoding();
}

QByteArray Dec(const QByteArray& field)
{
    return field == "-" ? QByteArray() : QByteArray::fromPercentEncoding(field);
}

QByteArray DayText(QDate day)
{
    return day.isValid() ? day.toString(Qt::ISODate).toLatin1() : QByteArray("-");
}

QDate DayOf(const QByteArray& field)
{
    return QDate::fromString(QString::fromLatin1(field), Qt::ISODate);
}

// One field after another, the texts percent-encoded.
QByteArray FieldsText(const EventFields& f)
{
    return DayText(f.day) + ' ' + QByteArray::number(f.time) + ' ' + Enc(f.name) + ' ' + Enc(f.description) +
           ' ' + QByteArray::number(f.lead) + ' ' + QByteArray::number(f.repeat) + ' ' +
           QByteArray::number(f.lastReminded, 'g', 17) + ' ' + QByteArray::number(f.done);
}

Tie TieFrom(const QList<QByteArray>& f)
{
    Tie t;
    t.href = QString::fromUtf8(Dec(f[1]));
    t.rid = QString::fromUtf8(Dec(f[2]));
    t.day = DayOf(f[3]);
    t.index = f[4].toInt();
    return t;
}

EventFields FieldsFrom(const QList<QByteArray>& f, qsizetype at)
{
    EventFields e;
    e.day = DayOf(f[at]);
    e.time = f[at + 1].toLongLong();
    e.name = Dec(f[at + 2]);
    e.description = Dec(f[at + 3]);
    e.lead = f[at + 4].toLongLong();
    e.repeat = f[at + 5].toLongLong();
    e.lastReminded = f[at + 6].toDouble();
    e.done = static_cast<std::uint8_t>(f[at + 7].toUInt());
    return e;
}

} // namespace

QByteArray LegacyHash(const EventFields& f)
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    h.addData(QByteArray::number(f.day.toJulianDay()) + ' ' + QByteArray::number(f.time) + ' ' +
              QByteArray::number(f.lead) + ' ' + QByteArray::number(f.repeat) + ' ');
    h.addData(f.name);
    h.addData(QByteArrayView("\0", 1));
    h.addData(f.description);
    h.addData(QByteArrayView("\0", 1));
    return h.result().left(8).toHex();
}

QString SyncStatePath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("datumswecker-sync.state");
}

bool SyncState::load(const QString& path)
{
    clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.readLine().trimmed();
    const bool first = header == FirstHeader;
    if (header != Header && !first)
        return false;
    while (!file.atEnd()) {
        const QList<QByteArray> f = file.readLine().trimmed().split(' ');
        if (f.size() == 2 && f[0] == "account") {
            account = QString::fromUtf8(Dec(f[1]));
        } else if (f.size() == 2 && f[0] == "collection") {
            collection = QString::fromUtf8(Dec(f[1]));
        } else if (f.size() == 2 && f[0] == "reports") {
            reports = f[1].toInt();
        } else if (f.size() == 2 && f[0] == "token") {
            token = Dec(f[1]);
        } else if (f.size() == 5 && f[0] == "R") {
            resources.insert(QString::fromUtf8(Dec(f[1])), {Dec(f[2]), Dec(f[3]), f[4] == "1"});
        } else if (!first && f.size() == 14 && f[0] == "T") {
            Tie t = TieFrom(f);
            t.seen = f[5].toULongLong(nullptr, 16);
            t.base = FieldsFrom(f, 6);
            ties.push_back(std::move(t));
        } else if (f.size() == 9 && f[0] == "L") {
            // As the first format wrote a tie: href rid day index base-hash last-reminded done seen.
            Tie t = TieFrom(f);
            t.legacyHash = Dec(f[5]);
            t.base.lastReminded = f[6].toDouble();
            t.base.done = static_cast<std::uint8_t>(f[7].toUInt());
            t.seen = f[8].toULongLong(nullptr, 16);
            ties.push_back(std::move(t));
        }
    }
    dropOutside();
    return true;
}

void SyncState::dropOutside()
{
    if (collection.isEmpty())
        return;
    // The file may have been written after a hostile listing, or by hand: what
    // lies outside the calendar is never sent to.
    const QUrl at = CollectionUrl(collection);
    const auto outside = [&at](const QString& href) { return PlaceOf(at, href).kind != HrefPlace::Inside; };
    for (auto it = resources.begin(); it != resources.end();)
        it = outside(it.key()) ? resources.erase(it) : std::next(it);
    std::erase_if(ties, [&outside](const Tie& t) { return !t.href.isEmpty() && outside(t.href); });
}

bool SyncState::save(const QString& path) const
{
    QByteArray out = QByteArray(Header) + '\n';
    out += "account " + Enc(account.toUtf8()) + '\n';
    out += "collection " + Enc(collection.toUtf8()) + '\n';
    out += "token " + Enc(token) + '\n';
    out += "reports " + QByteArray::number(reports) + '\n';
    for (auto it = resources.cbegin(); it != resources.cend(); ++it)
        out += "R " + Enc(it.key().toUtf8()) + ' ' + Enc(it->uid) + ' ' + Enc(it->etag) + ' ' +
               (it->onServer ? '1' : '0') + '\n';
    for (const Tie& t : ties) {
        if (t.href.isEmpty())
            continue;
        const QByteArray place = Enc(t.href.toUtf8()) + ' ' + Enc(t.rid.toUtf8()) + ' ' + DayText(t.day) +
                                 ' ' + QByteArray::number(t.index) + ' ';
        const QByteArray seen = QByteArray::number(static_cast<qulonglong>(t.seen), 16);
        if (t.legacyHash.isEmpty())
            out += "T " + place + seen + ' ' + FieldsText(t.base) + '\n';
        else
            out += "L " + place + Enc(t.legacyHash) + ' ' + QByteArray::number(t.base.lastReminded, 'g', 17) +
                   ' ' + QByteArray::number(t.base.done) + ' ' + seen + '\n';
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.commit();
}

} // namespace dw::sync
