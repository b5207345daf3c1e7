// The keyboard and a screen reader's view of the real program under X with the
// accessibility bus: Tab reaches every enabled control of each page and dialog
// in the order they stand on screen, and each control it reaches has a name.
#include "AtSpi.h"
#include "XSession.h"

#include "store/DataFile.h"
#include "tests/store/StoreTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

using namespace dwtest;
using namespace dwtest::atspi;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");
const QString ReminderTitle = QStringLiteral("Terminerinnerung");

// A control whose items (rows, tabs) are its own: the focus is the control's.
bool HoldsItems(const QString& role)
{
    return HoldsRows(role) || role == QLatin1String("page tab list");
}

// What a screen reader finds in a window of the program.
class ScreenReader
{
public:
    explicit ScreenReader(const Session& session)
        : m_bus(QDBusConnection::connectToBus(session.accessibilityBusAddress(),
                                              QStringLiteral("screen reader")))
    {
    }

    std::optional<Node> window(const QString& title) { return ShownWindow(m_bus, title); }

    // The window's shown objects in all these states, outermost first: {Focusable, Enabled} are its
    // controls, {Focused} those that report the focus.
    QList<Node> having(const Node& window, std::initializer_list<int> states)
    {
        QList<Node> found;
        WalkShown(m_bus, window, [&](const Node& node) {
            if (std::all_of(states.begin(), states.end(),
                            [&](int state) { return HasState(m_bus, node, state); }))
                found << node;
            return !HoldsItems(RoleName(m_bus, node));
        });
        return found;
    }

    // The one of them that takes the keys: a focus proxy reports the focus too, both
    // inward (a tab widget for its tab bar) and outward (a text box's inner area).
    std::optional<Node> focused(const Node& window)
    {
        std::optional<Node> found;
        for (const Node& node : having(window, {Focused}))
            if (HasState(m_bus, node, Focusable))
                found = node;
        return found;
    }

    // Waits until the focus is on a control other than `previous`.
    std::optional<Node> focusMovedFrom(const Node& window, const std::optional<Node>& previous)
    {
        std::optional<Node> now;
        PollUntil(
            [&] {
                now = focused(window);
                return now && now != previous;
            },
            5000);
        return now != previous ? now : std::nullopt;
    }

    QDBusConnection& bus() { return m_bus; }
    QString name(const Node& node) { return Property(m_bus, node, QStringLiteral("Name")).toString(); }
    std::string describe(const Node& node)
    {
        return (RoleName(m_bus, node) + QStringLiteral(" '") + name(node) + QStringLiteral("' at ") +
                QString::number(Extents(m_bus, node).x()) + u',' + QString::number(Extents(m_bus, node).y()))
            .toStdString();
    }

private:
    QDBusConnection m_bus;
};

class ProgramAccess : public RealProgramTest
{
protected:
    static void SetUpTestSuite()
    {
        RealProgramTest::SetUpTestSuite();
        Need("no accessibility bus", [](XSession& x) { return x.startAccessibilityBus(); });
    }

    // Tabs round the window once from where the focus is: the names of the
    // controls in the order Tab reached them. Fails on a control that Tab does
    // not reach and on one without a name.
    static QStringList TabRound(ScreenReader& reader, const QString& title)
    {
        const std::optional<Node> window = reader.window(title);
        EXPECT_TRUE(window) << title.toStdString();
        const qulonglong id = x().waitForWindow(title);
        EXPECT_TRUE(window && x().waitForActiveWindow(id)) << title.toStdString();
        if (!window)
            return {};
        QList<Node> reached; // and the controls they are part of
        QList<Node> stops;
        QStringList names;
        std::optional<Node> now = reader.focused(*window);
        while (now && !stops.contains(*now) && stops.size() < 80) {
            stops << *now;
            reached << reader.having(*window, {Focused});
            names << reader.name(*now);
            EXPECT_FALSE(names.last().isEmpty())
                << title.toStdString() << ": no name for " << reader.describe(*now);
            x().key(QStringLiteral("Tab"));
            now = reader.focusMovedFrom(*window, now);
        }
        for (const Node& control : reader.having(*window, {Focusable, Enabled}))
            EXPECT_TRUE(reached.contains(control))
                << title.toStdString() << ": Tab never reaches " << reader.describe(control);
        return names;
    }

