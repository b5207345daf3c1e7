#include "core/ReminderCheck.h"

#include "core/DueRule.h"
#include "platform/Ansi.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/RegionalFormats.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// Clears the flag however the pass ends, so one failure cannot stop every later check.
class CheckingScope
{
public:
    explicit CheckingScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~CheckingScope() { m_flag = false; }
    CheckingScope(const CheckingScope&) = delete;
    CheckingScope& operator=(const CheckingScope&) = delete;

private:
    bool& m_flag;
};

// The date of a grid position, found by walking on from the month of the last
// position asked for: the walk asks in ascending order, and only for the few
// days it needs a cell of.
struct DayPosition
{
    int year = CalendarGrid::FirstYear;
    int month = 1;
    int monthStart = 0; // grid position of day 1 of month

    // Returns the day of the month of index (index must not go back).
    int At(const CalendarGrid& grid, int index)
    {
        while (index >= monthStart + grid.DayCount(year, month)) {
            monthStart += grid.DayCount(year, month);
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
        return index - monthStart + 1;
    }
};

// Puts the cursor of a day with count records where walking them would leave
// it, on the last record. After the first pass it is usually there already;
// then nothing is written, so a pass reads the containers without dirtying
// them. Only the container writes its cursor and the mirror in the day's cell,
// always together, so a cursor in place means the mirror is too.
inline void ParkOnLast(TDynaArray& items, std::uint32_t count)
{
    const auto last = static_cast<std::int32_t>(count - 1);
    if (items.cursor() != last || items.currentItem() != items.itemAt(last))
        items.GoTo(last);
}

// Days of many records lie in blocks of their own, where the processor's
// prefetching starts late: while one is judged, the walk asks for the first
// records of a day a few ahead. For days of few records that costs more than it saves.
constexpr std::uint32_t ManyRecords = 16;
constexpr int PrefetchDistance = 4;

void PrefetchRecords(const TDynaArray& items)
{
    if (const auto* block = static_cast<const char*>(items.storage())) {
        __builtin_prefetch(block);
        __builtin_prefetch(block + 64);
        __builtin_prefetch(block + 128);
    }
}

// The index of the first due record of records[from, count), or count.
inline std::uint32_t FirstDueFrom(const Appointment* records, std::uint32_t from, std::uint32_t count,
                                  std::int32_t dayNumber, dw::TDateTime now)
{
    std::uint32_t k = from;
    for (; k < count; ++k) {
        const Appointment& item = records[k];
        const dw::TDateTime moment = dayNumber + item.TimeOfDay;
        if (IsDue(moment, moment - item.FirstLead, item.LastReminded, item.RepeatInterval, item.Done != 0,
                  now))
            break;
    }
    return k;
}

// The same kept out of line, for days of many records: inlined into the walk
// it makes days of a hundred records slower.
[[gnu::noinline]] std::uint32_t FirstDue(const Appointment* records, std::uint32_t count,
                                         std::int32_t dayNumber, dw::TDateTime now)
{
    return FirstDueFrom(records, 0, count, dayNumber, now);
}

// Walks the built grid's containers from grid position index on and returns
// the position of the first day that holds a due record, TotalDays when there
// is none. Every day passed gets its cursor parked and counts down filledLeft;
// with stopWhenAllSeen the walk ends once that is 0. Kept apart from the pass,
// so that its few variables stay in registers.
[[gnu::noinline]] int SkipNothingDue(CalendarGrid& grid, int index, std::int32_t dayNumber, dw::TDateTime now,
                                     std::uint32_t& filledLeft, bool stopWhenAllSeen)
{
    std::uint32_t left = filledLeft;
    for (; index < CalendarGrid::TotalDays; ++index, ++dayNumber) {
        if (left == 0 && stopWhenAllSeen) {
            index = CalendarGrid::TotalDays;
            break;
        }
        TDynaArray& items = grid.ContainerAt(index);
        const std::uint32_t count = items.count();
        if (count == 0)
            continue;
        const auto* records = static_cast<const Appointment*>(items.itemAt(0));
        if (count >= ManyRecords) {
            if (index + PrefetchDistance < CalendarGrid::TotalDays)
                PrefetchRecords(grid.ContainerAt(index + PrefetchDistance));
            if (FirstDue(records, count, dayNumber, now) < count)
                break;
        } else if (FirstDueFrom(records, 0, count, dayNumber, now) < count) {
            break;
        }
        if (left > 0)
            --left;
        ParkOnLast(items, count);
    }
    filledLeft = left;
    return index;
}

} // namespace

QString ReminderHeading(dw::TDateTime moment, double timeOfDay)
{
    return QCoreApplication::translate("ReminderCheck", "Am %1 um %2 Uhr")
        .arg(dw::FormatShortDate(moment), dw::FormatLongTime(timeOfDay));
}

