// Times `datumswecker --import` of a generated calendar into an empty store
// beside libical alone parsing the same file into its tree (ical_tree_floor),
// in the same run. Each is started as a process; processor time (user and
// system) and peak resident memory come from wait4, medians of the runs.
//
//   bench_ical_import [repetitions] [events...]     defaults: 5 and 10000 100000
//
// With --hostile it imports calendars of at most 1 MB made to cost without
// bound instead, each against the bar of 5 s of processor time, and shows how
// each ended. --programs=FOLDER takes datumswecker and datumswecker-cli from
// another build (the sanitizers' one).
//
//   bench_ical_import --hostile [--programs=FOLDER] [repetitions]     default: 3

#include "BenchStores.h"
#include "ical/IcalWriter.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
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
    int status = -1; // exit status, -1 when it did not exit
};

// Standard output goes nowhere, standard error to `errors` (or nowhere).
Cost Spawn(const std::vector<QByteArray>& command, const QByteArray& errors = "/dev/null")
{
    std::vector<char*> argv;
    for (const QByteArray& a : command)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, errors.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    int status = 0;
    rusage usage{};
    if (spawned != 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status))
        return {};
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return {ms(usage.ru_utime) + ms(usage.ru_stime), static_cast<double>(usage.ru_maxrss) / 1024.0,
            WEXITSTATUS(status)};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The program and the command-line program it starts, copied into a folder of
