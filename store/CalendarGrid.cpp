#include "store/CalendarGrid.h"

#include <QCoreApplication>

#include <algorithm>
#include <bit>

bool IsLeapYear(std::int32_t year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(std::int32_t year, std::uint8_t month)
{
    static constexpr int Table[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year))
        return 29;
    return Table[month - 1];
}

CalendarGrid::CalendarGrid() : m_slots(new Slot[TotalDays])
{
    m_pool.Slots = m_slots.get();
    m_pool.FilledBits.assign((TotalDays + 63) / 64, 0);
    int index = 0;
    for (int y = FirstYear; y <= LastYear; ++y)
        for (int m = 1; m <= 12; ++m) {
            MonthRecord& month = m_months[y - FirstYear][m - 1];
            month.DayCount = DaysInMonth(y, static_cast<std::uint8_t>(m));
            month.FirstDayIndex = index;
            index += month.DayCount;
        }
}

CalendarGrid::~CalendarGrid()
{
    delall();
}

void CalendarGrid::Construct(MonthRecord& month, int day)
{
    DayList& cell = month.Days[day - 1];
    void* slot = &m_slots[month.FirstDayIndex + day - 1];
    cell.Items = new (slot) TDynaArray(sizeof(Appointment), reinterpret_cast<void**>(&cell.Current), &m_pool);
    cell.Current = nullptr;
    ++m_containers;
}

void CalendarGrid::Destroy(DayList& day)
{
    if (!day.Items)
        return;
    const std::uint32_t count = day.Items->count();
    // Texts a load brought in stay in their arena; telling them by their
    // address spares reading them.
    for (std::uint32_t i = 0; i < count; ++i) {
        Appointment& a = *day.at(static_cast<std::int32_t>(i));
        if (!m_pool.Texts.Holds(a.Name))
            FreeText(a.Name);
        if (!m_pool.Texts.Holds(a.Description))
            FreeText(a.Description);
    }
    // The grid made every container itself, so its exact type is known.
    day.Items->TDynaArray::~TDynaArray();
    day.Items = nullptr;
    day.Current = nullptr;
    --m_containers;
}

void CalendarGrid::Build()
{
    delall();
    BuildMissing();
}

void CalendarGrid::BuildMissing()
{
    if (Built())
        return;
    for (auto& year : m_months)
        for (MonthRecord& month : year)
            for (int d = 1; d <= month.DayCount; ++d)
                if (!month.Days[d - 1].Items)
                    Construct(month, d);
}

void CalendarGrid::NewContainer(int year, int month, int day)
{
    MonthRecord& record = m_months[year - FirstYear][month - 1];
    Destroy(record.Days[day - 1]);
    Construct(record, day);
}

int CalendarGrid::NextFilledDay(int first, int end) const
{
    const std::vector<std::uint64_t>& bits = m_pool.FilledBits;
    if (first >= end)
        return end;
    std::size_t word = static_cast<std::size_t>(first) / 64;
    const std::size_t lastWord = static_cast<std::size_t>(end - 1) / 64;
    std::uint64_t rest = bits[word] & (~std::uint64_t{0} << (first % 64));
    while (rest == 0) {
        if (++word > lastWord)
            return end;
        rest = bits[word];
    }
    return std::min(end, static_cast<int>(word * 64) + std::countr_zero(rest));
}

MonthRecord& CalendarGrid::MonthAt(int index, int& year, int& month)
{
    // Months are 28 to 31 days long: the average finds the month at once or next to it.
    int monthIndex = static_cast<int>(std::int64_t{index} * Years * 12 / TotalDays);
    while (index < m_months[monthIndex / 12][monthIndex % 12].FirstDayIndex)
        --monthIndex;
    while (index >= m_months[monthIndex / 12][monthIndex % 12].FirstDayIndex +
                        m_months[monthIndex / 12][monthIndex % 12].DayCount)
        ++monthIndex;
    year = FirstYear + monthIndex / 12;
    month = monthIndex % 12 + 1;
    return m_months[monthIndex / 12][monthIndex % 12];
}

void CalendarGrid::EmptyFilledDays(int first, int end)
{
    for (int index = NextFilledDay(first, end); index < end; index = NextFilledDay(index + 1, end)) {
        int year = 0;
        int month = 0;
        MonthRecord& record = MonthAt(index, year, month);
        const int day = index - record.FirstDayIndex + 1;
        Destroy(record.Days[day - 1]);
        Construct(record, day);
    }
}

