#include "ical/IcalCollected.h"

namespace dw::ical {

std::size_t Collected::place()
{
    m_places.push_back({m_items.size(), m_items.size(), {}});
    return m_places.size() - 1;
}

void Collected::fill(std::size_t at, const std::vector<Moment>& moments, ImportedAppointment item,
                     const QByteArray& uid)
{
    Place& p = m_places[at];
    m_inOrder = m_inOrder && p.from == m_items.size();
    p.from = m_items.size();
    p.uid = uid;
    for (const Moment& m : moments) {
        item.date = m.date;
        item.hour = m.time.hour();
        item.minute = m.time.minute();
        item.second = m.time.second();
        m_items.push_back(item);
    }
    p.to = m_items.size();
}

void Collected::replace(const QByteArray& uid, const Moment& moment, bool wholeDay)
{
    Changes& changes = m_changes[uid];
    m_budget.checkExceptions(++changes.count);
    if (wholeDay)
        changes.days.insert(moment.date);
    else
        changes.moments.insert(moment);
}

std::vector<ImportedAppointment> Collected::take()
{
    if (m_inOrder && m_changes.isEmpty())
        return std::move(m_items);
    std::vector<ImportedAppointment> out;
    out.reserve(m_items.size());
    for (const Place& p : m_places) {
        const auto found = p.uid.isEmpty() ? m_changes.constEnd() : m_changes.constFind(p.uid);
        const Changes* changes = found == m_changes.constEnd() ? nullptr : &*found;
        for (std::size_t i = p.from; i < p.to; ++i) {
            ImportedAppointment& item = m_items[i];
            if (changes &&
                (changes->days.contains(item.date) ||
                 changes->moments.contains({item.date, QTime(item.hour, item.minute, item.second)})))
                continue;
            out.push_back(std::move(item));
        }
    }
    return out;
}

} // namespace dw::ical
