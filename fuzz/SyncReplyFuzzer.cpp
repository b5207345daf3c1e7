// Serves arbitrary bytes as a CalDAV server's replies to a whole sync pass:
// the engine discovers, lists, fetches, merges and uploads through a transport
// that answers each PROPFIND and REPORT with the input's next part (parts are
// split at a line "@@"; one that begins with three digits and a space carries
// its own status, the others are a 207), every PUT with 201 and every DELETE
// with 204. Besides crashes, leaks and undefined behaviour it checks that the
// pass ends within its budget, that no request leaves the origin set up or the
// calendar, and that nothing is half merged: the state file written last
// finds each of its appointments in termine.dat as saved last.
#include "FuzzBounds.h"
#include "RoundTrip.h"

#include "sync/Origin.h"
#include "sync/SyncEngine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace fuzzing;
using namespace dw::sync;

namespace {

const QUrl Calendar(QStringLiteral("http://127.0.0.1:5232/anna/kalender/"));

class FuzzTransport : public Transport
{
public:
    explicit FuzzTransport(std::vector<QByteArray> replies) : m_replies(std::move(replies)) {}
    void setCredentials(const QString&, const QString&) override {}
    void setOrigin(const QUrl& origin) override { m_origin = origin; }
    void trustCertificate(const QByteArray&) override {}
    void send(const HttpRequest& request, std::function<void(const HttpReply&)> done) override
    {
        // The engine itself never asks another origin, nor for a path outside the calendar
        // (discovery asks the calendar's own address, which is the account's).
        Require(SameOrigin(request.url, m_origin) && SameOrigin(request.url, Calendar));
        if (request.method == "PUT" || request.method == "DELETE")
            Require(PlaceOf(Calendar, request.url.path()).kind == HrefPlace::Inside);
        HttpReply reply;
        if (request.method == "PUT" || request.method == "DELETE") {
            reply.status = request.method == "PUT" ? 201 : 204;
            reply.etag = "\"neu\"";
        } else if (m_next < m_replies.size()) {
            reply.body = m_replies[m_next++];
            reply.status = 207;
            if (reply.body.size() >= 4 && reply.body[3] == ' ' && std::isdigit(reply.body[0]) &&
                std::isdigit(reply.body[1]) && std::isdigit(reply.body[2])) {
                reply.status = reply.body.left(3).toInt();
                reply.body.remove(0, 4);
            }
        } else {
            reply.failure = HttpReply::Failure::Unreachable;
        }
        // Cut off where the engine's bound says, as the network plugin does.
        if (reply.body.size() > request.maxBytes) {
            reply.body.clear();
            reply.failure = HttpReply::Failure::TooLarge;
        }
        QTimer::singleShot(0, &m_alive, [this, generation = m_generation, done, reply] {
            if (generation == m_generation)
                done(reply);
        });
    }
    void cancelAll() override { ++m_generation; }

private:
    std::vector<QByteArray> m_replies;
    std::size_t m_next = 0;
    QUrl m_origin;
    unsigned m_generation = 0; // answers of requests sent before a cancel are dropped
    QObject m_alive;           // answers not yet given go with it
};

std::vector<QByteArray> Parts(const QByteArray& input)
{
    std::vector<QByteArray> parts;
    for (qsizetype from = 0;;) {
        const qsizetype at = input.indexOf("\n@@\n", from);
        parts.push_back(input.mid(from, at < 0 ? -1 : at - from));
        if (at < 0)
            return parts;
        from = at + 4;
    }
}

// Where each appointment of termine.dat stood when it was saved, and what it held.
struct Saved
{
    QDate day;
    int index;
    std::uint64_t fingerprint;
};

std::vector<Saved> Snapshot(CalendarGrid& grid)
{
    std::vector<Saved> saved;
    for (int p = grid.NextFilledDay(0); p < CalendarGrid::TotalDays; p = grid.NextFilledDay(p + 1)) {
        const QDate day = QDate(CalendarGrid::FirstYear, 1, 1).addDays(p);
        const DayList& list = grid.Day(day.year(), day.month(), day.day());
        for (std::uint32_t i = 0; i < list.count(); ++i)
            saved.push_back(
                {day, static_cast<int>(i), Fingerprint(day, *list.at(static_cast<std::int32_t>(i)))});
    }
    return saved;
}

QTemporaryDir* Folder = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    new QCoreApplication(*argc, *argv);
    Folder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CalendarGrid& grid = Grid(0);
    // Only the days the last input filled: the whole century would cost more than most passes.
    std::vector<int> filled;
    for (int p = grid.NextFilledDay(0); p < CalendarGrid::TotalDays; p = grid.NextFilledDay(p + 1))
        filled.push_back(p);
    for (int p : filled)
        EmptyDays(grid, {p, p + 1});
    Appointment* before = grid.NewAppointment(2030, 5, 1);
    Require(before && ReplaceText(before->Name, "Vorher"));
    const QString folder = Folder->path() + QLatin1Char('/');
    QFile::remove(SyncStatePath(folder));

    dw::ical::Bounds bounds = Smaller(PassBounds(5.0), 2.0);
    bounds.inputBytes = 1 << 20;
    bounds.lineBytes = 16 << 10;

    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::vector<Saved> saved = Snapshot(grid);
    {
        SyncEngine engine(grid, folder, std::make_unique<FuzzTransport>(Parts(input)));
        engine.saveStore = [&] {
            saved = Snapshot(grid);
            return true;
        };
        engine.setAccount({Calendar, QStringLiteral("anna"), QStringLiteral("pw"), {}, bounds});
        QEventLoop loop;
        bool ended = false;
        QObject::connect(&engine, &SyncEngine::finished, &loop, [&] {
            ended = true;
            loop.quit();
        });
        // Past its deadline and a margin the pass has overrun its budget: a finding.
        QTimer::singleShot(static_cast<int>(bounds.wallSeconds * 1000) + 2000, &loop, &QEventLoop::quit);
        engine.start();
        if (!ended)
            loop.exec();
        Require(ended);
    }

    // The state file as the next pass reads it: every tie to an appointment here
    // finds it where termine.dat, saved before the state, has it.
    SyncState state;
    Require(state.load(SyncStatePath(folder)));
    for (const Tie& t : state.ties) {
        Require(PlaceOf(Calendar, t.href).kind == HrefPlace::Inside);
        if (!t.day.isValid())
            continue;
        bool found = false;
        for (const Saved& s : saved)
            found = found || (s.day == t.day && s.index == t.index && s.fingerprint == t.seen);
        Require(found);
    }
    for (auto it = state.resources.cbegin(); it != state.resources.cend(); ++it)
        Require(PlaceOf(Calendar, it.key()).kind == HrefPlace::Inside);
    return 0;
}
