#include "sync/Merge.h"

namespace dw::sync {

namespace {

// The reminder state both sides end with: a side that did not change it
// takes the other's; when both did, the later reminder with its done mark.
void MergeReminders(EventFields& merged, const EventFields& base, const EventFields& here,
                    const EventFields& there)
{
    const bool hereChanged = DifferingParts(here, base) & ReminderPart;
    const bool thereChanged = DifferingParts(there, base) & ReminderPart;
    const EventFields* later = &there;
    if (hereChanged && !thereChanged)
        later = &here;
    else if (hereChanged && thereChanged && here.lastReminded > there.lastReminded)
        later = &here;
    TakeParts(merged, *later, ReminderPart);
    if (hereChanged && thereChanged && here.lastReminded == there.lastReminded)
        merged.done = std::max(here.done, there.done);
}

Merged BothThere(const EventFields& base, const EventFields& here, const EventFields& there)
{
    Merged m;
    m.fields = there;
    const unsigned changedHere = DifferingParts(here, base) & EditParts;
    const unsigned changedThere = DifferingParts(there, base) & EditParts;
    const unsigned apart = DifferingParts(here, there);
    // Here's parts where only here changed, or both changed to the same value.
    TakeParts(m.fields, here, changedHere & ~(changedThere & apart));
    if (changedHere & changedThere & apart)
        m.conflict = here;
    MergeReminders(m.fields, base, here, there);
    if (DifferingParts(m.fields, here) != 0)
        m.here = Merged::Here::Update;
    m.patch = DifferingParts(m.fields, there);
    if (m.patch != 0)
        m.there = Merged::There::Patch;
    return m;
}

} // namespace

Merged Merge(const std::optional<EventFields>& base, const std::optional<EventFields>& here,
             const std::optional<EventFields>& there)
{
    Merged m;
    if (!base) {
        // Never agreed on: what is on one side goes to the other. Both sides hold
        // it only where an upload's answer was lost and the server's copy was
        // found again: then the reminder state is merged as if from nothing.
        if (here && there)
            return BothThere(EventFields{}, *here, *there);
        if (here) {
            m.fields = *here;
            m.there = Merged::There::Create;
        } else if (there) {
            m.fields = *there;
            m.here = Merged::Here::Add;
        } else {
            m.untie = true;
        }
        return m;
    }
    if (!here && !there) {
        m.untie = true;
    } else if (!here) {
        if (DifferingParts(*there, *base) & EditParts) {
            // Changed there after it was deleted here: the change comes back.
            m.fields = *there;
            m.here = Merged::Here::Add;
        } else {
            m.there = Merged::There::Delete;
            m.untie = true;
        }
    } else if (!there) {
        if (DifferingParts(*here, *base) & EditParts) {
            // Changed here after it was deleted there: it goes up again, as a new event.
            m.fields = *here;
            m.there = Merged::There::Create;
            m.untie = true;
        } else {
            m.here = Merged::Here::Delete;
            m.untie = true;
        }
    } else {
        return BothThere(*base, *here, *there);
    }
    return m;
}

} // namespace dw::sync
