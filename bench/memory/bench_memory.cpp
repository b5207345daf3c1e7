// The resident memory of the real program holding each store, against a bare Qt
// window built from the same kinds of widgets, in the same run. Every figure
// comes from a process of its own (so one run cannot leave memory to the next)
// on a private X display with a notification-area host, as on a desktop.
//
//   bench_memory [--program=PATH] [--offscreen] [benchmark options]
//
// PATH is the program to measure (default: the one built beside this
// benchmark), so an older build can be measured against the same baseline.
#include "BenchStores.h"
#include "series/SeriesWriter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

// ---- the bare window (runs in a child process) ----

QWidget* Column(QWidget* parent, const std::vector<QWidget*>& widgets)
{
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    for (QWidget* w : widgets)
        layout->addWidget(w);
    return box;
}

int RunBareWindow(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto* tabs = new QTabWidget(&window);

    auto* splitter = new QSplitter(tabs);
    auto* tree = new QTreeView(splitter);
    tree->setModel(new QStandardItemModel(tree));
    std::vector<QWidget*> fields{new QTreeWidget, new QLineEdit, new QPlainTextEdit, new QCheckBox};
    for (int i = 0; i < 8; ++i)
        fields.push_back(new QSpinBox);
    for (int i = 0; i < 14; ++i)
        fields.push_back(new QLabel(QStringLiteral("Beschriftung")));
    for (int i = 0; i < 4; ++i)
        fields.push_back(new QPushButton(QStringLiteral("Knopf")));
    splitter->addWidget(Column(splitter, fields));
    tabs->addTab(splitter, QStringLiteral("Kalender"));

    std::vector<QWidget*> settings{new QSpinBox,
                                   new QSpinBox,
                                   new QCheckBox,
                                   new QToolButton,
                                   new QPushButton(QStringLiteral("Beenden")),
                                   new QPushButton(QStringLiteral("Minimieren"))};
    for (int i = 0; i < 5; ++i)
        settings.push_back(new QLabel(QStringLiteral("Einstellung")));
    tabs->addTab(Column(tabs, settings), QStringLiteral("Einstellungen"));
    window.setCentralWidget(tabs);
    window.setStatusBar(new QStatusBar);

    // The hidden reminder dialog.
    QDialog dialog;
    auto* dialogLayout = new QVBoxLayout(&dialog);
    for (QWidget* w : std::vector<QWidget*>{
             new QLineEdit, new QPlainTextEdit, new QPushButton(QStringLiteral("Ja")),
             new QPushButton(QStringLiteral("Ignorieren")), new QPushButton(QStringLiteral("Abbrechen"))})
        dialogLayout->addWidget(w);

    QPixmap icon(16, 16);
    icon.fill(Qt::darkBlue);
    QSystemTrayIcon tray{QIcon(icon)};
    tray.show();
    window.resize(640, 480);
    window.show();
    return app.exec();
}

// ---- the measuring side ----

QString g_program;
bool g_offscreen = false;

// A private X server with a notification-area host for the whole run.
struct XDisplay
{
    QProcess xvfb;
    QProcess trayer;
    QString name;
    QTemporaryDir runtime; // private to its owner, as a session's runtime folder is

    bool Start()
    {
        xvfb.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp")});
        if (!xvfb.waitForStarted(5000))
            return false;
        QByteArray number;
        QElapsedTimer t;
        t.start();
        while (!number.contains('\n') && t.elapsed() < 10000 && xvfb.state() == QProcess::Running) {
            xvfb.waitForReadyRead(200);
            number += xvfb.readAllStandardOutput();
        }
        if (!number.contains('\n'))
            return false;
        name = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
        trayer.setProcessEnvironment(Environment());
        trayer.start(QStringLiteral("trayer"), {QStringLiteral("--SetDockType"), QStringLiteral("true")});
        trayer.waitForStarted(5000);
        QThread::msleep(1000); // the tray selection is owned before the first child starts
        return true;
    }
    ~XDisplay()
    {
        for (QProcess* p : {&trayer, &xvfb})
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(3000))
                    p->kill();
                p->waitForFinished(1000);
            }
    }
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        if (!env.contains(QStringLiteral("XDG_RUNTIME_DIR")))
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        if (name.isEmpty()) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        } else {
            env.insert(QStringLiteral("DISPLAY"), name);
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        }
        return env;
    }
};

XDisplay* g_display = nullptr;

