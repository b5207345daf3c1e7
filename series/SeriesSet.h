#pragma once

#include "series/Series.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw::series {

// One occurrence of a series where it lies in local time, with what it shows.
struct Occurrence
{
    std::size_t series = 0; // index in its set
    Wall recurrenceId = 0;  // which instance it is, in the series' own time
    Wall local = 0;
    const Fields* fields = nullptr; // the series' own, or its exception's
    bool exception = false;

    std::int64_t day() const { return DayOf(local); }
    double timeOfDay() const { return TimeOfDayOf(local); }
    // Computed as the check pass computes an appointment's moment, to the bit.
    TDateTime moment() const { return static_cast<double>(day()) + timeOfDay(); }
};

const ReminderState* FindState(const Series& series, Wall recurrenceId);
const Exception* FindException(const Series& series, Wall recurrenceId);
// Whether the series keeps its wall times in local time (floating, all-day, the machine's zone).
bool KeepsWallTime(const Series& series);

// Every series of the program, with what the tree, the list, the check pass and
// the command line ask of them. Only what is asked for is expanded.
class SeriesSet
{
public:
    std::vector<Series>& list() { return m_series; }
    const std::vector<Series>& list() const { return m_series; }
    std::size_t size() const { return m_series.size(); }
    Series& operator[](std::size_t index) { return m_series[index]; }
    const Series& operator[](std::size_t index) const { return m_series[index]; }

    // The time zones the series name, as VTIMEZONE texts by TZID: kept for
    // libical, which reads them, and written back as they came.
    std::map<std::string, std::string>& zones() { return m_zones; }
    const std::map<std::string, std::string>& zones() const { return m_zones; }

    std::optional<std::size_t> Find(std::string_view uid) const;
    // Whether any series needs what only libical can do (see Helper).
    bool NeedsHelper() const;

    // The occurrences of one series on the local days firstDay to lastDay
    // (date values), in time order, appended to out.
    void OccurrencesOf(std::size_t index, std::int64_t firstDay, std::int64_t lastDay,
                       std::vector<Occurrence>& out) const;
    // Those of every series: series after series, each in time order.
    std::vector<Occurrence> Occurrences(std::int64_t firstDay, std::int64_t lastDay) const;
    // How many occurrences lie on those days.
    std::uint64_t Count(std::int64_t firstDay, std::int64_t lastDay) const;
    std::uint64_t CountOf(std::size_t index, std::int64_t firstDay, std::int64_t lastDay) const;

    // The occurrences due at now by the due rule of a single appointment, in
    // the order of their moments. Only the instances that can be due are looked
    // at: those from now to the end of their first lead.
    std::vector<Occurrence> Due(TDateTime now) const;

    // The same for one series held elsewhere (a streamed one), numbered index,
    // appended in no particular order.
    static void OccurrencesIn(const Series& series, std::size_t index, std::int64_t firstDay,
                              std::int64_t lastDay, std::vector<Occurrence>& out);
    static void DueIn(const Series& series, std::size_t index, TDateTime now, std::vector<Occurrence>& out);
    // Puts due occurrences in the order Due gives them.
    static void SortByMoment(std::vector<Occurrence>& due);

private:
    std::vector<Series> m_series;
    std::map<std::string, std::string> m_zones;
};

} // namespace dw::series
