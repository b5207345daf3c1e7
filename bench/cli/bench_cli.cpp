// Times `datumswecker --due` and `--agenda` beside remind and calcurse on the
// same appointments, each program reading its own format: termine.dat, a
// remind script, calcurse's apts file. Every program is started as a process
// the same way, so the start-up of each is part of its time, as it is for a
// user at the shell.
//
//   bench_cli [repetitions] [sizes...]     defaults: 7 and 1000 10000 100000
//   bench_cli --series [repetitions] [sizes...]   weekly series: --due against remind's REM ... *7

#include "series/SeriesEdit.h"
#include "series/SeriesWriter.h"
#include "store/ByteStream.h"
#include "store/CalendarGrid.h"
#include "store/TerminFormat.h"

#include "platform/DateTime.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// The appointments lie evenly over ten years around today, at varying times.
struct Generated
{
    QDate date;
    int minuteOfDay;
    QByteArray name;
};

std::vector<Generated> Generate(int count, const QDate& today)
{
    const QDate first = today.addYears(-5);
    const qint64 span = first.daysTo(today.addYears(5));
    std::vector<Generated> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        out.push_back({first.addDays(static_cast<qint64>(i) * span / count), (i * 37) % 1440,
                       "Termin " + QByteArray::number(i)});
    return out;
}

bool WriteStore(const QString& path, const std::vector<Generated>& items)
{
    CalendarGrid grid;
    grid.Build();
    for (const Generated& g : items) {
        Appointment* a = grid.NewAppointment(g.date.year(), g.date.month(), g.date.day());
        if (!a || !ReplaceText(a->Name, g.name))
            return false;
        a->TimeOfDay = g.minuteOfDay / 1440.0;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    ByteStream out(&file);
    WriteTermins(out, grid, StoredSettings{});
    return true;
}

// remind: the same first lead of three days (+3) at the time of day; repeat
// " *7" makes each a weekly series.
bool WriteRemind(const QString& path, const std::vector<Generated>& items, const char* repeat = "")
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&file);
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (const Generated& g : items)
        out << "REM " << g.date.day() << ' ' << months[g.date.month() - 1] << ' ' << g.date.year() << repeat
            << " +3 AT " << g.minuteOfDay / 60 << ':'
            << QString::number(g.minuteOfDay % 60).rightJustified(2, QLatin1Char('0')) << " MSG " << g.name
            << '\n';
    return true;
}

