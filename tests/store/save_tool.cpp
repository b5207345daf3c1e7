// Saves a known store, for the tests that interrupt a save from outside:
//   save_tool save <file> <A|B>     one save; exit 0 when it succeeded
//   save_tool loop <file>           saves A, B, A, ... until killed; prints "ready" first
// A file ending in .ics is saved as the series file, anything else as termine.dat.
#include "KnownStates.h"

#include "series/SeriesFile.h"
#include "store/DataFile.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

bool Save(DataFile& file, char which)
{
    auto grid = std::make_unique<CalendarGrid>();
    BuildKnownState(*grid, which);
    return file.SaveTermins(*grid, KnownSettings(which));
}

} // namespace

// The series file saved the same two ways.
int SeriesMain(const char* mode, const QString& path, char which)
{
    if (std::strcmp(mode, "save") == 0) {
        SeriesFile file(path);
        file.MarkChanged();
        return file.Save(KnownSeries(which)) ? 0 : 1;
    }
    const dw::series::SeriesSet a = KnownSeries('A');
    const dw::series::SeriesSet b = KnownSeries('B');
    SeriesFile file(path);
    std::puts("ready");
    std::fflush(stdout);
    for (;;) {
        file.MarkChanged();
        file.Save(b);
        file.MarkChanged();
        file.Save(a);
    }
}

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const char* mode = argv[1];
    if (QString::fromLocal8Bit(argv[2]).endsWith(QLatin1String(".ics")))
        return SeriesMain(mode, QString::fromLocal8Bit(argv[2]), argc > 3 ? argv[3][0] : 'A');
    DataFile file(QString::fromLocal8Bit(argv[2]));
    const char which = argc > 3 ? argv[3][0] : 'A';
    if (std::strcmp(mode, "save") == 0)
        return Save(file, which) ? 0 : 1;
    if (std::strcmp(mode, "loop") == 0) {
        auto a = std::make_unique<CalendarGrid>();
        auto b = std::make_unique<CalendarGrid>();
        BuildKnownState(*a, 'A');
        BuildKnownState(*b, 'B');
        std::puts("ready");
        std::fflush(stdout);
        for (;;) {
            file.SaveTermins(*b, KnownSettings('B'));
            file.SaveTermins(*a, KnownSettings('A'));
        }
    }
    return 2;
}
