#include "reminder/ReminderCheck.h"

#include "platform/Ansi.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/RegionalFormats.h"
#include "reminder/DueRule.h"

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

} // namespace

QString ReminderHeading(dw::TDateTime moment, double timeOfDay)
{
    return QStringLiteral("Am ") + dw::FormatShortDate(moment) + QStringLiteral(" um ") +
           dw::FormatLongTime(timeOfDay) + QStringLiteral(" Uhr");
}

void ReminderCheck::CheckTermins()
{
    if (m_checking)
        return;
    const CheckingScope scope(m_checking);
    const dw::TDateTime now = dw::Now();

    // Days follow each other without gaps, so each day's date is one more than
    // the last. Counted as an integer: a floating-point sum carried across the
    // calls below would be kept in memory and chain every day to the one before.
    auto dayNumber = static_cast<std::int32_t>(CalendarGrid::DateOf(CalendarGrid::FirstYear, 1, 1));
    for (int year = CalendarGrid::FirstYear; year <= CalendarGrid::LastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const std::int32_t dayCount = m_grid.DayCount(year, month);
            for (int d = 1; d <= dayCount; ++d, ++dayNumber) {
                DayList& day = m_grid.Day(year, month, d);
                if (day.count() != 0 && !WalkDay(day, dayNumber, now))
                    return;
            }
        }
    }
}

// The records are read in place. The cursor goes where moving it to every
// record in turn would leave it wherever anything else can see it: on the
// appointment being shown while the dialog is open, and on the last one visited
// when the day is done. That saves a call per record of the whole store.
bool ReminderCheck::WalkDay(DayList& day, std::int32_t dayNumber, dw::TDateTime now)
{
    const std::uint32_t count = day.count();
    std::uint32_t i = 0;
    bool cursorOnLast = false;
    // The list cannot change during a pass (the window is disabled while the
    // dialog is up), but never walk past its end should it.
    for (; i < count && i < day.count(); ++i) {
        const Appointment& item = *day.at(static_cast<std::int32_t>(i));
        const dw::TDateTime moment = dayNumber + item.TimeOfDay;
        cursorOnLast = false;
        if (!IsDue(moment, moment - item.FirstLead, item.LastReminded, item.RepeatInterval, item.Done != 0,
                   now))
            continue;
        day.Items->GoTo(static_cast<std::int32_t>(i));
        cursorOnLast = true;
        if (!Remind(day, i, moment, now))
            return false;
    }
    if (i > 0 && !cursorOnLast && i - 1 < day.count())
        day.Items->GoTo(static_cast<std::int32_t>(i - 1));
    return true;
}

bool ReminderCheck::Remind(DayList& day, std::uint32_t index, dw::TDateTime moment, dw::TDateTime now)
{
    if (!m_dialog)
        return false;
    int result = dw::mrCancel;
    {
        const Appointment& item = *day.at(static_cast<std::int32_t>(index));
        const QString heading = ReminderHeading(moment, item.TimeOfDay);
        const QString name = dw::FromAnsi(item.Name);
        const QString description = dw::FromAnsi(item.Description);
        // The dialog runs a nested event loop: a save may walk the cursors and the
        // record may move, so it is looked up again by its index afterwards.
        result = m_dialog->ShowReminder(heading, name, description);
    }
    if (result == dw::mrCancel)
        return false;
    if (index >= day.count())
        return true;
    Appointment& item = *day.at(static_cast<std::int32_t>(index));
    if (result == dw::mrIgnore)
        item.Done = 1;
    item.LastReminded = now;
    return true;
}