// The same appointments as open weekly series: ours in the series file beside an
// empty termine.dat, remind's in its own repeating form (*7).
bool WriteSeries(const QString& folder, const std::vector<Generated>& items)
{
    dw::series::SeriesSet set;
    for (const Generated& g : items) {
        dw::series::Fields fields;
        fields.name = g.name.toStdString();
        set.list().push_back(dw::series::NewSeries(static_cast<std::int64_t>(dw::FromQDate(g.date)),
                                                   g.minuteOfDay * 60, fields, dw::series::Rule{}, 0));
    }
    QFile file(folder + QStringLiteral("datumswecker-serien.ics"));
    const std::string bytes = dw::series::WriteSeriesFile(set);
    return WriteStore(folder + QStringLiteral("termine.dat"), {}) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

QString CalcurseDate(const QDate& d)
{
    return d.toString(QStringLiteral("MM/dd/yyyy"));
}

bool WriteCalcurse(const QString& folder, const std::vector<Generated>& items)
{
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/apts"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&file);
    for (const Generated& g : items) {
        const QString at = CalcurseDate(g.date) + QStringLiteral(" @ ") +
                           QTime(0, 0).addSecs(g.minuteOfDay * 60).toString(QStringLiteral("HH:mm"));
        out << at << " -> " << at << " |" << g.name << '\n';
    }
    return true;
}

struct Times
{
    double wall = -1; // ms
    double cpu = -1;  // ms of user and system time
};

// One run with its output thrown away; negative times when it could not run.
Times RunOnce(const QStringList& command)
{
    std::vector<QByteArray> args;
    for (const QString& a : command)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double wall = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return {};
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return {wall, ms(usage.ru_utime) + ms(usage.ru_stime)};
}

// Medians of the runs, after one run that warms the caches.
Times Median(const QStringList& command, int repetitions)
{
    if (RunOnce(command).wall < 0)
        return {};
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int i = 0; i < repetitions; ++i) {
        const Times t = RunOnce(command);
        walls.push_back(t.wall);
        cpus.push_back(t.cpu);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

} // namespace

// --due on weekly series against remind on the same, each in its own form.
int SeriesMain(int repetitions, const std::vector<int>& sizes, const QDate& today)
{
    const QString day = today.toString(Qt::ISODate);
    std::printf("medians of %d runs; processor ms (wall ms)\n", repetitions);
    std::printf("%-8s %18s %18s %11s\n", "series", "--due", "remind *7", "due/remind");
    for (int count : sizes) {
        QTemporaryDir dir;
        dir.setAutoRemove(!qEnvironmentVariableIsSet("DW_BENCH_KEEP"));
        const QString folder = dir.path() + QLatin1Char('/');
        const QString program = folder + QStringLiteral("datumswecker");
        const std::vector<Generated> items = Generate(count, today);
        if (!QFile::copy(QStringLiteral(DW_PROGRAM), program) || !WriteSeries(folder, items) ||
            !WriteRemind(folder + QStringLiteral("termine.rem"), items, " *7")) {
            std::fprintf(stderr, "cannot write the generated files\n");
            return 2;
        }
        const Times due = Median({program, QStringLiteral("--due")}, repetitions);
        const Times remind = Median({QStringLiteral("remind"), QStringLiteral("-q"), QStringLiteral("-aa"),
                                     QStringLiteral("-h"), folder + QStringLiteral("termine.rem"),
                                     day + QStringLiteral("@12:00")},
                                    repetitions);
        const auto cell = [](const Times& t) {
            return QStringLiteral("%1 (%2)").arg(t.cpu, 0, 'f', 2).arg(t.wall, 0, 'f', 1).toStdString();
        };
        std::printf("%-8d %18s %18s %11.3f\n", count, cell(due).c_str(), cell(remind).c_str(),
                    due.cpu / remind.cpu);
        std::fflush(stdout);
    }
    return 0;
}

int main(int argc, char** argv)
{
    const bool series = argc > 1 && std::strcmp(argv[1], "--series") == 0;
    if (series) {
        --argc;
        ++argv;
    }
    int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = series ? std::vector<int>{1000} : std::vector<int>{1000, 10000, 100000};

    const QDate today = QDate::currentDate();
    if (series)
        return SeriesMain(repetitions, sizes, today);
    const QString day = today.toString(Qt::ISODate);
    // Processor time (user and system) decides: on a busy machine the wall time
    // mostly measures the wait for a processor. Wall times follow in brackets.
    std::printf("medians of %d runs; processor ms (wall ms)\n", repetitions);
    std::printf("%-8s %18s %18s %18s %18s %11s %11s %11s\n", "count", "--due", "--agenda", "remind",
                "calcurse", "due/remind", "due/calc", "agenda/calc");
    for (int count : sizes) {
        QTemporaryDir dir;
        // DW_BENCH_KEEP=1 leaves the generated folders behind for a closer look.
        dir.setAutoRemove(!qEnvironmentVariableIsSet("DW_BENCH_KEEP"));
        const QString folder = dir.path() + QLatin1Char('/');
        // The program keeps its data beside itself: a copy of it goes with the data.
        const QString program = folder + QStringLiteral("datumswecker");
        if (!QFile::copy(QStringLiteral(DW_PROGRAM), program)) {
            std::fprintf(stderr, "cannot copy %s\n", DW_PROGRAM);
            return 2;
        }
        const std::vector<Generated> items = Generate(count, today);
        if (!WriteStore(folder + QStringLiteral("termine.dat"), items) ||
            !WriteRemind(folder + QStringLiteral("termine.rem"), items) ||
            !WriteCalcurse(folder + QStringLiteral("calcurse"), items)) {
            std::fprintf(stderr, "cannot write the generated files\n");
            return 2;
        }
        QDir().mkpath(folder + QStringLiteral("calcurse-conf"));
        const Times due = Median({program, QStringLiteral("--due")}, repetitions);
        const Times agenda =
            Median({program, QStringLiteral("--agenda"), day, QStringLiteral("--days"), QStringLiteral("1")},
                   repetitions);
        const Times remind = Median({QStringLiteral("remind"), QStringLiteral("-q"), QStringLiteral("-aa"),
                                     QStringLiteral("-h"), folder + QStringLiteral("termine.rem"),
                                     day + QStringLiteral("@12:00")},
                                    repetitions);
        const QString range =
            CalcurseDate(today) + QStringLiteral(" 00:00,") + CalcurseDate(today) + QStringLiteral(" 23:59");
        const Times calcurse =
            Median({QStringLiteral("calcurse"), QStringLiteral("-D"), folder + QStringLiteral("calcurse"),
                    QStringLiteral("-C"), folder + QStringLiteral("calcurse-conf"), QStringLiteral("-Q"),
                    QStringLiteral("--from"), CalcurseDate(today), QStringLiteral("--filter-type"),
                    QStringLiteral("apt"), QStringLiteral("--filter-start-range"), range},
                   repetitions);
        const auto cell = [](const Times& t) {
            return QStringLiteral("%1 (%2)").arg(t.cpu, 0, 'f', 1).arg(t.wall, 0, 'f', 1).toStdString();
        };
        std::printf("%-8d %18s %18s %18s %18s %11.3f %11.4f %11.4f\n", count, cell(due).c_str(),
                    cell(agenda).c_str(), cell(remind).c_str(), cell(calcurse).c_str(), due.cpu / remind.cpu,
                    due.cpu / calcurse.cpu, agenda.cpu / calcurse.cpu);
        std::fflush(stdout);
    }
    return 0;
}
