#include "sync/Ties.h"

#include "ical/IcalNames.h"

#include <QCryptographicHash>
#include <QSet>

#include <bit>
#include <cstdlib>
#include <cstring>

namespace dw::sync {

namespace {

qint64 Position(QDate day, int index)
{
    return (day.toJulianDay() << 32) | static_cast<qint64>(index);
}

bool SameAsBase(const Appointment& a, QDate day, const EventFields& base)
{
    using dw::ical::SecondsOfDays;
    return day == base.day && SecondsOfDays(a.TimeOfDay) == base.time && base.name == a.Name &&
           base.description == a.Description && SecondsOfDays(a.FirstLead) == base.lead &&
           SecondsOfDays(a.RepeatInterval) == base.repeat &&
           std::memcmp(&a.LastReminded, &base.lastReminded, sizeof(double)) == 0 && a.Done == base.done;
}

} // namespace

std::uint64_t Fingerprint(QDate day, const Appointment& a)
{
    // The same as the first format's, so its ties are found by it too.
    using dw::ical::SecondsOfDays;
    QCryptographicHash h(QCryptographicHash::Sha1);
    h.addData(QByteArray::number(day.toJulianDay()) + ' ' + QByteArray::number(SecondsOfDays(a.TimeOfDay)) +
              ' ' + QByteArray::number(SecondsOfDays(a.FirstLead)) + ' ' +
              QByteArray::number(SecondsOfDays(a.RepeatInterval)) + ' ');
    h.addData(QByteArrayView(a.Name));
    h.addData(QByteArrayView("\0", 1));
    h.addData(QByteArrayView(a.Description));
    h.addData(QByteArrayView("\0", 1));
    QByteArray state(sizeof(double) + 1, '\0');
    std::memcpy(state.data(), &a.LastReminded, sizeof(double));
    state[sizeof(double)] = static_cast<char>(a.Done);
    h.addData(state);
    return h.result().left(8).toHex().toULongLong(nullptr, 16);
}

void Ties::attach()
{
    // Most appointments stand where they stood and hold what they held; one
    // that moved within its day is found by what it holds; one changed since
    // by its place. A tie with nothing left there was deleted here.
    QSet<qint64> claimed;
    const auto take = [&](Tie& t, int index) {
        claimed.insert(Position(t.day, index));
        t.index = index;
        t.id = m_grid.IdOf(t.day.year(), t.day.month(), t.day.day(), index);
    };
    const auto dayOf = [this](const Tie& t) -> const DayList* {
        return !t.href.isEmpty() && CalendarGrid::Contains(t.day.year(), t.day.month(), t.day.day())
                   ? &m_grid.Day(t.day.year(), t.day.month(), t.day.day())
                   : nullptr;
    };
    for (Tie& t : m_state.ties) {
        t.id = 0;
        const DayList* day = dayOf(t);
        if (day && t.index >= 0 && static_cast<std::uint32_t>(t.index) < day->count() &&
            !claimed.contains(Position(t.day, t.index)) && Fingerprint(t.day, *day->at(t.index)) == t.seen)
            take(t, t.index);
    }
    for (Tie& t : m_state.ties) {
        const DayList* day = dayOf(t);
        for (std::uint32_t i = 0; day && t.id == 0 && i < day->count(); ++i)
            if (!claimed.contains(Position(t.day, static_cast<int>(i))) &&
                Fingerprint(t.day, *day->at(static_cast<std::int32_t>(i))) == t.seen)
                take(t, static_cast<int>(i));
    }
    // Changed since: the one of its day that still holds most of what was agreed
    // (all but one part), the nearest to its place where several do; then what
    // stands at its place.
    for (Tie& t : m_state.ties) {
        const DayList* day = dayOf(t);
        int best = -1;
        int bestShared = 2;
        for (std::uint32_t i = 0; day && t.id == 0 && i < day->count(); ++i) {
            if (claimed.contains(Position(t.day, static_cast<int>(i))))
                continue;
            const unsigned differing =
                DifferingParts(AsSent(FieldsOf(*day->at(static_cast<std::int32_t>(i)), t.day)), t.base) &
                EditParts;
            const int shared = 4 - std::popcount(differing);
            if (shared > bestShared || (shared == bestShared && best >= 0 &&
                                        std::abs(static_cast<int>(i) - t.index) < std::abs(best - t.index))) {
                best = static_cast<int>(i);
                bestShared = shared;
            }
        }
        if (best >= 0 && t.legacyHash.isEmpty())
            take(t, best);
    }
    for (Tie& t : m_state.ties) {
        const DayList* day = dayOf(t);
        if (day && t.id == 0 && t.index >= 0 && static_cast<std::uint32_t>(t.index) < day->count() &&
            !claimed.contains(Position(t.day, t.index)))
            take(t, t.index);
    }
    for (Tie& t : m_state.ties) {
        const Appointment* a = t.id ? m_grid.Find(t.id) : nullptr;
        if (a && !t.legacyHash.isEmpty() && LegacyHash(FieldsOf(*a, t.day)) == t.legacyHash) {
            // Unchanged since that sync: what it holds is what both sides agreed on.
            const EventFields reminders = t.base;
            t.base = AsSent(FieldsOf(*a, t.day));
            TakeParts(t.base, reminders, ReminderPart);
            t.legacyHash.clear();
        }
    }
    reindex();
}

void Ties::reindex()
{
    std::erase_if(m_state.ties, [](const Tie& t) { return t.href.isEmpty(); });
    m_byHref.clear();
    m_byId.clear();
    for (int i = 0; i < count(); ++i) {
        const Tie& t = (*this)[i];
        m_byHref.insert(t.href, i);
        if (t.id != 0)
            m_byId.insert(t.id, i);
    }
}

int Ties::add(Tie tie)
{
    m_state.ties.push_back(std::move(tie));
    const int i = count() - 1;
    m_byHref.insert(m_state.ties.back().href, i);
    if (m_state.ties.back().id != 0)
        m_byId.insert(m_state.ties.back().id, i);
    return i;
}

void Ties::end(int tie)
{
    Tie& t = (*this)[tie];
    m_byHref.remove(t.href, tie);
    if (m_byId.value(t.id, -1) == tie)
        m_byId.remove(t.id);
    t.href.clear();
}

void Ties::rebind(int tie, std::uint32_t id)
{
    Tie& t = (*this)[tie];
    if (m_byId.value(t.id, -1) == tie)
        m_byId.remove(t.id);
    t.id = id;
    m_byId.insert(id, tie);
}

Appointment* Ties::appointment(int tie, CalendarGrid::Place* place)
{
    const Tie& t = (*this)[tie];
    return t.id == 0 || t.href.isEmpty() ? nullptr : m_grid.Find(t.id, place);
}

std::optional<EventFields> Ties::here(int tie)
{
    CalendarGrid::Place place;
    const Appointment* a = appointment(tie, &place);
    if (!a)
        return std::nullopt;
    const QDate day(place.year, place.month, place.day);
    const EventFields& base = (*this)[tie].base;
    if (SameAsBase(*a, day, base))
        return base;
    EventFields sent = AsSent(FieldsOf(*a, day));
    // Only the way the server writes it differs (blanks at a name's end, ...): unchanged.
    return DifferingParts(sent, base) == 0 ? base : sent;
}

bool Ties::changedHere(int tie)
{
    const std::optional<EventFields> now = here(tie);
    return !now || !(*now == (*this)[tie].base) || !(*this)[tie].legacyHash.isEmpty();
}

void Ties::notePlaces()
{
    for (Tie& t : m_state.ties) {
        CalendarGrid::Place place;
        const Appointment* a = t.id == 0 || t.href.isEmpty() ? nullptr : m_grid.Find(t.id, &place);
        if (!a) {
            t.day = QDate();
            continue;
        }
        t.day = QDate(place.year, place.month, place.day);
        t.index = place.index;
        t.seen = Fingerprint(t.day, *a);
    }
}

} // namespace dw::sync
