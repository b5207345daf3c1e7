#include "store/CalendarGrid.h"

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

CalendarGrid::CalendarGrid()
{
    for (int y = FirstYear; y <= LastYear; ++y)
        for (int m = 1; m <= 12; ++m)
            m_months[y - FirstYear][m - 1].DayCount = DaysInMonth(y, static_cast<std::uint8_t>(m));
}

CalendarGrid::~CalendarGrid()
{
    if (m_built)
        delall();
}

void CalendarGrid::Build()
{
    ForEachDay([](int, int, int, DayList& day) {
        day.Items = new TDynaArray(sizeof(Appointment), reinterpret_cast<void**>(&day.Current));
        day.Current = nullptr;
    });
    m_built = true;
}

void CalendarGrid::NewContainer(int year, int month, int day)
{
    DayList& cell = Day(year, month, day);
    delete cell.Items;
    cell.Current = nullptr;
    cell.Items = new TDynaArray(sizeof(Appointment), reinterpret_cast<void**>(&cell.Current));
    m_built = true;
}

void CalendarGrid::delall()
{
    ForEachDay([](int, int, int, DayList& day) {
        if (!day.Items)
            return;
        day.Items->First();
        while (day.Items->Next())
            FreeTexts(*day.Current);
        delete day.Items;
        day.Items = nullptr;
        day.Current = nullptr;
    });
    m_built = false;
}

bool CalendarGrid::Contains(int year, int month, int day)
{
    return year >= FirstYear && year <= LastYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, static_cast<std::uint8_t>(month));
}

Appointment* CalendarGrid::NewAppointment(int year, int month, int day)
{
    DayList& cell = Day(year, month, day);
    char* name = NewText(QByteArray(DefaultName));
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
    return true;
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
