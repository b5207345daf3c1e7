#include "KnownStates.h"

#include "series/SeriesEdit.h"

#include <QByteArray>

void BuildKnownState(CalendarGrid& grid, char which)
{
    grid.Build();
    // The new state is several times the old one, so a save takes long
    // enough to be interrupted at many different points.
    const int count = which == 'A' ? 200 : 2500;
    for (int i = 0; i < count; ++i) {
        const int year = 2000 + (i * 7) % 101;
        const int month = 1 + (i * 5) % 12;
        const int day = 1 + (i * 11) % 28;
        Appointment* a = grid.NewAppointment(year, month, day);
        if (!a)
            return;
        const QByteArray name = QByteArray(1, which) + " Termin " + QByteArray::number(i);
        ReplaceText(a->Name, name);
        ReplaceText(a->Description, QByteArray("Beschreibung\r\n").repeated(1 + i % 5));
        a->TimeOfDay = (i % 1440) / 1440.0;
        a->Done = static_cast<std::uint8_t>(i % 2);
    }
}

StoredSettings KnownSettings(char which)
{
    return which == 'A' ? StoredSettings{1, 15, false} : StoredSettings{2, 45, true};
}

dw::series::SeriesSet KnownSeries(char which)
{
    dw::series::SeriesSet set;
    const int count = which == 'A' ? 100 : 300;
    for (int i = 0; i < count; ++i) {
        dw::series::Series s;
        s.uid = "serie-" + std::to_string(i) + which + "@datumswecker";
        s.start = dw::series::WallOf(dw::series::FirstDay + i * 17, i % 1440 * 60);
        s.rule = dw::series::Rule{};
        s.fields.name = std::string("Serie ") + which + std::to_string(i);
        dw::series::SetState(s, s.start, 40000.25 + i, i % 2 == 0);
        set.list().push_back(std::move(s));
    }
    return set;
}
