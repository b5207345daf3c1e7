#include "sync/MergePass.h"

#include "platform/Ansi.h"

#include <QCoreApplication>
#include <QUuid>

#include <algorithm>

namespace dw::sync {

void MergePass::begin()
{
    m_uploads.clear();
    m_merged.clear();
    m_untied.clear();
    m_gridChanged = false;
}

void MergePass::event(const QString& href, const QByteArray& etag, const QByteArray& data)
{
    const auto known = m_state.resources.constFind(href);
    // A creation never confirmed that the server does not have: it is sent again (finish).
    if (data.isEmpty() && known != m_state.resources.cend() && !known->onServer)
        return;
    ReadItems read;
    read.ok = true;
    // The deadline between two events too: a batch of costly events is merged in one go.
    if (m_budget)
        m_budget->checkNow();
    if (!data.isEmpty())
        read = m_budget ? ReadResource(data, *m_budget) : ReadResource(data);
    // Charged before the grid is touched, so that a bound never leaves an event half merged.
    if (m_budget && read.ok)
        m_budget->chargeAdded(
            std::max<qint64>(0, static_cast<qint64>(read.items.size()) - m_ties.ofHref(href).size()));
    m_merged.insert(href);
    Resource& resource = m_state.resources[href];
    if (!read.ok) {
        ++m_report.unreadable;
        resource.etag = etag;
        resource.onServer = true;
        return;
    }
    if (!read.uid.isEmpty())
        resource.uid = read.uid;
    Upload patch;
    patch.kind = Upload::Kind::Patch;
    patch.href = href;
    patch.uid = resource.uid;
    patch.ifMatch = etag;
    QHash<QString, int> byRid;
    for (int tie : m_ties.ofHref(href))
        byRid.insert(m_ties[tie].rid, tie);
    bool done = true;
    for (const ServerItem& item : read.items) {
        const EventFields there = FieldsOf(item.day, item.fields);
        const auto found = byRid.find(item.rid);
        if (found == byRid.end()) {
            done = fromServer(href, item.rid, there) && done;
            continue;
        }
        const int t = *found;
        byRid.erase(found);
        done = mergeTie(t, there, patch) && done;
    }
    for (int tie : std::as_const(byRid))
        done = mergeTie(tie, std::nullopt, patch) && done;
    if (data.isEmpty()) {
        if (m_ties.ofHref(href).isEmpty())
            m_state.resources.remove(href);
    } else {
        resource.onServer = true;
        // Where this side could not take it, it is read again next time.
        if (done)
            resource.etag = etag;
    }
    if (!patch.changes.empty()) {
        patch.data = data;
        m_uploads.push_back(std::move(patch));
    }
}

bool MergePass::mergeTie(int tie, std::optional<EventFields> there, Upload& patch)
{
    Tie& t = m_ties[tie];
    if (!t.legacyHash.isEmpty()) {
        // A tie of the first format: the base is what the server holds if that is
        // what both agreed on; unknown otherwise, so that nothing is deleted for it.
        EventFields base;
        if (there && LegacyHash(*there) == t.legacyHash)
            base = *there;
        TakeParts(base, t.base, ReminderPart);
        t.base = base;
        t.legacyHash.clear();
    }
    const std::optional<EventFields> here = m_ties.here(tie);
    return apply(tie, Merge(t.base, here, there), here, there, patch);
}

bool MergePass::fromServer(const QString& href, const QString& rid, const EventFields& there)
{
    std::optional<EventFields> here;
    std::uint32_t id = untiedLike(there);
    if (id != 0) {
        CalendarGrid::Place place;
        const Appointment* a = m_grid.Find(id, &place);
        here = AsSent(FieldsOf(*a, QDate(place.year, place.month, place.day)));
    }
    const Merged m = Merge(std::nullopt, here, there);
    if (m.here == Merged::Here::Add) {
        id = add(m.fields);
        if (id == 0)
            return false;
        ++m_report.added;
    } else if (m.here == Merged::Here::Update && !update(id, m.fields)) {
        return false;
    }
    Tie t;
    t.href = href;
    t.rid = rid;
    t.id = id;
    t.base = m.fields;
    m_ties.add(std::move(t));
    return true;
}

bool MergePass::apply(int tie, const Merged& m, const std::optional<EventFields>& here,
                      const std::optional<EventFields>& there, Upload& patch)
{
    switch (m.here) {
    case Merged::Here::Keep:
        break;
    case Merged::Here::Add: {
        const std::uint32_t id = add(m.fields);
        if (id == 0)
            return false;
        m_ties.rebind(tie, id);
        ++m_report.added;
        break;
    }
    case Merged::Here::Update:
        if (!update(m_ties[tie].id, m.fields))
            return false;
        if (DifferingParts(m.fields, *here) & EditParts)
            ++m_report.changed;
        break;
    case Merged::Here::Delete:
        remove(m_ties[tie].id);
        ++m_report.removed;
        break;
    }
    if (m.conflict) {
        EventFields copy = *m.conflict;
        copy.name += dw::ToAnsi(QCoreApplication::translate("Merge", ConflictSuffix));
        if (add(copy) != 0)
            ++m_report.conflicts;
    }
    Tie& t = m_ties[tie];
    switch (m.there) {
    case Merged::There::Keep:
        break;
    case Merged::There::Patch:
        // The base follows once the server has taken it.
        patch.ties.push_back(tie);
        patch.changes.push_back({t.rid, *there, m.fields, m.patch, false});
        return true;
    case Merged::There::Delete:
        // The tie stays until the server has deleted it, so that a failed request is sent again.
        if (t.rid.isEmpty()) {
            Upload removal;
            removal.kind = Upload::Kind::Delete;
            removal.href = t.href;
            removal.uid = patch.uid;
            removal.ifMatch = patch.ifMatch;
            removal.ties.push_back(tie);
            m_uploads.push_back(std::move(removal));
        } else {
            patch.ties.push_back(tie);
            patch.changes.push_back({t.rid, *there, {}, 0, true});
        }
        return true;
    case Merged::There::Create:
        // Deleted there, changed here: the appointment, without a tie now, goes up as a new event.
        m_ties.end(tie);
        return true;
    }
    if (m.untie)
        m_ties.end(tie);
    else
        t.base = m.fields;
    return true;
}

std::uint32_t MergePass::add(const EventFields& fields)
{
    const QDate day = fields.day;
    Appointment* a = m_grid.NewAppointment(day.year(), day.month(), day.day());
    if (!a)
        return 0;
    const auto index = static_cast<std::int32_t>(m_grid.Day(day.year(), day.month(), day.day()).count()) - 1;
    m_gridChanged = true;
    if (!Apply(fields, *a)) {
        m_grid.DeleteAppointment(day.year(), day.month(), day.day(), index);
        return 0;
    }
    return m_grid.IdOf(day.year(), day.month(), day.day(), index);
}

bool MergePass::update(std::uint32_t id, const EventFields& fields)
{
    CalendarGrid::Place at;
    Appointment* a = m_grid.Find(id, &at);
    if (a && QDate(at.year, at.month, at.day) != fields.day)
        a = m_grid.MoveAppointment(at.year, at.month, at.day, at.index, fields.day.year(), fields.day.month(),
                                   fields.day.day());
    m_gridChanged = true;
    return a && Apply(fields, *a);
}

void MergePass::remove(std::uint32_t id)
{
    CalendarGrid::Place at;
    if (m_grid.Find(id, &at)) {
        m_grid.DeleteAppointment(at.year, at.month, at.day, at.index);
        m_gridChanged = true;
    }
}

std::uint32_t MergePass::untiedLike(const EventFields& there)
{
    const QDate day = there.day;
    const auto position = static_cast<int>(QDate(CalendarGrid::FirstYear, 1, 1).daysTo(day));
    auto untied = m_untied.find(position);
    if (untied == m_untied.end()) {
        untied = m_untied.insert(position, {});
        const DayList& list = m_grid.Day(day.year(), day.month(), day.day());
        for (std::uint32_t i = 0; i < list.count(); ++i) {
            const Appointment& a = *list.at(static_cast<std::int32_t>(i));
            if (m_ties.ofId(a.Id) >= 0)
                continue;
            const EventFields f = AsSent(FieldsOf(a, day));
            untied->insert({f.time, f.name},
                           m_grid.IdOf(day.year(), day.month(), day.day(), static_cast<std::int32_t>(i)));
        }
    }
    const std::pair<qint64, QByteArray> key{there.time, there.name};
    for (auto it = untied->constFind(key); it != untied->cend() && it.key() == key; ++it) {
        CalendarGrid::Place at;
        const Appointment* a = m_grid.Find(*it, &at);
        if (a && QDate(at.year, at.month, at.day) == day && m_ties.ofId(a->Id) < 0 &&
            (DifferingParts(AsSent(FieldsOf(*a, day)), there) & EditParts) == 0)
            return *it;
    }
    return 0;
}

void MergePass::create(int tie, const EventFields& fields, const QByteArray& uid)
{
    Upload up;
    up.kind = Upload::Kind::Create;
    up.href = m_ties[tie].href;
    up.uid = uid;
    up.ties.push_back(tie);
    up.changes.push_back({QString(), {}, fields, EditParts | ReminderPart, false});
    m_uploads.push_back(std::move(up));
}

void MergePass::finish(const QString& folder)
{
    for (int tie = 0; tie < m_ties.count(); ++tie) {
        const Tie& t = m_ties[tie];
        if (t.href.isEmpty() || m_merged.contains(t.href))
            continue;
        const Resource resource = m_state.resources.value(t.href);
        if (resource.onServer)
            continue; // unchanged on both sides
        if (const std::optional<EventFields> here = m_ties.here(tie)) {
            m_ties[tie].base = *here;
            create(tie, *here, resource.uid);
        } else {
            m_state.resources.remove(t.href);
            m_ties.end(tie);
        }
    }
    // Appointments no tie knows: new here.
    for (int p = m_grid.NextFilledDay(0); p < CalendarGrid::TotalDays; p = m_grid.NextFilledDay(p + 1)) {
        const QDate day = QDate(CalendarGrid::FirstYear, 1, 1).addDays(p);
        const DayList& list = m_grid.Day(day.year(), day.month(), day.day());
        for (std::uint32_t i = 0; i < list.count(); ++i) {
            if (m_ties.ofId(list.at(static_cast<std::int32_t>(i))->Id) >= 0)
                continue;
            const QByteArray uid =
                QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@datumswecker";
            Tie t;
            t.href = folder + QString::fromLatin1(uid.left(36)) + QStringLiteral(".ics");
            t.id = m_grid.IdOf(day.year(), day.month(), day.day(), static_cast<std::int32_t>(i));
            t.base = AsSent(FieldsOf(*list.at(static_cast<std::int32_t>(i)), day));
            m_state.resources.insert(t.href, {uid, {}, false});
            const EventFields fields = t.base;
            create(m_ties.add(std::move(t)), fields, uid);
        }
    }
}

} // namespace dw::sync