    // From a name in a round on, the names as Tab reaches them.
    static QStringList From(const QStringList& round, const QString& first)
    {
        const qsizetype at = round.indexOf(first);
        return at < 0 ? round : round.mid(at) + round.first(at);
    }
};

} // namespace

TEST_F(ProgramAccess, TabReachesEveryControlOfEveryWindowAndEachHasAName)
{
    ProgramRun run(x());
    {
        // One appointment due at the start, and no further check while the test runs.
        std::unique_ptr<CalendarGrid> grid = storetest::NewGrid();
        storetest::Add(*grid, 2024, 3, 15, storetest::Entry().named("Zahnarzt"));
        ScriptedMessageBoxes quiet;
        ASSERT_TRUE(DataFile(run.dataFile()).SaveTermins(*grid, StoredSettings{59, 0, false}));
    }
    run.setNow(QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
    ASSERT_TRUE(run.start());
    ScreenReader reader(x());

    // The reminder opens on its default button, and its texts are its description.
    const std::optional<Node> reminder = reader.window(ReminderTitle);
    ASSERT_TRUE(reminder) << run.output().toStdString();
    EXPECT_TRUE(
        Property(reader.bus(), *reminder, QStringLiteral("Description")).toString().contains("Zahnarzt"));
    const std::optional<Node> start = reader.focusMovedFrom(*reminder, std::nullopt);
    ASSERT_TRUE(start);
    EXPECT_EQ(reader.name(*start), QStringLiteral("Später nochmal"));
    EXPECT_EQ(From(TabRound(reader, ReminderTitle), QStringLiteral("Name"))
                  .join(QStringLiteral("; "))
                  .toStdString(),
              "Name; Beschreibung; Alle abbrechen; Nicht mehr erinnern; Später nochmal");
    x().key(QStringLiteral("alt+s"));
    ASSERT_TRUE(x().waitForWindowGone(ReminderTitle));

    // A new appointment shows the edit pages; then each page of the window in turn, and the about box.
    ASSERT_TRUE(reader.window(MainTitle));
    ASSERT_TRUE(x().waitForActiveWindow(x().waitForWindow(MainTitle)));
    // Each round from its first control on, joined by "; ". A row of tabs is named by the page it shows.
    const std::string calendar =
        "Termine verwalten; Termin hinzufügen; Termine löschen; Eine Ebene nach oben; "
        "Kalender; Termine; ";
    const std::string bottomBar = "; www.norvex.example; Minimieren; Info; Ende";
    const std::string first = "Erste Erinnerung frühenstens: ", then = "Dann erinnern frühenstens aller: ";
    const struct
    {
        const char* keys; // what opens it
        QString title;
        std::string round;
    } windows[] = {
        {"alt+h", MainTitle,
         calendar + "Allgemein; Termin; Zeit: Stunde; Zeit: Minuten; Beschreibung" + bottomBar},
        {"alt+g", MainTitle,
         calendar + "Erinnerung; " + first + "Tage; " + first + "Stunden; " + first + "Minuten vorher; " +
             then + "Tage; " + then + "Stunden; " + then +
             "Minuten; Nichtmehr erinnern; Zurücksetzen auf 'nie'" + bottomBar},
        // Qt names a combo box on Linux by its choice; its label is tied to it as a relation.
        {"alt+k", MainTitle, calendar + "Wiederkehr; nie" + bottomBar},
        {"alt+e", MainTitle,
         "Einstellungen; Auf Termine prüfen aller: Minuten; Sekunden; Jetzt auf Termine prüfen; Minimiert "
         "starten; Beim Anmelden starten; Erinnerungen auch als Mitteilung zeigen; Adresse des "
         "Kalender-Servers; "
         "Benutzername; Passwort; Abgleichen alle: Minuten; Jetzt abgleichen; Letzter Abgleich" +
             bottomBar},
        {"alt+i", QStringLiteral("Info"), "Zur Norvex Homepage; OK"},
    };
    for (const auto& w : windows) {
        x().key(QString::fromLatin1(w.keys));
        const QString start = QString::fromStdString(w.round).section(QStringLiteral("; "), 0, 0);
        EXPECT_EQ(From(TabRound(reader, w.title), start).join(QStringLiteral("; ")).toStdString(), w.round)
            << w.keys;
    }
    x().key(QStringLiteral("alt+o"));
    EXPECT_TRUE(x().waitForWindowGone(QStringLiteral("Info")));
    EXPECT_EQ(run.terminate(SIGTERM), 0);
}
