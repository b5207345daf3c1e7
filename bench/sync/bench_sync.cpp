// Times `datumswecker --sync` beside vdirsyncer syncing the same appointments
// (as .ics files in a folder) with the same kind of server: a Radicale of its
// own for each, started afresh. Both run as processes, started the same way.
// Two runs each: the first upload of `upload` appointments then a sync with
// nothing changed; and a first sync of `count` appointments that are on the
// server already (put into its storage folder directly, then taken in by the
// server as if they had come through PUT), then a sync with nothing changed.
// Radicale's own cost of a new event grows with the events it holds, the same
// for both clients, so uploads are measured at a smaller count. Besides, the
// peak memory of our first sync of `count` events against the sync after it,
// which has the same appointments loaded from termine.dat.
//
//   bench_sync [count] [upload]     defaults: 10000 and 500
//
// With --hostile it runs --sync against each kind of hostile server of the
// tests instead, every pass bounded to `seconds`, and prints how long each took
// and its peak memory against the bars.
//
//   bench_sync --hostile [seconds]  default: 30

#include "RadicaleServer.h"

#include "core/AppCore.h"
#include "ical/IcalWriter.h"
#include "platform/DateTime.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Wall seconds of one client run, the processor seconds the client and the
// server spent in it, and the client's peak resident memory.
struct Cost
{
    double wall = 0;
    double client = 0;
    double server = 0;
    double peakMb = 0;
    int status = -1; // the client's exit status
};

struct Timing
{
    Cost first;
    Cost again;
    bool ok = true;
};

// The client as a process of its own, its standard input from a pipe; its own
// processor time and peak memory come from wait4.
Cost Run(const dwtest::RadicaleServer* server, const QString& program, const QStringList& args,
         const QByteArray& input, bool& ok)
{
    const double served = server ? server->processorSeconds() : 0.0;
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& a : args)
        words.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
    std::vector<QByteArray> vars;
    for (const QString& v : env.toStringList())
        vars.push_back(v.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& v : vars)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    int in[2];
    if (pipe(in) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    if (spawned == 0 && !input.isEmpty() &&
        write(in[1], input.constData(), static_cast<size_t>(input.size())) < 0)
        ok = false;
    close(in[1]);
    int status = 0;
    rusage usage{};
    const bool waited = spawned == 0 && wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status);
    if (!waited || (server && WEXITSTATUS(status) != 0)) {
        ok = false;
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
    }
    const auto seconds = [](const timeval& v) { return static_cast<double>(v.tv_sec) + v.tv_usec / 1e6; };
    return {static_cast<double>(t.nsecsElapsed()) / 1e9, seconds(usage.ru_utime) + seconds(usage.ru_stime),
            server ? server->processorSeconds() - served : 0.0, static_cast<double>(usage.ru_maxrss) / 1024.0,
            waited ? WEXITSTATUS(status) : -1};
}

// The appointments: over three years, at varying times, each with a name of its own.
void Fill(CalendarGrid& grid, int count)
{
    const QDate first(2030, 1, 1);
    for (int i = 0; i < count; ++i) {
        const QDate day = first.addDays(i % 1095);
        Appointment* a = grid.NewAppointment(day.year(), day.month(), day.day());
        ReplaceText(a->Name, "Termin " + QByteArray::number(i));
        a->TimeOfDay = dw::EncodeTime((i * 7) % 24, (i * 13) % 60);
    }
}

// Every appointment as the .ics file of its own that vdirsyncer keeps.
std::vector<std::pair<QString, QByteArray>> Files(int count)
{
    CalendarGrid grid;
    grid.Build();
    Fill(grid, count);
    std::vector<std::pair<QString, QByteArray>> files;
    grid.ForEachDay([&](int y, int m, int d, const DayList& day) {
        for (std::uint32_t i = 0; i < day.count(); ++i) {
            const QByteArray uid = "bench-" + QByteArray::number(static_cast<qulonglong>(files.size()));
            files.emplace_back(
                QString::fromLatin1(uid) + QStringLiteral(".ics"),
                dw::ical::WriteEvent(*day.at(static_cast<std::int32_t>(i)), QDate(y, m, d), uid, 0.0));
        }
    });
    return files;
}

