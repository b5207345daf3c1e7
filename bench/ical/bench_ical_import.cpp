// Times `datumswecker --import` of a generated calendar into an empty store
// beside libical alone parsing the same file into its tree (ical_tree_floor),
// in the same run. Each is started as a process; processor time (user and
// system) and peak resident memory come from wait4, medians of the runs.
//
//   bench_ical_import [repetitions] [events...]     defaults: 5 and 10000 100000

#include "BenchStores.h"
#include "ical/IcalWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct Cost
{
    double cpu = -1; // ms of user and system time
    double rssMb = -1;
};

Cost Spawn(const std::vector<QByteArray>& command)
{
    std::vector<char*> argv;
    for (const QByteArray& a : command)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    int status = 0;
    rusage usage{};
    if (spawned != 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return {ms(usage.ru_utime) + ms(usage.ru_stime), static_cast<double>(usage.ru_maxrss) / 1024.0};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {10000, 100000};
    std::printf("medians of %d runs, after one that warms the caches\n", repetitions);
    std::printf("%-8s %8s %22s %22s %10s\n", "events", "file", "--import ms, MB", "libical tree ms, MB",
                "time ratio");
    for (const int count : sizes) {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("datumswecker"));
        const QString ics = dir.filePath(QStringLiteral("termine.ics"));
        QFile out(ics);
        if (!QFile::copy(QStringLiteral(DW_PROGRAM), program) || !out.open(QIODevice::WriteOnly) ||
            out.write(dw::ical::WriteCalendar(*MakeGrid(count), 45000.5)) <= 0) {
            std::fprintf(stderr, "cannot prepare %s\n", qPrintable(dir.path()));
            return 2;
        }
        out.close();
        const std::vector<QByteArray> import{QFile::encodeName(program), "--import", QFile::encodeName(ics)};
        const std::vector<QByteArray> floor{DW_FLOOR, QFile::encodeName(ics)};
        std::vector<double> importCpu, importRss, floorCpu, floorRss;
        for (int run = 0; run <= repetitions; ++run) {
            QFile::remove(dir.filePath(QStringLiteral("termine.dat")));
            const Cost ours = Spawn(import);
            const Cost base = Spawn(floor);
            if (ours.cpu < 0 || base.cpu < 0) {
                std::fprintf(stderr, "a run failed\n");
                return 2;
            }
            if (run == 0)
                continue;
            importCpu.push_back(ours.cpu);
            importRss.push_back(ours.rssMb);
            floorCpu.push_back(base.cpu);
            floorRss.push_back(base.rssMb);
        }
        std::printf("%-8d %6.1fMB %14.0f, %5.1f %14.0f, %5.1f %10.2f\n", count,
                    static_cast<double>(QFileInfo(ics).size()) / 1e6, Median(importCpu), Median(importRss),
                    Median(floorCpu), Median(floorRss), Median(importCpu) / Median(floorCpu));
    }
    return 0;
}
