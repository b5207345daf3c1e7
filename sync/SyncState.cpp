#include "sync/SyncState.h"

#include "ical/IcalNames.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace dw::sync {

namespace {

constexpr const char* Header = "datumswecker-sync 1";

QByteArray Hash(QDate day, long long time, const QByteArray& name, const QByteArray& description,
                long long lead, long long repeat, const QByteArray& extra = {})
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    const QByteArray numbers = QByteArray::number(day.toJulianDay()) + ' ' + QByteArray::number(time) + ' ' +
                               QByteArray::number(lead) + ' ' + QByteArray::number(repeat) + ' ';
    h.addData(numbers);
    h.addData(name);
    h.addData(QByteArrayView("\0", 1));
    h.addData(description);
    h.addData(QByteArrayView("\0", 1));
    h.addData(extra);
    return h.result().left(8).toHex();
}

QByteArray Enc(const QByteArray& bytes)
{
    return bytes.isEmpty() ? QByteArray("-") : bytes.toPercentEncoding();
}

QByteArray Dec(const QByteArray& field)
{
    return field == "-" ? QByteArray() : QByteArray::fromPercentEncoding(field);
}

} // namespace

QByteArray UserHash(QDate day, const Appointment& a)
{
    using dw::ical::SecondsOfDays;
    return Hash(day, SecondsOfDays(a.TimeOfDay), QByteArray(a.Name), QByteArray(a.Description),
                SecondsOfDays(a.FirstLead), SecondsOfDays(a.RepeatInterval));
}

QByteArray UserHash(QDate day, const dw::ical::StoreFields& f)
{
    using dw::ical::SecondsOfDays;
    return Hash(day, SecondsOfDays(f.timeOfDay), f.name, f.description, SecondsOfDays(f.firstLead),
                SecondsOfDays(f.repeatInterval));
}

QByteArray FullHash(QDate day, const Appointment& a)
{
    using dw::ical::SecondsOfDays;
    QByteArray state(sizeof(double) + 1, '\0');
    std::memcpy(state.data(), &a.LastReminded, sizeof(double));
    state[sizeof(double)] = static_cast<char>(a.Done);
    return Hash(day, SecondsOfDays(a.TimeOfDay), QByteArray(a.Name), QByteArray(a.Description),
                SecondsOfDays(a.FirstLead), SecondsOfDays(a.RepeatInterval), state);
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
    if (file.readLine().trimmed() != Header)
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
        } else if (f.size() == 9 && f[0] == "L") {
            Link l;
            l.href = QString::fromUtf8(Dec(f[1]));
            l.rid = QString::fromUtf8(Dec(f[2]));
            l.day = QDate::fromString(QString::fromLatin1(f[3]), Qt::ISODate);
            l.index = f[4].toInt();
            l.base = Dec(f[5]);
            l.last = f[6].toDouble();
            l.done = static_cast<std::uint8_t>(f[7].toUInt());
            l.seen = Dec(f[8]);
            links.push_back(std::move(l));
        }
    }
    return true;
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
    for (const Link& l : links)
        if (!l.href.isEmpty())
            out += "L " + Enc(l.href.toUtf8()) + ' ' + Enc(l.rid.toUtf8()) + ' ' +
                   (l.alive() ? l.day.toString(Qt::ISODate).toLatin1() : QByteArray("-")) + ' ' +
                   QByteArray::number(l.index) + ' ' + Enc(l.base) + ' ' +
                   QByteArray::number(l.last, 'g', 17) + ' ' + QByteArray::number(l.done) + ' ' +
                   Enc(l.seen) + '\n';
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.commit();
}

void SyncState::compact()
{
    std::erase_if(links, [](const Link& l) { return l.href.isEmpty(); });
}

} // namespace dw::sync
