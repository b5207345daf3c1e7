// The merge as a table: every case of base (as agreed at the last sync), here
// and there, and what each side ends with. No network, no grid.
#include "sync/Merge.h"

#include <gtest/gtest.h>

using namespace dw::sync;
using Here = Merged::Here;
using There = Merged::There;
using Maybe = std::optional<EventFields>;

namespace {

EventFields E(const char* name, int day = 1, int hour = 9, const char* description = "", double last = 0)
{
    EventFields f;
    f.day = QDate(2030, 5, day);
    f.time = hour * 3600;
    f.name = name;
    f.description = description;
    f.lead = 3 * 86400;
    f.repeat = 86400;
    f.lastReminded = last;
    return f;
}

EventFields Lead(EventFields f, int days)
{
    f.lead = days * 86400;
    return f;
}

EventFields Done(EventFields f)
{
    f.done = 1;
    return f;
}

struct Case
{
    const char* what;
    Maybe base, here, there;
    Here doHere;
    There doThere;
    Maybe fields;           // what both sides end with, where one does
    unsigned patch = 0;     // the parts the server's event takes
    const char* conflict{}; // the name of this side's version kept as a copy
    bool untie = false;
};

} // namespace

TEST(SyncMerge, EveryCaseOfBaseHereAndThere)
{
    const EventFields a = E("Zahnarzt");
    const std::vector<Case> cases{
        {"created here", {}, a, {}, Here::Keep, There::Create, a},
        {"created there", {}, {}, a, Here::Add, There::Keep, a},
        {"created on both sides alike (an upload's lost answer)", {}, a, a, Here::Keep, There::Keep, a},
        {"never agreed on and different on each side",
         {},
         E("Hier"),
         E("Dort"),
         Here::Update,
         There::Keep,
         E("Dort"),
         0,
         "Hier"},
        {"unchanged", a, a, a, Here::Keep, There::Keep, a},
        {"renamed here", a, E("Zahnarzt Dr. Weiß"), a, Here::Keep, There::Patch, E("Zahnarzt Dr. Weiß"),
         NamePart},
        {"renamed there", a, a, E("Zahnarzt Dr. Weiß"), Here::Update, There::Keep, E("Zahnarzt Dr. Weiß")},
        {"renamed alike on both sides", a, E("Neu"), E("Neu"), Here::Keep, There::Keep, E("Neu")},
        {"renamed differently on both sides", a, E("Hier"), E("Dort"), Here::Update, There::Keep, E("Dort"),
         0, "Hier"},
        {"renamed here, description changed there", a, E("Hier"), E("Zahnarzt", 1, 9, "Notiz"), Here::Update,
         There::Patch, E("Hier", 1, 9, "Notiz"), NamePart},
        {"moved to another day there, renamed here", a, E("Hier"), E("Zahnarzt", 8, 11), Here::Update,
         There::Patch, E("Hier", 8, 11), NamePart},
        {"moved here and moved elsewhere there", a, E("Zahnarzt", 1, 14), E("Zahnarzt", 8, 9), Here::Update,
         There::Keep, E("Zahnarzt", 8, 9), 0, "Zahnarzt"},
        {"lead changed here", a, Lead(a, 1), a, Here::Keep, There::Patch, Lead(a, 1), AlarmPart},
        {"deleted here", a, {}, a, Here::Keep, There::Delete, {}, 0, nullptr, true},
        {"deleted there", a, a, {}, Here::Delete, There::Keep, {}, 0, nullptr, true},
        {"deleted on both sides", a, {}, {}, Here::Keep, There::Keep, {}, 0, nullptr, true},
        {"deleted here, changed there: it comes back", a, {}, E("Dort"), Here::Add, There::Keep, E("Dort")},
        {"changed here, deleted there: it goes up anew",
         a,
         E("Hier"),
         {},
         Here::Keep,
         There::Create,
         E("Hier"),
         0,
         nullptr,
         true},
        {"deleted here, only reminded there",
         a,
         {},
         E("Zahnarzt", 1, 9, "", 5.0),
         Here::Keep,
         There::Delete,
         {},
         0,
         nullptr,
         true},
        {"deleted there, only reminded here",
         a,
         E("Zahnarzt", 1, 9, "", 5.0),
         {},
         Here::Delete,
         There::Keep,
         {},
         0,
         nullptr,
         true},
        {"reminded on both sides, here later", a, E("Zahnarzt", 1, 9, "", 7.0), E("Zahnarzt", 1, 9, "", 6.0),
         Here::Keep, There::Patch, E("Zahnarzt", 1, 9, "", 7.0), ReminderPart},
        {"reminded on both sides, there later", a, E("Zahnarzt", 1, 9, "", 6.0), E("Zahnarzt", 1, 9, "", 7.0),
         Here::Update, There::Keep, E("Zahnarzt", 1, 9, "", 7.0)},
        {"only reminded here", a, E("Zahnarzt", 1, 9, "", 7.0), a, Here::Keep, There::Patch,
         E("Zahnarzt", 1, 9, "", 7.0), ReminderPart},
        {"reminded at the same moment on both sides, done there", a, E("Zahnarzt", 1, 9, "", 7.0),
         Done(E("Zahnarzt", 1, 9, "", 7.0)), Here::Update, There::Keep, Done(E("Zahnarzt", 1, 9, "", 7.0))},
        {"renamed here, reminded there", a, E("Hier"), E("Zahnarzt", 1, 9, "", 7.0), Here::Update,
         There::Patch, E("Hier", 1, 9, "", 7.0), NamePart},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Merged m = Merge(c.base, c.here, c.there);
        EXPECT_EQ(m.here, c.doHere);
        EXPECT_EQ(m.there, c.doThere);
        if (c.fields) {
            EXPECT_TRUE(m.fields == *c.fields) << m.fields.name.constData() << ' ' << m.fields.lastReminded;
        }
        EXPECT_EQ(m.patch, c.patch);
        EXPECT_EQ(m.conflict ? m.conflict->name : QByteArray(), QByteArray(c.conflict));
        EXPECT_EQ(m.untie, c.untie);
    }
}