void ReminderCheck::CheckTermins()
{
    if (m_checking)
        return;
    const CheckingScope scope(m_checking);
    const dw::TDateTime now = dw::Now();
    m_dialogShown = false;
    if (WalkGrid(now))
        RemindOccurrences(now);
}

bool ReminderCheck::WalkGrid(dw::TDateTime now)
{
    // Days follow each other without gaps, so each day's date is one more than
    // the last. Counted as an integer: a floating-point sum carried across the
    // calls below would be kept in memory and chain every day to the one before.
    auto dayNumber = static_cast<std::int32_t>(CalendarGrid::DateOf(CalendarGrid::FirstYear, 1, 1));
    // Until a dialog has run, nothing else can have changed the grid, so the
    // walk may end once it has seen every day that holds appointments.
    std::uint32_t filledLeft = m_grid.FilledDays();
    // The containers lie side by side in grid order, so the walk reads them
    // one after another and looks at a day's cell only when it holds a due
    // record. The records of a loaded store lie in grid order as well, so the
    // processor's own prefetching keeps up; asking for them in software cost
    // more than it saved. (A grid that is not built yet has no containers to read.)
    bool built = m_grid.Built();
    DayPosition at;
    for (int index = 0; index < CalendarGrid::TotalDays; ++index, ++dayNumber) {
        if (filledLeft == 0 && !m_dialogShown)
            return true;
        if (built) {
            // Most days hold nothing due: those are passed without reading their cells.
            const int due = SkipNothingDue(m_grid, index, dayNumber, now, filledLeft, !m_dialogShown);
            dayNumber += due - index;
            index = due;
            if (index == CalendarGrid::TotalDays)
                return true;
            if (filledLeft > 0)
                --filledLeft;
        }
        const int day = at.At(m_grid, index);
        if (!built) {
            if (m_grid.Day(at.year, at.month, day).count() == 0)
                continue;
            if (filledLeft > 0)
                --filledLeft;
        }
        if (!WalkDay(at.year, at.month, day, dayNumber, now))
            return false;
        // Whatever ran while a dialog was open may have cleared the grid.
        if (m_dialogShown)
            built = m_grid.Built();
    }
    return true;
}

// The records are read in place. The cursor goes where moving it to every
// record in turn would leave it wherever anything else can see it: on the
// appointment being shown while the dialog is open, and on the last one visited
// when the day is done. That saves a call per record of the whole store.
bool ReminderCheck::WalkDay(int year, int month, int dayOfMonth, std::int32_t dayNumber, dw::TDateTime now)
{
    DayList& day = m_grid.Day(year, month, dayOfMonth);
    const std::uint32_t count = day.count();
    std::uint32_t i = 0;
    bool cursorOnLast = false;
    // The list cannot change during a pass (the window is disabled while the
    // dialog is up), but never walk past its end should it.
    while (i < count && i < day.count()) {
        // Looked up afresh after every dialog: the block may have moved meanwhile.
        const std::uint32_t end = std::min(count, day.count());
        const Appointment* const records = day.at(0);
        const std::uint32_t due = FirstDueFrom(records, i, end, dayNumber, now);
        i = due;
        cursorOnLast = false;
        if (due == end)
            break;
        day.Items->GoTo(static_cast<std::int32_t>(due));
        cursorOnLast = true;
        m_dialogShown = true;
        if (!Remind(year, month, dayOfMonth, due, dayNumber + records[due].TimeOfDay, now))
            return false;
        ++i;
    }
    if (i > 0 && !cursorOnLast && i - 1 < day.count())
        day.Items->GoTo(static_cast<std::int32_t>(i - 1));
    return true;
}

bool ReminderCheck::Remind(int year, int month, int day, std::uint32_t index, dw::TDateTime moment,
                           dw::TDateTime now)
{
    if (!m_dialog)
        return false;
    int result = dw::mrCancel;
    // The dialog runs a nested event loop: a save may walk the cursors and the
    // record may move, so it is found again by its id afterwards.
    const std::uint32_t id = m_grid.IdOf(year, month, day, static_cast<std::int32_t>(index));
    {
        const Appointment& item = *m_grid.Day(year, month, day).at(static_cast<std::int32_t>(index));
        const QString heading = ReminderHeading(moment, item.TimeOfDay);
        const QString name = dw::FromAnsi(item.Name);
        const QString description = dw::FromAnsi(item.Description);
        result = m_dialog->ShowReminder(heading, name, description);
    }
    if (result == dw::mrCancel)
        return false;
    Appointment* item = m_grid.Find(id);
    if (!item)
        return true;
    if (result == dw::mrIgnore)
        item->Done = 1;
    item->LastReminded = now;
    return true;
}