double ResidentMB(qint64 pid)
{
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return 0;
    return fields[1].toDouble() * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Starts the program, waits until it is up and its resident set has settled
// (at least 4 s, as a user would find it), reads it and ends the program.
double MeasureOnce(const QString& program, const QStringList& args, const QString& folder)
{
    QProcess child;
    child.setProcessEnvironment(g_display->Environment());
    child.setWorkingDirectory(folder);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, args);
    if (!child.waitForStarted(10000))
        return 0;
    QElapsedTimer t;
    t.start();
    double last = 0;
    double settled = 0;
    while (t.elapsed() < 30000 && child.state() == QProcess::Running) {
        QThread::msleep(500);
        const double now = ResidentMB(child.processId());
        if (t.elapsed() >= 4000 && now > 0 && std::abs(now - last) < 0.05) {
            settled = now;
            break;
        }
        last = now;
    }
    child.terminate();
    if (!child.waitForFinished(15000))
        child.kill();
    child.waitForFinished(2000);
    return settled;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

constexpr int Runs = 3;
double g_bare = 0;

void BM_BareWindow(benchmark::State& state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        std::vector<double> runs;
        for (int i = 0; i < Runs; ++i)
            runs.push_back(MeasureOnce(QCoreApplication::applicationFilePath(),
                                       {QStringLiteral("--bare-window")}, dir.path()));
        g_bare = Median(runs);
    }
    state.counters["resident_MB"] = g_bare;
    state.counters["x_bare"] = 1.0;
}
BENCHMARK(BM_BareWindow)->Iterations(1)->Unit(benchmark::kSecond);

// Arguments: appointments, spread, 1 = with a data file (0: the program starts
// without one), open weekly series beside it (a lead of 0, so none reminds at the start).
void BM_Program(benchmark::State& state)
{
    const int appointments = static_cast<int>(state.range(0));
    const int spread = static_cast<int>(state.range(1));
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("datumswecker"));
    // The program keeps termine.dat beside itself.
    if (!QFile::copy(g_program, program)) {
        state.SkipWithError("program not found");
        return;
    }
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    const QByteArray bytes = Bytes(*MakeGrid(appointments, spread));
    const std::string series =
        state.range(3) > 0 ? dw::series::WriteSeriesFile(MakeSeries(static_cast<int>(state.range(3)), 0.0))
                           : std::string();
    if (!series.empty()) {
        QFile file(dir.filePath(QStringLiteral("datumswecker-serien.ics")));
        file.open(QIODevice::WriteOnly);
        file.write(series.data(), static_cast<qint64>(series.size()));
    }
    std::vector<double> runs;
    for (auto _ : state) {
        for (int i = 0; i < Runs; ++i) {
            // Every run starts from the same file (the program saves when it ends).
            QFile file(dir.filePath(QStringLiteral("termine.dat")));
            if (state.range(2) != 0) {
                file.open(QIODevice::WriteOnly | QIODevice::Truncate);
                file.write(bytes);
                file.close();
            } else {
                file.remove();
            }
            runs.push_back(MeasureOnce(program, {}, dir.path()));
        }
    }
    const double resident = Median(runs);
    state.counters["resident_MB"] = resident;
    state.counters["file_MB"] = appointments > 0 ? bytes.size() / (1024.0 * 1024.0) : 0.0;
    state.counters["x_bare"] = g_bare > 0 ? resident / g_bare : 0.0;
}
BENCHMARK(BM_Program)
    ->Args({0, RandomDays, 0, 0})
    ->Args({0, RandomDays, 1, 0})
    ->Args({0, RandomDays, 1, 1000})
    ->Args({10000, TenADay, 1, 0})
    ->Args({10000, RandomDays, 1, 0})
    ->Args({100000, RandomDays, 1, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--bare-window") == 0)
        return RunBareWindow(argc, argv);
    g_program = QStringLiteral(DW_PROGRAM);
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--program=", 10) == 0)
            g_program = QString::fromLocal8Bit(argv[i] + 10);
        else if (std::strcmp(argv[i], "--offscreen") == 0)
            g_offscreen = true;
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    QCoreApplication app(restCount, rest.data());
    benchmark::Initialize(&restCount, rest.data());
    XDisplay display;
    if (!g_offscreen && !display.Start()) {
        std::fprintf(stderr, "no X server (Xvfb); measuring on the offscreen platform\n");
        display.name.clear();
    }
    g_display = &display;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
