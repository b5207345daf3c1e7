#include "BenchStores.h"

#include "series/SeriesEdit.h"
#include "store/ByteStream.h"
#include "store/TerminFormat.h"

#include <QBuffer>
#include <QDate>

#include <random>

std::unique_ptr<CalendarGrid> MakeGrid(int appointments, int spread)
{
    auto grid = std::make_unique<CalendarGrid>();
    grid->Build();
    std::mt19937 random(42);
    std::uniform_int_distribution<int> year(CalendarGrid::FirstYear, CalendarGrid::LastYear);
    std::uniform_int_distribution<int> month(1, 12);
    const QDate denseStart(2020, 1, 1);
    for (int i = 0; i < appointments; ++i) {
        int y = year(random);
        int m = month(random);
        std::uniform_int_distribution<int> dayOf(1, grid->DayCount(y, m));
        int d = dayOf(random);
        if (spread == TenADay) {
            const QDate date = denseStart.addDays(i / 10);
            y = date.year();
            m = date.month();
            d = date.day();
        }
        Appointment* a = grid->NewAppointment(y, m, d);
        ReplaceText(a->Name, "Termin " + QByteArray::number(i));
        ReplaceText(a->Description, QByteArray("Raum 4.12\r\nUnterlagen mitbringen").left(i % 33));
    }
    return grid;
}

QByteArray Bytes(const CalendarGrid& grid)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ByteStream out(&buffer);
    WriteTermins(out, grid, {});
    return bytes;
}

dw::series::SeriesSet MakeSeries(int count, double firstLead)
{
    dw::series::SeriesSet set;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> day(0, 18262); // 2000 to 2050
    std::uniform_int_distribution<int> minute(0, 1439);
    for (int i = 0; i < count; ++i) {
        dw::series::Fields fields;
        fields.name = "Serie " + std::to_string(i);
        fields.firstLead = firstLead;
        set.list().push_back(dw::series::NewSeries(dw::series::FirstDay + day(random), minute(random) * 60,
                                                   fields, dw::series::Rule{}, 0));
    }
    return set;
}