// their own: the data folder is beside them.
QString CopyPrograms(const QString& from, const QTemporaryDir& dir)
{
    for (const char* name : {"datumswecker", "datumswecker-cli"}) {
        const QString target = dir.filePath(QLatin1String(name));
        if (!QFile::copy(from + QLatin1Char('/') + QLatin1String(name), target))
            return {};
        QFile::setPermissions(target,
                              QFileDevice::ExeOwner | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    return dir.filePath(QStringLiteral("datumswecker"));
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

QByteArray Calendar(const QByteArray& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//DE\r\n" + body + "END:VCALENDAR\r\n";
}

QByteArray Stamp(const QDateTime& at)
{
    return at.toString(QStringLiteral("yyyyMMdd'T'HHmmss")).toLatin1();
}

QByteArray Events(int count, const std::function<QByteArray(int)>& lines)
{
    QByteArray body;
    for (int i = 0; i < count; ++i)
        body += "BEGIN:VEVENT\r\nUID:" + QByteArray::number(i) + "@bench\r\nDTSTAMP:20240101T000000Z\r\n" +
                lines(i) + "END:VEVENT\r\n";
    return body;
}

// Changed occurrences of `series` daily events: each of the first `changes` occurrences moves an hour.
QByteArray Changed(int series, int changes)
{
    QByteArray body;
    const QDateTime start(QDate(2024, 1, 1), QTime(10, 0));
    for (int s = 0; s < series; ++s) {
        const QByteArray uid = "UID:s" + QByteArray::number(s) + "@bench\r\n";
        body += "BEGIN:VEVENT\r\n" + uid + "DTSTART:" + Stamp(start) +
                "\r\nRRULE:FREQ=DAILY\r\nSUMMARY:Serie\r\n" + "END:VEVENT\r\n";
        for (int c = 0; c < changes; ++c)
            body += "BEGIN:VEVENT\r\n" + uid + "RECURRENCE-ID:" + Stamp(start.addDays(c)) +
                    "\r\nDTSTART:" + Stamp(start.addDays(c).addSecs(3600)) +
                    "\r\nSUMMARY:Serie\r\nEND:VEVENT\r\n";
    }
    return Calendar(body);
}

struct Hostile
{
    const char* what;
    QByteArray file;
};

std::vector<Hostile> HostileCalendars()
{
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0));
    const auto open = [&](const char* rule, bool ownStart, bool ownName) {
        return [=](int i) {
            return "DTSTART:" + Stamp(ownStart ? start.addSecs(60LL * i) : start) + "\r\nRRULE:FREQ=" + rule +
                   "\r\nSUMMARY:Termin" + (ownName ? QByteArray::number(i) : QByteArray()) + "\r\n";
        };
    };
    const auto longLine = [](int) {
        return "DTSTART:20240101T100000\r\nSUMMARY:" + QByteArray(990000, 'a') + "\r\n";
    };
    QByteArray folded = "DTSTART:20240101T100000\r\nSUMMARY:";
    while (folded.size() < 990000)
        folded += QByteArray(73, 'a') + "\r\n ";
    folded += "x\r\n";
    QByteArray rdates = "DTSTART:20240101T000000\r\n";
    for (int i = 0; rdates.size() < 990000; ++i)
        rdates += "RDATE:" + Stamp(start.addSecs(3600LL * i)) + "\r\n";
    return {
        {"300 events, FREQ=MINUTELY", Calendar(Events(300, open("MINUTELY", true, false)))},
        {"300 events of one start, FREQ=MINUTELY", Calendar(Events(300, open("MINUTELY", false, false)))},
        {"240 events of one start, FREQ=MINUTELY, each its name",
         Calendar(Events(240, open("MINUTELY", false, true)))},
        {"300 events of one start, FREQ=MINUTELY, each its name",
         Calendar(Events(300, open("MINUTELY", false, true)))},
        {"1,000 daily events", Calendar(Events(1000, open("DAILY", true, false)))},
        {"1,000 daily events of one start, each its name",
         Calendar(Events(1000, open("DAILY", false, true)))},
        {"3,000 changed occurrences of one event", Changed(1, 3000)},
        {"6 events with 1,000 changed occurrences each", Changed(6, 1000)},
        {"one line of 1 MB", Calendar(Events(1, longLine))},
        {"one line of 1 MB in 13,000 folds", Calendar(Events(1, [&](int) { return folded; }))},
        {"one event with 40,000 RDATEs", Calendar(Events(1, [&](int) { return rdates; }))},
        {"3,500 ordinary events (an export)", dw::ical::WriteCalendar(*MakeGrid(3500), 45000.5)},
    };
}

// The first line of what the program said, cut short.
QString Said(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString line = QString::fromUtf8(file.readLine()).trimmed();
    const qsizetype colon = line.indexOf(QLatin1String(": "));
    if (line.startsWith(QLatin1Char('/')) && colon > 0)
        line = line.mid(colon + 2); // the file's name
    return line.size() > 110 ? line.left(110) + QChar(0x2026) : line;
}

int RunHostile(const QString& programs, int repetitions)
{
    std::printf("medians of %d runs of --import (programs from %s) beside libical's tree of the same file\n",
                repetitions, qPrintable(programs));
    std::printf("%-54s %8s %12s %10s %7s %6s  %s\n", "calendar", "file", "--import s", "libical s", "status",
                "<= 5 s", "what it said");
    bool allMet = true;
    for (const Hostile& h : HostileCalendars()) {
        QTemporaryDir dir;
        const QString program = CopyPrograms(programs, dir);
        const QString ics = dir.filePath(QStringLiteral("hostile.ics"));
        const QString said = dir.filePath(QStringLiteral("said.txt"));
        if (program.isEmpty() || !Write(ics, h.file)) {
            std::fprintf(stderr, "cannot prepare %s\n", qPrintable(dir.path()));
            return 2;
        }
        std::vector<double> ours, floor;
        int status = -1;
        for (int run = 0; run < repetitions; ++run) {
            QFile::remove(dir.filePath(QStringLiteral("termine.dat")));
            const Cost import = Spawn({QFile::encodeName(program), "--import", QFile::encodeName(ics)},
                                      QFile::encodeName(said));
            const Cost base = Spawn({DW_FLOOR, QFile::encodeName(ics)});
            ours.push_back(import.cpu / 1e3);
            floor.push_back(base.cpu / 1e3);
            status = import.status;
        }
        const bool met = status >= 0 && Median(ours) <= 5.0;
        allMet = allMet && met;
        std::printf("%-54s %6.2fMB %12.2f %10.2f %7d %6s  %s\n", h.what,
                    static_cast<double>(h.file.size()) / 1e6, Median(ours), Median(floor), status,
                    met ? "met" : "NOT", qPrintable(Said(said)));
    }
    return allMet ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--hostile") == 0) {
        QString programs = QStringLiteral(DW_BINARY_DIR);
        int repetitions = 3;
        for (int i = 2; i < argc; ++i) {
            const QString a = QString::fromLocal8Bit(argv[i]);
            if (a.startsWith(QLatin1String("--programs=")))
                programs = QDir(a.mid(11)).absolutePath();
            else
                repetitions = std::max(1, a.toInt());
        }
        return RunHostile(programs, repetitions);
    }
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
        const QString program = CopyPrograms(QStringLiteral(DW_BINARY_DIR), dir);
        const QString ics = dir.filePath(QStringLiteral("termine.ics"));
        if (program.isEmpty() || !Write(ics, dw::ical::WriteCalendar(*MakeGrid(count), 45000.5))) {
            std::fprintf(stderr, "cannot prepare %s\n", qPrintable(dir.path()));
            return 2;
        }
        const std::vector<QByteArray> import{QFile::encodeName(program), "--import", QFile::encodeName(ics)};
        const std::vector<QByteArray> floor{DW_FLOOR, QFile::encodeName(ics)};
        std::vector<double> importCpu, importRss, floorCpu, floorRss;
        for (int run = 0; run <= repetitions; ++run) {
            QFile::remove(dir.filePath(QStringLiteral("termine.dat")));
            const Cost ours = Spawn(import);
            const Cost base = Spawn(floor);
            if (ours.status != 0 || base.status != 0) {
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