// As if another client had put them there: the server has taken them in.
void Seed(const dwtest::RadicaleServer& server, int count)
{
    for (const auto& [name, ics] : Files(count))
        server.seed(name, ics);
    if (!server.settle())
        std::fprintf(stderr, "the server did not take in the seeded events\n");
}

// The programs and the plugin as a portable copy: its data folder is the copy's own.
void Install(const QTemporaryDir& dir)
{
    for (const char* file : {"datumswecker", "datumswecker-cli", "datumswecker-sync-net.so"})
        QFile::copy(QStringLiteral(DW_BINARY_DIR "/") + QLatin1String(file),
                    dir.filePath(QLatin1String(file)));
    for (const char* program : {"datumswecker", "datumswecker-cli"})
        QFile::setPermissions(dir.filePath(QLatin1String(program)),
                              QFileDevice::ExeOwner | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

Timing Ours(int count, bool onServer)
{
    Timing t;
    dwtest::RadicaleServer server;
    if (onServer)
        Seed(server, count);
    QTemporaryDir dir;
    Install(dir);
    {
        AppCore core;
        core.Open(dir.path() + QLatin1Char('/'));
        if (!onServer)
            Fill(core.grid(), count);
        core.programSettings().setValue(QStringLiteral("sync/url"), server.calendarUrl());
        core.programSettings().setValue(QStringLiteral("sync/user"), QString::fromLatin1(server.User));
        core.programSettings().sync();
        core.Close();
    }
    const QString program = dir.filePath(QStringLiteral("datumswecker"));
    const QStringList args{QStringLiteral("--sync"), QStringLiteral("--password-stdin")};
    const QByteArray password = QByteArray(server.Password) + '\n';
    t.first = Run(&server, program, args, password, t.ok);
    t.again = Run(&server, program, args, password, t.ok);
    if (server.names().size() != count) {
        std::fprintf(stderr, "ours: %lld events on the server\n",
                     static_cast<long long>(server.names().size()));
        t.ok = false;
    }
    return t;
}

Timing Vdirsyncer(int count, bool onServer)
{
    Timing t;
    dwtest::RadicaleServer server;
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("ics"));
    if (onServer) {
        Seed(server, count);
    } else {
        for (const auto& [name, ics] : Files(count)) {
            QFile file(dir.filePath(QStringLiteral("ics/") + name));
            file.open(QIODevice::WriteOnly);
            file.write(ics);
        }
    }
    QFile config(dir.filePath(QStringLiteral("config")));
    config.open(QIODevice::WriteOnly);
    config.write(
        QStringLiteral("[general]\nstatus_path = \"%1/status/\"\n\n"
                       "[pair bench]\na = \"local\"\nb = \"server\"\ncollections = null\n\n"
                       "[storage local]\ntype = \"filesystem\"\npath = \"%1/ics/\"\nfileext = \".ics\"\n\n"
                       "[storage server]\ntype = \"caldav\"\nurl = \"%2\"\nusername = \"%3\"\n"
                       "password = \"%4\"\n")
            .arg(dir.path(), server.calendarUrl(), QString::fromLatin1(server.User),
                 QString::fromLatin1(server.Password))
            .toUtf8());
    config.close();
    const QStringList base{QStringLiteral("-c"), config.fileName()};
    bool discovered = true;
    Run(&server, QStringLiteral("vdirsyncer"), base + QStringList{QStringLiteral("discover")}, "y\ny\n",
        discovered);
    t.first =
        Run(&server, QStringLiteral("vdirsyncer"), base + QStringList{QStringLiteral("sync")}, {}, t.ok);
    t.again =
        Run(&server, QStringLiteral("vdirsyncer"), base + QStringList{QStringLiteral("sync")}, {}, t.ok);
    if (server.names().size() != count) {
        std::fprintf(stderr, "vdirsyncer: %lld events on the server\n",
                     static_cast<long long>(server.names().size()));
        t.ok = false;
    }
    return t;
}

// Every kind of hostile server of the tests (tests/sync/hostile_dav.py), each
// against a pass of `seconds`: how long --sync took, its processor time and
// peak memory, against the bars (the pass's time plus 5 s, 200 MB).
int Hostile(int seconds)
{
    QTemporaryDir dir;
    Install(dir);
    QProcess server;
    server.start(QStringLiteral("python3"), {QStringLiteral(DW_SOURCE_DIR "/tests/sync/hostile_dav.py"),
                                             dir.filePath(QStringLiteral("log"))});
    while (!server.canReadLine() && server.waitForReadyRead(30000)) {
    }
    const QString port = QString::fromLatin1(server.readLine()).split(QLatin1Char(' ')).value(0);
    {
        AppCore core;
        core.Open(dir.path() + QLatin1Char('/'));
        ReplaceText(core.grid().NewAppointment(2030, 5, 1)->Name, QByteArray("Hier"));
        core.SaveTermins();
        core.Close();
    }
    const QString data = dir.filePath(QStringLiteral("termine.dat"));
    QFile::copy(data, data + QStringLiteral(".vorher"));
    std::printf("| server | exit | wall s | processor s | peak MB | within %d s + 5 s and 200 MB |\n"
                "|---|---|---|---|---|---|\n",
                seconds);
    bool all = true;
    for (const char* mode : {"trickle", "header", "line", "huge", "exceptions", "minutely"}) {
        // Each from the same start: the appointment here, no state of an earlier server.
        QFile::remove(data);
        QFile::copy(data + QStringLiteral(".vorher"), data);
        QFile::remove(dir.filePath(QStringLiteral("datumswecker-sync.state")));
        {
            QSettings ini(dir.filePath(QStringLiteral("datumswecker.ini")), QSettings::IniFormat);
            ini.setValue(QStringLiteral("sync/url"),
                         QStringLiteral("http://127.0.0.1:%1/%2/").arg(port, QLatin1String(mode)));
            ini.setValue(QStringLiteral("sync/user"), QStringLiteral("anna"));
            ini.setValue(QStringLiteral("sync/seconds"), seconds);
        }
        bool ok = true;
        const Cost c = Run(nullptr, dir.filePath(QStringLiteral("datumswecker")),
                           {QStringLiteral("--sync"), QStringLiteral("--password-stdin")}, "geheim\n", ok);
        const bool within = ok && c.wall <= seconds + 5.0 && c.peakMb <= 200.0;
        all = all && within;
        std::printf("| %s | %d | %.2f | %.2f | %.1f | %s |\n", mode, c.status, c.wall, c.client, c.peakMb,
                    within ? "yes" : "**no**");
    }
    server.kill();
    server.waitForFinished();
    return all ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--hostile") == 0)
        return Hostile(argc > 2 ? std::atoi(argv[2]) : 30);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int upload = argc > 2 ? std::atoi(argv[2]) : 500;
    const Timing ours = Ours(upload, false);
    const Timing theirs = Vdirsyncer(upload, false);
    const Timing oursDown = Ours(count, true);
    const Timing theirsDown = Vdirsyncer(count, true);
    // Wall time is what the target is about; the processor seconds show whose work it is.
    std::printf("| what | datumswecker --sync | vdirsyncer sync | ratio | target |\n|---|---|---|---|---|\n");
    const auto row = [](const char* what, int n, const Cost& a, const Cost& b) {
        std::printf("| %s, %d appointments | %.2f s (client %.2f, server %.2f) | %.2f s (client %.2f, server "
                    "%.2f) | %.2f | <= 0.5 |\n",
                    what, n, a.wall, a.client, a.server, b.wall, b.client, b.server, a.wall / b.wall);
    };
    row("first upload", upload, ours.first, theirs.first);
    row("then nothing changed", upload, ours.again, theirs.again);
    row("first sync, all on the server", count, oursDown.first, theirsDown.first);
    row("then nothing changed", count, oursDown.again, theirsDown.again);
    // The same appointments come from the server in the first sync and from termine.dat in the second.
    std::printf(
        "\npeak memory of datumswecker --sync, %d appointments: first sync from the server %.1f MB, "
        "loaded from termine.dat (nothing changed) %.1f MB: %.2fx (target <= 1.2); vdirsyncer %.1f MB and "
        "%.1f MB\n",
        count, oursDown.first.peakMb, oursDown.again.peakMb, oursDown.first.peakMb / oursDown.again.peakMb,
        theirsDown.first.peakMb, theirsDown.again.peakMb);
    return ours.ok && theirs.ok && oursDown.ok && theirsDown.ok ? 0 : 1;
}
