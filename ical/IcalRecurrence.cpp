#include "ical/IcalRecurrence.h"

#include "ical/IcalMessages.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace dw::ical {

namespace {

struct RecurDeleter
{
    void operator()(icalrecur_iterator* i) const { icalrecur_iterator_free(i); }
};
using RecurPtr = std::unique_ptr<icalrecur_iterator, RecurDeleter>;

// libical's iterator gives up in the year 2582; a rule that never matches again
// walks there in one call. The calendar repeats every 400 years, so rules are
// walked 400 years later, and a walk past 2100 ends within about 80 years.
constexpr int ShiftYears = 400;
const QDate FirstDay(2000, 1, 1);
const QDate LastDay(2100, 12, 31);

long long Wall(const icaltimetype& t)
{
    return QDate(t.year, t.month, t.day).toJulianDay() * 86400LL + t.hour * 3600 + t.minute * 60 + t.second;
}

icaltimetype FromWall(long long seconds, icaltimetype like)
{
    const QDate date = QDate::fromJulianDay(seconds / 86400);
    const long long rest = seconds % 86400;
    like.year = date.year();
    like.month = date.month();
    like.day = date.day();
    like.hour = static_cast<int>(rest / 3600);
    like.minute = static_cast<int>(rest / 60 % 60);
    like.second = static_cast<int>(rest % 60);
    return like;
}

long long UnitSeconds(icalrecurrencetype_frequency frequency)
{
    switch (frequency) {
    case ICAL_SECONDLY_RECURRENCE:
        return 1;
    case ICAL_MINUTELY_RECURRENCE:
        return 60;
    case ICAL_HOURLY_RECURRENCE:
        return 3600;
    case ICAL_DAILY_RECURRENCE:
        return 86400;
    case ICAL_WEEKLY_RECURRENCE:
        return 7 * 86400;
    case ICAL_MONTHLY_RECURRENCE:
        return 2629746; // an average month
    default:
        return 31556952; // an average year
    }
}

bool Given(const short* values)
{
    return values[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

template <std::size_t N> bool Contains(const short (&values)[N], int wanted)
{
    for (std::size_t i = 0; i < N && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (values[i] == wanted)
            return true;
    return false;
}

// libical's iterator never returns from BYSECOND=60 (a leap second, which local
// time here never has). False when no second is left: the rule yields nothing.
bool DropLeapSeconds(icalrecurrencetype& rule)
{
    if (!Given(rule.by_second))
        return true;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < ICAL_BY_SECOND_SIZE && rule.by_second[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (rule.by_second[i] != 60)
            rule.by_second[kept++] = rule.by_second[i];
    std::fill(rule.by_second + kept, rule.by_second + ICAL_BY_SECOND_SIZE,
              static_cast<short>(ICAL_RECURRENCE_ARRAY_MAX));
    return kept > 0;
}

// Whether a day passes the rule's month, day of month, day of year and
// weekday parts, ordinals and week numbers left aside: every day the rule
// yields passes, so a rule no day passes yields nothing.
bool DayPasses(const icalrecurrencetype& rule, const QDate& d)
{
    if (Given(rule.by_month)) {
        bool found = false;
        for (std::size_t i = 0; i < ICAL_BY_MONTH_SIZE && rule.by_month[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
            found = found || icalrecurrencetype_month_month(rule.by_month[i]) == d.month();
        if (!found)
            return false;
    }
    if (Given(rule.by_month_day) && !Contains(rule.by_month_day, d.day()) &&
        !Contains(rule.by_month_day, d.day() - d.daysInMonth() - 1))
        return false;
    if (Given(rule.by_year_day) && !Contains(rule.by_year_day, d.dayOfYear()) &&
        !Contains(rule.by_year_day, d.dayOfYear() - d.daysInYear() - 1))
        return false;
    if (Given(rule.by_day)) {
        bool found = false;
        for (std::size_t i = 0; i < ICAL_BY_DAY_SIZE && rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
            found = found || static_cast<int>(icalrecurrencetype_day_day_of_week(rule.by_day[i])) ==
                                 d.dayOfWeek() % 7 + 1; // libical counts from Sunday = 1
        if (!found)
            return false;
    }
    return true;
}

int Count(const short* values, std::size_t size)
{
    std::size_t n = 0;
    while (n < size && values[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return static_cast<int>(n);
}

// What 28 years (every kind of year and weekday) show of the days that pass.
DayScan ScanDays(const icalrecurrencetype& rule, DayScans& scanned)
{
    const int length = rule.freq == ICAL_YEARLY_RECURRENCE    ? 366
                       : rule.freq == ICAL_MONTHLY_RECURRENCE ? 31
                       : rule.freq == ICAL_WEEKLY_RECURRENCE  ? 7
                                                              : 1;
    if (!Given(rule.by_month) && !Given(rule.by_month_day) && !Given(rule.by_year_day) && !Given(rule.by_day))
        return {true, 0, length};
    // Many events share their day parts (every Monday): each set is scanned once.
    QByteArray key(reinterpret_cast<const char*>(&rule.freq), sizeof rule.freq);
    for (const auto& part : {std::pair<const short*, std::size_t>{rule.by_day, ICAL_BY_DAY_SIZE},
                             {rule.by_month_day, ICAL_BY_MONTHDAY_SIZE},
                             {rule.by_year_day, ICAL_BY_YEARDAY_SIZE},
                             {rule.by_month, ICAL_BY_MONTH_SIZE}})
        key.append(reinterpret_cast<const char*>(part.first),
                   static_cast<qsizetype>(sizeof(short)) * (Count(part.first, part.second) + 1));
    if (const auto known = scanned.constFind(key); known != scanned.constEnd())
        return *known;
    if (scanned.size() > 1024)
        scanned.clear();
    const QDate from(2000, 1, 1);
    const int days = static_cast<int>(from.daysTo(QDate(2028, 1, 1)));
    DayScan scan;
    int firstPass = -1;
    int lastPass = -1;
    std::vector<bool> passes(static_cast<std::size_t>(days));
    for (int i = 0; i < days; ++i) {
        const QDate d = from.addDays(i);
        if (!DayPasses(rule, d))
            continue;
        passes[static_cast<std::size_t>(i)] = true;
        if (firstPass < 0)
            firstPass = i;
        else
            scan.longestGap = std::max(scan.longestGap, i - lastPass - 1);
        lastPass = i;
    }
    if (firstPass < 0)
        return scanned[key] = scan;
    scan.any = true;
    scan.longestGap = std::max(scan.longestGap, days - lastPass - 1 + firstPass);
    // Any stretch of a period's length holds at least as many as the period itself.
    int inWindow = 0;
    for (int i = 0; i < days; ++i) {
        inWindow += passes[static_cast<std::size_t>(i)] ? 1 : 0;
        if (i >= length)
            inWindow -= passes[static_cast<std::size_t>(i - length)] ? 1 : 0;
        scan.mostInPeriod = std::max(scan.mostInPeriod, inWindow);
    }
    return scanned[key] = scan;
}

// Whether the rule can yield anything: some day passes, and some BYSETPOS
// value lies within the most candidates a period can hold. libical's iterator
// would otherwise search up to the year 2582 for one, even before its first
// occurrence.
bool CanYield(const icalrecurrencetype& rule, int& longestGap, DayScans& scans)
{
    const DayScan scan = ScanDays(rule, scans);
    longestGap = scan.longestGap;
    if (!scan.any)
        return false;
    if (!Given(rule.by_set_pos))
        return true;
    const long long candidates = static_cast<long long>(scan.mostInPeriod) *
                                 std::max(1, Count(rule.by_hour, ICAL_BY_HOUR_SIZE)) *
                                 std::max(1, Count(rule.by_minute, ICAL_BY_MINUTE_SIZE)) *
                                 std::max(1, Count(rule.by_second, ICAL_BY_SECOND_SIZE));
    for (std::size_t i = 0; i < ICAL_BY_SETPOS_SIZE && rule.by_set_pos[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (rule.by_set_pos[i] != 0 && std::abs(rule.by_set_pos[i]) <= candidates)
            return true;
    return false;
}

// Walks one rule from `start` (wall time of the rule's zone) until `visit`
// says stop, within the event's budget of steps. Steps count the rule's own
// unit (a second, a day, ...) walked, which is what libical's work grows
// with. False when the budget ended the walk.
// The wall time in a rule's zone at which 1 January 2000 begins here, an hour early for a change of offset.
long long WallAt2000(const icaltimetype& start, const icaltimezone* zone, const QString& tzid)
{
    const QDateTime local(FirstDay, QTime(0, 0));
    QDateTime there = local;
    if (icaltime_is_utc(start)) {
        there = local.toUTC();
    } else if (zone) {
        const icaltimetype t =
            icaltime_from_timet_with_zone(local.toSecsSinceEpoch(), 0, const_cast<icaltimezone*>(zone));
        there = QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
    } else if (IsZoneName(tzid.toUtf8()) && QTimeZone(tzid.toUtf8()).isValid()) {
        there = local.toTimeZone(QTimeZone(tzid.toUtf8()));
    }
    return there.date().toJulianDay() * 86400LL + there.time().msecsSinceStartOfDay() / 1000 - 3600;
}

template <typename Visit>
bool Walk(icalrecurrencetype rule, icaltimetype start, long long jump, int line, int& steps, Budget& budget,
          DayScans& scans, Visit visit)
{
    if (!DropLeapSeconds(rule))
        return true;
    int gap = 0;
    if (!CanYield(rule, gap, scans))
        return true;
    const long long unit = UnitSeconds(rule.freq);
    const long long period = unit * std::max<long long>(1, rule.interval);
    // Finer than a day, libical tries one second, minute or hour after the other
    // until one passes: one call may walk through the days no day part lets
    // pass, or through a day for the time parts.
    if (unit < 86400) {
        const bool dayParts = Given(rule.by_month) || Given(rule.by_month_day) || Given(rule.by_year_day) ||
                              Given(rule.by_day) || Given(rule.by_week_no);
        const bool timeParts = Given(rule.by_hour) || Given(rule.by_minute) || Given(rule.by_second);
        const long long days = dayParts ? gap + 1LL : timeParts ? 1 : 0;
        if (days * 86400 / period > 2LL * budget.bounds().ruleStepsPerEvent)
            throw Failure(line, QCoreApplication::translate(
                                    "IcalRecurrence",
                                    "Die Wiederholungsregel prüft jede Sekunde, Minute oder Stunde "
                                    "einzeln und trifft dabei bis zu %1 Tage lang nichts; so lässt "
                                    "sie sich nicht in vertretbarer Zeit auswerten.")
                                    .arg(days));
    }
    const bool finite = rule.count > 0 || !icaltime_is_null_time(rule.until);
    // An open rule of fixed steps starts afresh just before 2000, on its own beat.
    if (jump > 0 && !finite && unit <= 7 * 86400 && !(start.is_date && unit < 86400)) {
        if (Wall(start) < jump)
            start = FromWall(Wall(start) + (jump - Wall(start)) / period * period, start);
    }
    start.year += ShiftYears;
    if (!icaltime_is_null_time(rule.until))
        rule.until.year += ShiftYears;
    RecurPtr it(icalrecur_iterator_new(rule, start));
    if (!it)
        throw Failure(line,
                      QCoreApplication::translate("IcalRecurrence", "RRULE kann nicht ausgewertet werden."));
    long long previous = Wall(start);
    for (;;) {
        if (steps >= budget.bounds().ruleStepsPerEvent)
            return false;
        budget.check();
        icaltimetype next = icalrecur_iterator_next(it.get());
        if (icaltime_is_null_time(next))
            return true;
        const long long wall = Wall(next);
        steps += static_cast<int>(
            std::clamp<long long>((wall - previous) / period, 1, budget.bounds().ruleStepsPerEvent));
        previous = wall;
        next.year -= ShiftYears;
        if (!visit(next))
            return true;
    }
}

} // namespace

Recurrences::Expansion Recurrences::expand(icalcomponent* event, icaltimetype start, const icaltimezone* zone,
                                           const QString& tzid, icalcomponent* zones, const EventLines& lines)
{
    std::set<Moment> excluded;
    std::set<QDate> excludedDays;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
        const icaltimetype at = icalproperty_get_exdate(p);
        if (!Valid(at))
            throw Failure(lines.of("EXDATE"),
                          QCoreApplication::translate("IcalRecurrence", "EXDATE ist kein gültiges Datum."));
        const Moment gone = ToLocal(at, ZoneOf(p, zones), TzidOf(p));
        if (at.is_date)
            excludedDays.insert(gone.date);
        else
            excluded.insert(gone);
    }
    // Sorted once at the end: a rule walked through the century gives tens of thousands.
    std::vector<Moment> found;
    const auto take = [&](const Moment& m) {
        if (!excluded.contains(m) && !excludedDays.contains(m.date))
            found.push_back(m);
    };
    take(ToLocal(start, zone, tzid));
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
        const icaltimetype at = icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time;
        if (!Valid(at))
            throw Failure(lines.of("RDATE"),
                          QCoreApplication::translate("IcalRecurrence", "RDATE ist kein gültiges Datum."));
        take(ToLocal(at, ZoneOf(p, zones), TzidOf(p)));
    }
    Expansion result;
    int steps = 0;
    const long long jump = WallAt2000(start, zone, tzid);
    const int line = lines.of("RRULE");
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(p);
        if (rule.freq == ICAL_NO_RECURRENCE)
            throw Failure(line, QCoreApplication::translate("IcalRecurrence",
                                                            "RRULE ist keine gültige Wiederholungsregel."));
        // Every rule is followed to the end of 2100 only, an open one from 2000
        // on; what lies beyond is not counted.
        const bool open = rule.count == 0 && icaltime_is_null_time(rule.until);
        const bool whole =
            Walk(rule, start, jump, line, steps, m_budget, m_scans, [&](const icaltimetype& next) {
                const Moment m = ToLocal(next, zone, tzid);
                if (m.date > LastDay)
                    return false;
                if (!open || m.date >= FirstDay)
                    take(m);
                return true;
            });
        result.ended = result.ended || !whole;
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    for (const Moment& m : found) {
        if (m.date < FirstDay || m.date > LastDay)
            ++result.outsideRange;
        else if (static_cast<int>(result.moments.size()) == m_budget.bounds().occurrencesPerEvent)
            ++result.cutOff;
        else
            result.moments.push_back(m);
    }
    return result;
}

std::vector<Moment> Recurrences::of(icalcomponent* event, icaltimetype start, const icaltimezone* zone,
                                    const QString& tzid, icalcomponent* zones, const EventLines& lines,
                                    const QByteArray& key, ImportedCalendar& out)
{
    const Expansion* expansion = nullptr;
    Expansion fresh;
    if (!key.isEmpty())
        if (auto cached = m_cache.constFind(key); cached != m_cache.constEnd())
            expansion = &*cached;
    if (!expansion) {
        fresh = expand(event, start, zone, tzid, zones, lines);
        expansion = &fresh;
        if (!key.isEmpty()) {
            if (m_cache.size() >= 256)
                m_cache.clear();
            expansion = &*m_cache.insert(key, std::move(fresh));
        }
    }
    out.outsideRange += expansion->outsideRange;
    out.cutOff += expansion->cutOff;
    out.rulesEnded += expansion->ended ? 1 : 0;
    return expansion->moments;
}

void Recurrences::checkZone(icalcomponent* zone, int line, int& changesInFile)
{
    const Bounds& limits = m_budget.bounds();
    int changes = 0;
    for (icalcomponent* part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        icalproperty* dtstart = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
        const icaltimetype start = dtstart ? icalproperty_get_dtstart(dtstart) : icaltime_null_time();
        for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(part, ICAL_RDATE_PROPERTY))
            ++changes;
        for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p;
             p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            icalrecurrencetype rule = icalproperty_get_rrule(p);
            if (!Valid(start) || rule.freq == ICAL_NO_RECURRENCE)
                continue; // libical leaves such a part out itself
            // libical walks these rules itself when the zone is first used; what it sees has to end.
            if (!DropLeapSeconds(rule))
                rule.count = 1; // only its start is left
            icalproperty_set_rrule(p, rule);
            int steps = 0;
            Walk(rule, start, 0, line, steps, m_budget, m_scans, [&](const icaltimetype& next) {
                ++changes;
                return next.year <= LastDay.year() + 1 && changes <= limits.zoneChanges;
            });
            if (steps >= limits.ruleStepsPerEvent)
                changes = limits.zoneChanges + 1;
        }
    }
    changesInFile += changes;
    if (changes > limits.zoneChanges || changesInFile > 10 * limits.zoneChanges)
        throw Failure(line,
                      QCoreApplication::translate(
                          "IcalRecurrence", "Die Zeitzone wechselt bis 2100 zu oft (mehr als %1-mal in einer "
                                            "Zone oder %2-mal in der Datei).")
                          .arg(Number(limits.zoneChanges), Number(10 * limits.zoneChanges)));
}

} // namespace dw::ical