void CalendarGrid::delall()
{
    ForEachDay([this](int, int, int, DayList& day) { Destroy(day); });
    m_pool.Records.ReleaseAll();
    m_pool.Texts.ReleaseAll();
    m_dayOfId.clear();
}

bool CalendarGrid::Contains(int year, int month, int day)
{
    return year >= FirstYear && year <= LastYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, static_cast<std::uint8_t>(month));
}

Appointment* CalendarGrid::NewAppointment(int year, int month, int day)
{
    DayList& cell = Day(year, month, day);
    char* name = NewText(QCoreApplication::translate("Appointment", DefaultName).toLatin1());
    char* description = NewText(QByteArray());
    auto* record = name && description ? static_cast<Appointment*>(cell.Items->Append()) : nullptr;
    if (!record) {
        FreeText(name);
        FreeText(description);
        return nullptr;
    }
    record->Name = name;
    record->Description = description;
    record->FirstLead = DefaultFirstLead;
    record->RepeatInterval = DefaultRepeatInterval;
    record->LastReminded = 0.0;
    record->TimeOfDay = DefaultTimeOfDay;
    record->Done = 0;
    return record;
}

bool CalendarGrid::DeleteAppointment(int year, int month, int day, std::int32_t index)
{
    DayList& cell = Day(year, month, day);
    if (index < 0 || static_cast<std::uint32_t>(index) >= cell.count())
        return false;
    // Keep the texts until the record is really gone, so a failed shrink loses nothing.
    Appointment copy = *static_cast<Appointment*>(cell.Items->GoTo(index));
    if (!cell.Items->Delete(index))
        return false;
    FreeTexts(copy);
    if (copy.Id != 0)
        m_dayOfId.erase(copy.Id);
    return true;
}

Appointment* CalendarGrid::MoveAppointment(int year, int month, int day, std::int32_t index, int toYear,
                                           int toMonth, int toDay)
{
    DayList& from = Day(year, month, day);
    DayList& to = Day(toYear, toMonth, toDay);
    if (index < 0 || static_cast<std::uint32_t>(index) >= from.count())
        return nullptr;
    const Appointment moving = *from.at(index);
    auto* record = static_cast<Appointment*>(to.Items->Append());
    if (!record)
        return nullptr;
    *record = moving;
    const auto last = static_cast<std::int32_t>(to.count()) - 1;
    // The texts now belong to the new record: the old one goes without them.
    if (!from.Items->Delete(index)) {
        to.Items->Delete(last);
        return nullptr;
    }
    if (moving.Id != 0)
        m_dayOfId[moving.Id] = PositionOf(toYear, toMonth, toDay);
    return to.at(static_cast<std::int32_t>(to.count()) - 1);
}

std::uint32_t CalendarGrid::IdOf(int year, int month, int day, std::int32_t index)
{
    Appointment& a = *Day(year, month, day).at(index);
    if (a.Id == 0) {
        a.Id = ++m_lastId;
        m_dayOfId.emplace(a.Id, PositionOf(year, month, day));
    }
    return a.Id;
}

Appointment* CalendarGrid::Find(std::uint32_t id, Place* place)
{
    const auto known = m_dayOfId.find(id);
    if (known == m_dayOfId.end())
        return nullptr;
    Place at;
    const MonthRecord& record = MonthAt(known->second, at.year, at.month);
    at.day = known->second - record.FirstDayIndex + 1;
    const DayList& cell = record.Days[at.day - 1];
    for (std::uint32_t i = 0; i < cell.count(); ++i) {
        Appointment* a = cell.at(static_cast<std::int32_t>(i));
        if (a->Id != id)
            continue;
        at.index = static_cast<std::int32_t>(i);
        if (place)
            *place = at;
        return a;
    }
    m_dayOfId.erase(known);
    return nullptr;
}

std::uint32_t CalendarGrid::MonthCount(int year, int month) const
{
    std::uint32_t total = 0;
    const MonthRecord& rec = m_months[year - FirstYear][month - 1];
    for (int d = 0; d < rec.DayCount; ++d)
        total += rec.Days[d].count();
    return total;
}

std::uint32_t CalendarGrid::YearCount(int year) const
{
    std::uint32_t total = 0;
    for (int m = 1; m <= 12; ++m)
        total += MonthCount(year, m);
    return total;
}

dw::TDateTime CalendarGrid::DateOf(int year, int month, int day)
{
    return dw::EncodeDate(year, month, day);
}
