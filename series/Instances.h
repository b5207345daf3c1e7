#pragma once

#include "series/Series.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The instances of one series: its start, what its rule yields and its extra
// dates, less its excluded dates, each once and in ascending order, in the
// series' own time. Simple rules are worked out in closed form, so a pass or a
// count never walks a series from its start.
namespace dw::series {

// What the standard library cannot do: zones only libical knows and rules
// beyond the simple form. The programs that link libical install one; the
// light reading program has none and hands such series to one that does.
class Helper
{
public:
    virtual ~Helper() = default;
    // The zones of the file being read, as VTIMEZONE texts by TZID; the
    // system's zones serve the names it does not define.
    virtual void UseZones(const std::map<std::string, std::string>& zones) const = 0;
    // A wall time of the series' zone as this machine's local wall time, and back.
    virtual Wall ToLocal(const Series& series, Wall own) const = 0;
    virtual Wall FromLocal(const Series& series, Wall local) const = 0;
    // Every start the rule yields up to the end of 2100, ascending, bounded in
    // work; empty for a rule that cannot be followed.
    virtual std::vector<Wall> Expand(const Series& series) const = 0;
};
void InstallHelper(const Helper* helper);
const Helper* InstalledHelper();

// Whether the series needs the helper: a rule beyond the simple form, or a
// zone that is neither UTC nor this machine's own.
bool NeedsHelper(const Series& series);

// The machine's zone (TZ, else /etc/localtime): a series in it keeps its wall
// times, as the appointments of termine.dat do.
bool IsLocalZone(const std::string& tzid);

// UTC and this machine's local wall time, through the C library.
Wall UtcToLocal(Wall utc);
Wall LocalToUtc(Wall local);

// The series' own time as local time, and back. A floating series and one in
// the machine's zone are the same in both.
Wall ToLocal(const Series& series, Wall own);
Wall FromLocal(const Series& series, Wall local);

// Walks the instances from a moment on.
class InstanceCursor
{
public:
    InstanceCursor(const Series& series, Wall from);
    // The next instance, ascending; false when there are no more.
    bool next(Wall& instance);

private:
    bool nextOfRule(Wall& instance);
    bool nextCandidate(Wall& instance);

    const Series& m_series;
    const Derived& m_derived;
    std::int64_t m_step = 0;   // index of the rule's next step
    std::size_t m_listAt = 0;  // in the expanded rule of a rule beyond the simple form
    std::size_t m_rdateAt = 0; // the next extra date
    std::size_t m_exdateAt = 0;
    bool m_startPending = false;
    bool m_ruleHas = false;
    Wall m_ruleNext = 0;
};

// How many instances lie in [from, to] (the series' own time).
std::uint64_t CountInstances(const Series& series, Wall from, Wall to);
// Whether `at` is an instance.
bool IsInstance(const Series& series, Wall at);
// The last start the rule allows (UNTIL and COUNT); none when it runs on.
std::optional<Wall> LastOfRule(const Series& series);

} // namespace dw::series
