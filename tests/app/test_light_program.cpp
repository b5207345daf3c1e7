// The datumswecker command loads only what an option uses: the reading options
// no Qt at all, the export QtCore and libical but nothing of the window.
#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The libraries the dynamic loader looked for while the program ran, as LD_DEBUG=libs reports them.
QStringList LoadedLibraries(const QString& folder, const QStringList& args, int& status)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("libs"));
    env.insert(QStringLiteral("DATUMSWECKER_TEST_NOW"), QStringLiteral("2030-12-20T12:00:00"));
    p.setProcessEnvironment(env);
    p.start(folder + QStringLiteral("/datumswecker"), args);
    if (!p.waitForFinished(30000))
        return {};
    status = p.exitCode();
    QStringList found;
    for (const QByteArray& line : p.readAllStandardError().split('\n'))
        if (const qsizetype at = line.indexOf("find library="); at >= 0)
            found << QString::fromUtf8(line.mid(at + 13).split(' ').front());
    return found;
}

TEST(LightProgram, EachOptionLoadsOnlyTheLibrariesItUses)
{
    QTemporaryDir dir;
    for (const QString& name : {QStringLiteral("datumswecker"), QStringLiteral("datumswecker-window"),
                                QStringLiteral("datumswecker-cli")})
        ASSERT_TRUE(QFile::copy(dwtest::BinaryDir() + QLatin1Char('/') + name, dir.filePath(name)))
            << qPrintable(name);
    // A series in floating time is read here; one in a zone only libical
    // knows is handed to the command line's Qt side.
    struct Case
    {
        QStringList args;
        int status;
        bool qtCore;
        const char* seriesStart = nullptr;
    } cases[] = {
        {{"--due"}, 1, false},
        {{"--agenda", "2030-12-24", "--json"}, 0, false},
        {{"--help"}, 0, false},
        {{"--agenda", "--bogus"}, 2, false},
        {{"--export", "-"}, 0, true},
        {{"--agenda", "2030-12-24"}, 0, false, "DTSTART:20301224T100000"},
        {{"--agenda", "2030-12-24"}, 0, true, "DTSTART;TZID=America/New_York:20301224T100000"},
    };
    for (const Case& c : cases) {
        QFile series(dir.filePath(QStringLiteral("datumswecker-serien.ics")));
        series.remove();
        if (c.seriesStart && series.open(QIODevice::WriteOnly))
            series.write(QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:s\r\n") + c.seriesStart +
                         "\r\nRRULE:FREQ=DAILY\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        series.close();
        int status = -1;
        const QStringList libraries = LoadedLibraries(dir.path(), c.args, status);
        const QString shown = c.args.join(' ') + QStringLiteral(": ") + libraries.join(' ');
        EXPECT_EQ(status, c.status) << qPrintable(shown);
        EXPECT_TRUE(libraries.contains(QStringLiteral("libc.so.6"))) << qPrintable(shown);
        EXPECT_EQ(libraries.contains(QStringLiteral("libQt6Core.so.6")), c.qtCore) << qPrintable(shown);
        EXPECT_EQ(libraries.contains(QStringLiteral("libical.so.3")), c.qtCore) << qPrintable(shown);
        for (const char* window : {"libQt6Gui", "libQt6Widgets", "libQt6DBus"})
            EXPECT_FALSE(libraries.join(' ').contains(QLatin1String(window))) << qPrintable(shown);
    }
}

} // namespace
