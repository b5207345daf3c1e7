// The merge of a pass: what the server sent comes into the grid, what changed
// here becomes uploads, and nothing that either side changed is lost.
#include "sync/SyncEngine.h"

#include "ical/IcalWriter.h"
#include "platform/Clock.h"
#include "sync/Resource.h"

#include <QUuid>

#include <algorithm>

namespace dw::sync {

namespace {

qint64 Position(QDate day, int index)
{
    return (day.toJulianDay() << 32) | static_cast<qint64>(index);
}

bool RemindersDiffer(const Appointment& a, const Link& l)
{
    return a.LastReminded != l.last || a.Done != l.done;
}

// The reminder state both sides end with: a side that did not change it takes
// the other's; when both did, the later reminder and this side's done mark.
void MergeReminders(Appointment& a, const Link& l, double serverLast, std::uint8_t serverDone)
{
    const bool here = RemindersDiffer(a, l);
    const bool there = serverLast != l.last || serverDone != l.done;
    if (!here) {
        a.LastReminded = serverLast;
        a.Done = serverDone;
    } else if (there) {
        a.LastReminded = std::max(a.LastReminded, serverLast);
    }
}

void SetFields(Appointment& a, const dw::ical::StoreFields& f)
{
    ReplaceText(a.Name, f.name);
    ReplaceText(a.Description, f.description);
    a.TimeOfDay = f.timeOfDay;
    a.FirstLead = f.firstLead;
    a.RepeatInterval = f.repeatInterval;
}

dw::ical::StoreFields FieldsOf(const Appointment& a)
{
    dw::ical::StoreFields f;
    f.name = a.Name;
    f.description = a.Description;
    f.timeOfDay = a.TimeOfDay;
    f.firstLead = a.FirstLead;
    f.repeatInterval = a.RepeatInterval;
    f.lastReminded = a.LastReminded;
    f.done = a.Done;
    return f;
}

} // namespace

Appointment* SyncEngine::appointmentOf(const Link& link) const
{
    if (!link.alive() || link.href.isEmpty())
        return nullptr;
    const DayList& day = m_grid.Day(link.day.year(), link.day.month(), link.day.day());
    return link.index >= 0 && static_cast<std::uint32_t>(link.index) < day.count() ? day.at(link.index)
                                                                                   : nullptr;
}

void SyncEngine::shiftAfterDelete(QDate day, int index)
{
    for (Link& l : m_state.links)
        if (l.alive() && l.day == day && l.index > index)
            --l.index;
}

// After a restart the links are checked against termine.dat: each finds its
// appointment where it was written, or one on the same day that holds what it
// held then (the positions moved and were not written yet), or else takes
// what stands at its place as changed; a link with nothing there was deleted here.
void SyncEngine::verifyLinks()
{
    QSet<qint64> claimed;
    std::vector<Link*> open;
    for (Link& l : m_state.links) {
        const Appointment* a = appointmentOf(l);
        if (a && FullHash(l.day, *a) == l.seen)
            claimed.insert(Position(l.day, l.index));
        else if (l.alive())
            open.push_back(&l);
    }
    std::vector<Link*> still;
    for (Link* l : open) {
        const DayList& day = m_grid.Day(l->day.year(), l->day.month(), l->day.day());
        bool found = false;
        for (std::uint32_t i = 0; i < day.count() && !found; ++i) {
            if (!claimed.contains(Position(l->day, static_cast<int>(i))) &&
                FullHash(l->day, *day.at(static_cast<std::int32_t>(i))) == l->seen) {
                l->index = static_cast<int>(i);
                claimed.insert(Position(l->day, l->index));
                found = true;
            }
        }
        if (!found)
            still.push_back(l);
    }
    for (Link* l : still) {
        if (appointmentOf(*l) && !claimed.contains(Position(l->day, l->index)))
            claimed.insert(Position(l->day, l->index));
        else
            l->day = QDate();
    }
}

void SyncEngine::index()
{
    m_byHref.clear();
    m_claimed.clear();
    for (int i = 0; i < static_cast<int>(m_state.links.size()); ++i) {
        const Link& l = m_state.links[static_cast<std::size_t>(i)];
        if (l.href.isEmpty())
            continue;
        m_byHref[l.href].push_back(i);
        if (l.alive())
            m_claimed.insert(Position(l.day, l.index));
    }
}

int SyncEngine::newLink(const QString& href, const QString& rid, QDate day, int index)
{
    Link l;
    l.href = href;
    l.rid = rid;
    l.day = day;
    l.index = index;
    m_state.links.push_back(std::move(l));
    const int id = static_cast<int>(m_state.links.size()) - 1;
    m_byHref[href].push_back(id);
    m_claimed.insert(Position(day, index));
    return id;
}

int SyncEngine::addAppointment(QDate day, const dw::ical::StoreFields& f, const QByteArray& nameSuffix)
{
    Appointment* a = m_grid.NewAppointment(day.year(), day.month(), day.day());
    if (!a)
        return -1;
    SetFields(*a, f);
    if (!nameSuffix.isEmpty())
        ReplaceText(a->Name, f.name + nameSuffix);
    a->LastReminded = f.lastReminded;
    a->Done = f.done;
    return static_cast<int>(m_grid.Day(day.year(), day.month(), day.day()).count()) - 1;
}

void SyncEngine::mergeResource(const QString& href, const Fetched& fetched)
{
    std::vector<std::pair<QDate, int>> deletions;
    const std::vector<int> ids = m_byHref.value(href);
    const auto detach = [&](Link& l, bool deleteHere) {
        if (deleteHere) {
            deletions.emplace_back(l.day, l.index);
            ++m_report.removed;
        } else if (l.alive()) {
            // Changed here: it goes back up as an event of its own.
            m_claimed.remove(Position(l.day, l.index));
        }
        l.href.clear();
    };
    if (fetched.data.isEmpty()) {
        for (int id : ids) {
            Link& l = m_state.links[static_cast<std::size_t>(id)];
            const Appointment* a = appointmentOf(l);
            detach(l, a && UserHash(l.day, *a) == l.base);
        }
        m_state.resources.remove(href);
    } else {
        const ReadItems read = ReadResource(fetched.data);
        Resource& resource = m_state.resources[href];
        resource.etag = fetched.etag;
        resource.onServer = true;
        if (!read.ok) {
            ++m_report.unreadable;
            return;
        }
        resource.uid = read.uid;
        QHash<QString, int> byRid;
        for (int id : ids)
            byRid.insert(m_state.links[static_cast<std::size_t>(id)].rid, id);
        QSet<int> seen;
        for (const ServerItem& item : read.items) {
            const auto found = byRid.constFind(item.rid);
            if (found == byRid.cend()) {
                // Not linked yet: an appointment here that holds the same (an upload whose
                // answer never came) is taken, anything else comes in new.
                const DayList& day = m_grid.Day(item.day.year(), item.day.month(), item.day.day());
                int at = -1;
                for (std::uint32_t i = 0; i < day.count() && at < 0; ++i)
                    if (!m_claimed.contains(Position(item.day, static_cast<int>(i))) &&
                        UserHash(item.day, *day.at(static_cast<std::int32_t>(i))) == item.hash)
                        at = static_cast<int>(i);
                if (at < 0) {
                    at = addAppointment(item.day, item.fields);
                    if (at < 0)
                        continue;
                    ++m_report.added;
                }
                Link& l = m_state.links[static_cast<std::size_t>(newLink(href, item.rid, item.day, at))];
                l.base = item.hash;
                l.last = item.fields.lastReminded;
                l.done = item.fields.done;
                continue;
            }
            seen.insert(*found);
            Link& l = m_state.links[static_cast<std::size_t>(*found)];
            Appointment* a = appointmentOf(l);
            if (!a) {
                if (item.hash != l.base) {
                    // Deleted here but changed there: the server's version comes back.
                    const int at = addAppointment(item.day, item.fields);
                    if (at >= 0) {
                        l.day = item.day;
                        l.index = at;
                        m_claimed.insert(Position(l.day, l.index));
                        ++m_report.added;
                    }
                    l.base = item.hash;
                    l.last = item.fields.lastReminded;
                    l.done = item.fields.done;
                }
                continue;
            }
            const QByteArray here = UserHash(l.day, *a);
            if (here != item.hash && here != l.base && item.hash != l.base) {
                // Changed on both sides: this side's version stays as an appointment of its own.
                dw::ical::StoreFields mine = FieldsOf(*a);
                if (addAppointment(l.day, mine, QByteArrayLiteral(" (Konflikt)")) >= 0)
                    ++m_report.conflicts;
                a = appointmentOf(l);
            }
            if (here != item.hash && (here == l.base || item.hash != l.base)) {
                if (item.day != l.day) {
                    const int at = addAppointment(item.day, item.fields);
                    if (at < 0)
                        continue;
                    Appointment* moved = m_grid.Day(item.day.year(), item.day.month(), item.day.day()).at(at);
                    moved->LastReminded = a->LastReminded;
                    moved->Done = a->Done;
                    deletions.emplace_back(l.day, l.index);
                    m_claimed.remove(Position(l.day, l.index));
                    l.day = item.day;
                    l.index = at;
                    m_claimed.insert(Position(l.day, l.index));
                    a = moved;
                } else {
                    SetFields(*a, item.fields);
                }
                ++m_report.changed;
            }
            MergeReminders(*a, l, item.fields.lastReminded, item.fields.done);
            l.base = item.hash;
            l.last = item.fields.lastReminded;
            l.done = item.fields.done;
        }
        for (int id : ids) {
            if (seen.contains(id))
                continue;
            Link& l = m_state.links[static_cast<std::size_t>(id)];
            if (!byRid.contains(l.rid) || byRid.value(l.rid) != id)
                continue;
            const Appointment* a = appointmentOf(l);
            detach(l, a && UserHash(l.day, *a) == l.base);
        }
    }
    // From the last position back, so the positions still to go stay right.
    std::sort(deletions.begin(), deletions.end(), [](const auto& x, const auto& y) {
        return x.first != y.first ? x.first > y.first : x.second > y.second;
    });
    for (const auto& [day, i] : deletions) {
        m_grid.DeleteAppointment(day.year(), day.month(), day.day(), i);
        m_claimed.remove(Position(day, i));
        shiftAfterDelete(day, i);
    }
    if (!deletions.empty()) {
        // Positions on those days moved: the claims are counted afresh.
        m_claimed.clear();
        for (const Link& l : m_state.links)
            if (l.alive() && !l.href.isEmpty())
                m_claimed.insert(Position(l.day, l.index));
    }
}

void SyncEngine::planUploads()
{
    const dw::TDateTime now = dw::Now();
    index();
    for (auto it = m_byHref.cbegin(); it != m_byHref.cend(); ++it) {
        const QString& href = it.key();
        const Resource resource = m_state.resources.value(href);
        Upload up;
        up.href = href;
        std::vector<LocalChange> changes;
        for (int id : it.value()) {
            const Link& l = m_state.links[static_cast<std::size_t>(id)];
            const Appointment* a = appointmentOf(l);
            if (!a) {
                changes.push_back({l.rid, nullptr, {}});
                up.links.push_back(id);
                up.hashes.emplace_back();
                up.reminders.emplace_back(0.0, 0);
                continue;
            }
            const QByteArray hash = UserHash(l.day, *a);
            if (!resource.onServer || hash != l.base || RemindersDiffer(*a, l)) {
                changes.push_back({l.rid, a, l.day});
                up.links.push_back(id);
                up.hashes.push_back(hash);
                up.reminders.emplace_back(a->LastReminded, a->Done);
            }
        }
        if (changes.empty())
            continue;
        const bool whole = changes.size() == 1 && changes.front().rid.isEmpty();
        if (!resource.onServer || (whole && !changes.front().appointment)) {
            if (whole && changes.front().appointment) {
                up.method = "PUT";
                up.create = true;
                up.body = dw::ical::WriteEvent(*changes.front().appointment, changes.front().day,
                                               resource.uid, now);
            } else {
                up.method = "DELETE";
                up.ifMatch = resource.etag;
            }
        } else {
            const auto fetched = m_fetched.constFind(href);
            if (fetched == m_fetched.cend())
                continue; // fetched next time
            QString error;
            up.method = "PUT";
            up.ifMatch = fetched->etag;
            up.body = PatchResource(fetched->data, changes, now, error);
            if (up.body.isEmpty()) {
                ++m_report.unreadable;
                continue;
            }
        }
        m_uploads.push_back(std::move(up));
    }
    // Appointments no link knows: new here.
    const QString folder = hrefOf(m_collection);
    for (int p = m_grid.NextFilledDay(0); p < CalendarGrid::TotalDays; p = m_grid.NextFilledDay(p + 1)) {
        const QDate day = QDate(CalendarGrid::FirstYear, 1, 1).addDays(p);
        const DayList& list = m_grid.Day(day.year(), day.month(), day.day());
        for (std::uint32_t i = 0; i < list.count(); ++i) {
            if (m_claimed.contains(Position(day, static_cast<int>(i))))
                continue;
            const QByteArray uid =
                QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@datumswecker";
            const QString href = folder + QString::fromLatin1(uid.left(36)) + QStringLiteral(".ics");
            m_state.resources.insert(href, {uid, {}, false});
            const int id = newLink(href, {}, day, static_cast<int>(i));
            const Appointment& a = *list.at(static_cast<std::int32_t>(i));
            Upload up;
            up.href = href;
            up.method = "PUT";
            up.create = true;
            up.body = dw::ical::WriteEvent(a, day, uid, now);
            up.links.push_back(id);
            up.hashes.push_back(UserHash(day, a));
            up.reminders.emplace_back(a.LastReminded, a.Done);
            m_uploads.push_back(std::move(up));
        }
    }
}

void SyncEngine::pushed(const Upload& up, const HttpReply& reply)
{
    Resource* resource = m_state.resources.contains(up.href) ? &m_state.resources[up.href] : nullptr;
    if (reply.failure == HttpReply::Failure::None) {
        if (reply.status == 412) {
            // Changed there meanwhile (or, for a creation, made by a pass that was cut off):
            // the next round fetches it and merges.
            if (up.create && resource)
                *resource = {resource->uid, {}, true};
            m_conflictRound = true;
            return;
        }
        if (reply.status == 404 && up.method == "DELETE") {
            m_state.resources.remove(up.href);
            for (int id : up.links)
                m_state.links[static_cast<std::size_t>(id)].href.clear();
            return;
        }
        if (reply.status == 404 && up.method == "PUT" && !up.create) {
            m_conflictRound = true;
            return;
        }
    }
    if (failed(reply, QString::fromLatin1(up.method) + QLatin1Char(' ') + up.href))
        return;
    if (up.method == "DELETE") {
        m_state.resources.remove(up.href);
        for (int id : up.links)
            m_state.links[static_cast<std::size_t>(id)].href.clear();
        ++m_report.deleted;
        return;
    }
    if (resource) {
        resource->onServer = true;
        resource->etag = reply.etag;
    }
    for (std::size_t i = 0; i < up.links.size(); ++i) {
        Link& l = m_state.links[static_cast<std::size_t>(up.links[i])];
        if (up.hashes[i].isEmpty() && !l.alive()) {
            l.href.clear(); // an occurrence deleted here is an EXDATE there now
            continue;
        }
        l.base = up.hashes[i];
        l.last = up.reminders[i].first;
        l.done = up.reminders[i].second;
    }
    ++m_report.uploaded;
}

void SyncEngine::writeState()
{
    for (Link& l : m_state.links)
        if (const Appointment* a = appointmentOf(l))
            l.seen = FullHash(l.day, *a);
    m_state.save(m_statePath);
}

} // namespace dw::sync
