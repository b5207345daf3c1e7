#pragma once

#include "sync/EventFields.h"

#include <optional>

namespace dw::sync {

// What to do on each side with one appointment and its event (or one
// occurrence of a series), decided from three versions: as both sides agreed
// on it at the last sync (base), as it is here now and as it is on the server
// now. nullopt stands for "not there": never synced, or deleted.
struct Merged
{
    enum class Here
    {
        Keep,
        Add,    // the appointment comes (back) here with `fields`
        Update, // the appointment takes `fields` (on another day: it moves there)
        Delete,
    };
    enum class There
    {
        Keep,
        Create, // a new event of its own, with a new UID, holds `fields`
        Patch,  // the server's event takes the parts `patch` of `fields`
        Delete, // only while the server holds what was agreed (If-Match)
    };
    Here here = Here::Keep;
    There there = There::Keep;
    EventFields fields; // what both sides hold afterwards, the new base
    unsigned patch = 0; // There::Patch: the parts the event takes
    // This side's version, where a part was changed on both sides to different
    // values: it stays here as an appointment of its own named " (Konflikt)"
    // and goes up as an event of its own. `fields` holds the server's values there.
    std::optional<EventFields> conflict;
    // The tie between appointment and event ends (both gone, or the server's
    // event gone and this side's version sent as a new one).
    bool untie = false;
};

// Part by part: a part changed on one side only is taken from that side; one
// changed on both sides to the same value is no conflict; one changed to
// different values keeps the server's value in place and this side's version
// as a conflict copy. The reminder state never conflicts: the later reminder
// wins. A deletion wins over a side that changed only its reminder state; a
// change (of name, description, start, lead or repeat) wins over a deletion.
Merged Merge(const std::optional<EventFields>& base, const std::optional<EventFields>& here,
             const std::optional<EventFields>& there);

// The suffix of a conflict copy's name.
inline constexpr const char* ConflictSuffix = QT_TRANSLATE_NOOP("Merge", " (Konflikt)");

} // namespace dw::sync
