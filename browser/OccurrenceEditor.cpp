#include "browser/OccurrenceEditor.h"

#include "browser/RepeatPage.h"
#include "platform/Ansi.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/RegionalFormats.h"
#include "series/Instances.h"
#include "series/SeriesEdit.h"
#include "series/SeriesSet.h"
#include "store/CalendarGrid.h"

#include <QApplication>
#include <QStyle>
#include <QTreeWidgetItem>

#include <cmath>

using namespace dw::series;

namespace {

std::string Std(const QByteArray& bytes)
{
    return bytes.toStdString();
}

QByteArray Bytes(const std::string& text)
{
    return QByteArray::fromStdString(text);
}

int SecondOf(double timeOfDay)
{
    return static_cast<int>(std::llround(timeOfDay * DaySeconds)) % DaySeconds;
}

Wall StampNow()
{
    return LocalToUtc(static_cast<Wall>(std::floor(dw::Now() * DaySeconds)));
}

QDate DateOfDay(std::int64_t day)
{
    return dw::ToQDate(static_cast<double>(day));
}

// The local day of one occurrence of a series.
std::int64_t LocalDay(const Series& s, Wall own)
{
    return DayOf(ToLocal(s, own));
}

} // namespace

AppointmentValues AppointmentValues::Of(const Appointment& a)
{
    return {QByteArray(a.Name), QByteArray(a.Description), a.TimeOfDay,
            a.FirstLead,        a.RepeatInterval,          a.LastReminded,
            a.Done != 0};
}

OccurrenceEditor::OccurrenceEditor(CalendarGrid& grid, RepeatPage& page, QObject* parent)
    : QObject(parent), m_grid(grid), m_page(page)
{
    connect(&m_page, &RepeatPage::choiceChanged, this, &OccurrenceEditor::RepeatChosen);
    connect(&m_page, &RepeatPage::untilChanged, this, &OccurrenceEditor::UntilChosen);
}

OccurrenceEditor::~OccurrenceEditor()
{
    FreeTexts(m_view);
}

void OccurrenceEditor::setSeries(SeriesSet* series, std::function<void()> changed)
{
    m_set = series;
    m_changed = std::move(changed);
}

void OccurrenceEditor::setDay(std::optional<DateKey> day, std::vector<OccurrenceRef> rows)
{
    m_day = day;
    m_rows = std::move(rows);
}

void OccurrenceEditor::MarkRow(QTreeWidgetItem* item)
{
    item->setIcon(1, QApplication::style()->standardIcon(QStyle::SP_BrowserReload));
    item->setToolTip(1, tr("Termin einer Serie"));
    item->setData(1, Qt::AccessibleDescriptionRole, tr("Termin einer Serie"));
}

Series* OccurrenceEditor::Find(const OccurrenceRef& ref) const
{
    if (!m_set)
        return nullptr;
    const std::optional<std::size_t> index = m_set->Find(ref.uid);
    return index ? &(*m_set)[*index] : nullptr;
}

Appointment* OccurrenceEditor::Select(int k)
{
    Series* s = k >= 0 && static_cast<std::size_t>(k) < m_rows.size()
                    ? Find(m_rows[static_cast<std::size_t>(k)])
                    : nullptr;
    if (!s) {
        m_selected.reset();
        return nullptr;
    }
    const OccurrenceRef& ref = m_rows[static_cast<std::size_t>(k)];
    if (m_selected != ref)
        m_alone.reset();
    const Exception* exception = FindException(*s, ref.recurrenceId);
    const Fields& fields = exception ? exception->fields : s->fields;
    const ReminderState* state = FindState(*s, ref.recurrenceId);
    FreeTexts(m_view);
    m_view.Name = NewText(Bytes(fields.name));
    m_view.Description = NewText(Bytes(fields.description));
    if (!m_view.Name || !m_view.Description) {
        m_selected.reset();
        return nullptr;
    }
    m_view.TimeOfDay = TimeOfDayOf(ToLocal(*s, exception ? exception->start : ref.recurrenceId));
    m_view.FirstLead = fields.firstLead;
    m_view.RepeatInterval = fields.repeatInterval;
    m_view.LastReminded = state ? state->lastReminded : 0.0;
    m_view.Done = state && state->done ? 1 : 0;
    m_selected = ref;
    return &m_view;
}

bool OccurrenceEditor::Apply(const AppointmentValues& before)
{
    if (!m_selected || !m_day)
        return true;
    const OccurrenceRef ref = *m_selected;
    const AppointmentValues after = AppointmentValues::Of(m_view);
    const bool timeChanged = after.timeOfDay != before.timeOfDay;
    const bool fieldsChanged = after.name != before.name || after.description != before.description ||
                               timeChanged || after.firstLead != before.firstLead ||
                               after.repeatInterval != before.repeatInterval;
    if (fieldsChanged && !m_alone) {
        const int answer = dw::MessageBoxA(
            tr("„%1“ ist ein Termin einer Serie. Soll die Änderung nur für diesen Termin gelten oder "
               "für alle Termine der Serie?")
                .arg(dw::FromAnsi(before.name)),
            tr("Serie ändern"), dw::MB_SERIESCHOICE | dw::MB_ICONQUESTION);
        if (answer != dw::mrYes && answer != dw::mrAll)
            return false;
        m_alone = answer == dw::mrYes;
    }
    // Looked up afresh: the question's loop may have let the series change.
    Series* s = Find(ref);
    if (!s)
        return true;
    if (after.done != before.done || after.lastReminded != before.lastReminded)
        SetState(*s, ref.recurrenceId, after.lastReminded, after.done);
    if (fieldsChanged) {
        const Fields changed{Std(after.name), Std(after.description), after.firstLead, after.repeatInterval};
        // The list shows the occurrence's day; the time typed is local time there.
        const Wall local =
            WallOf(static_cast<std::int64_t>(CalendarGrid::DateOf(m_day->year, m_day->month, m_day->day)),
                   SecondOf(after.timeOfDay));
        if (*m_alone) {
            Exception& e = ExceptionFor(*s, ref.recurrenceId);
            e.fields = changed;
            if (timeChanged)
                e.start = FromLocal(*s, local);
        } else {
            const Fields old = s->fields;
            const Exception* selected = FindException(*s, ref.recurrenceId);
            // Exceptions keep what was changed for them alone; this one takes the change too.
            for (Exception& e : s->exceptions) {
                const bool mine = selected && &e == selected;
                if (mine || e.fields.name == old.name)
                    e.fields.name = changed.name;
                if (mine || e.fields.description == old.description)
                    e.fields.description = changed.description;
                if (mine || e.fields.firstLead == old.firstLead)
                    e.fields.firstLead = changed.firstLead;
                if (mine || e.fields.repeatInterval == old.repeatInterval)
                    e.fields.repeatInterval = changed.repeatInterval;
            }
            s->fields = changed;
            if (timeChanged) {
                const Wall delta = SecondOfDay(FromLocal(*s, local)) - SecondOfDay(s->start);
                SetTimeOfDay(*s, SecondOfDay(s->start) + static_cast<int>(delta));
                for (OccurrenceRef& row : m_rows)
                    if (row.uid == ref.uid)
                        row.recurrenceId += delta;
                m_selected->recurrenceId += delta;
            }
        }
        s->stamp = StampNow();
    }
    // Saved by the save timer, as an appointment's field edits are.
    if (m_changed)
        m_changed();
    return true;
}

std::optional<bool> OccurrenceEditor::AskDeleteAlone()
{
    const int answer = dw::MessageBoxA(
        tr("Die markierten Termine gehören zu einer Serie. Wollen Sie nur diesen Termin oder alle "
           "Termine der Serie unwiderruflich löschen?"),
        tr("Termine löschen"), dw::MB_SERIESCHOICE | dw::MB_ICONQUESTION);
    if (answer != dw::mrYes && answer != dw::mrAll)
        return std::nullopt;
    return answer == dw::mrYes;
}

void OccurrenceEditor::DeleteOccurrences(const std::vector<int>& rows, bool alone)
{
    std::vector<OccurrenceRef> refs;
    for (const int k : rows)
        if (k >= 0 && static_cast<std::size_t>(k) < m_rows.size())
            refs.push_back(m_rows[static_cast<std::size_t>(k)]);
    for (const OccurrenceRef& ref : refs) {
        Series* s = Find(ref);
        if (!s)
            continue;
        if (alone)
            Exclude(*s, ref.recurrenceId);
        else
            std::erase_if(m_set->list(), [&](const Series& other) { return other.uid == ref.uid; });
    }
    m_selected.reset();
    Changed();
}

void OccurrenceEditor::ShowRepeatForAppointment(int index)
{
    m_appointment = index;
    m_page.Show(RepeatChoice::Never, std::nullopt,
                m_day ? QDate(m_day->year, m_day->month, m_day->day) : QDate(),
                m_set ? tr("Ein einzelner Termin.") : tr("Serien sind nicht verfügbar."));
    m_page.setEnabled(m_set != nullptr);
}

void OccurrenceEditor::ShowRepeatForOccurrence(int k)
{
    m_appointment.reset();
    const Series* s = k >= 0 && static_cast<std::size_t>(k) < m_rows.size()
                          ? Find(m_rows[static_cast<std::size_t>(k)])
                          : nullptr;
    if (!s)
        return;
    const std::optional<Wall> last = s->rule ? LastOfRule(*s) : std::nullopt;
    const bool exception = FindException(*s, m_rows[static_cast<std::size_t>(k)].recurrenceId) != nullptr;
    const QString about = tr("Termin einer Serie, seit dem %1%2.")
                              .arg(dw::FormatShortDate(static_cast<double>(LocalDay(*s, s->start))),
                                   exception ? tr(", einzeln geändert") : QString());
    m_page.Show(ChoiceOf(s->rule),
                last && s->rule->simple() && s->rule->until ? std::optional(DateOfDay(LocalDay(*s, *last)))
                                                            : std::nullopt,
                m_day ? QDate(m_day->year, m_day->month, m_day->day) : QDate(), about);
    m_page.setEnabled(true);
}

void OccurrenceEditor::RepeatChosen()
{
    if (!m_set || !m_day)
        return;
    const RepeatChoice choice = m_page.choice();
    if (m_appointment) {
        if (choice != RepeatChoice::Never && choice != RepeatChoice::Other)
            MakeSeries();
    } else if (m_selected) {
        if (choice == RepeatChoice::Never)
            EndSeries();
        else if (choice != RepeatChoice::Other)
            ChangeRule(m_page.until(), true);
    }
}

void OccurrenceEditor::UntilChosen()
{
    if (m_set && m_day && m_selected && !m_appointment)
        ChangeRule(m_page.until(), false);
}

void OccurrenceEditor::MakeSeries()
{
    const DateKey day = *m_day;
    DayList& list = m_grid.Day(day.year, day.month, day.day);
    const int index = *m_appointment;
    if (index < 0 || static_cast<std::uint32_t>(index) >= list.count())
        return;
    const Appointment& a = *list.at(index);
    Rule rule = *RuleOf(m_page.choice());
    const auto number = static_cast<std::int64_t>(CalendarGrid::DateOf(day.year, day.month, day.day));
    if (const std::optional<QDate> until = m_page.until())
        rule.until = WallOf(static_cast<std::int64_t>(dw::FromQDate(*until)) + 1) - 1;
    Series s = NewSeries(number, SecondOf(a.TimeOfDay),
                         {a.Name, a.Description, a.FirstLead, a.RepeatInterval}, rule, StampNow());
    SetState(s, s.start, a.LastReminded, a.Done != 0);
    const OccurrenceRef ref{s.uid, s.start};
    m_set->list().push_back(std::move(s));
    // Its id is taken before the record goes.
    const std::uint32_t id = m_grid.IdOf(day.year, day.month, day.day, index);
    if (m_grid.DeleteAppointment(day.year, day.month, day.day, index) && appointmentEdited)
        appointmentEdited(id, false);
    Changed();
    Reselect(ref);
}

void OccurrenceEditor::EndSeries()
{
    const OccurrenceRef ref = *m_selected;
    const Appointment* view =
        Select(static_cast<int>(std::find(m_rows.begin(), m_rows.end(), ref) - m_rows.begin()));
    if (!view)
        return;
    const AppointmentValues values = AppointmentValues::Of(*view);
    const int answer = dw::MessageBoxA(
        tr("Die Serie „%1“ endet: dieser Termin bleibt als einzelner Termin, alle anderen Termine der "
           "Serie werden gelöscht. Fortfahren?")
            .arg(dw::FromAnsi(values.name)),
        tr("Serie beenden"), dw::MB_YESNO | dw::MB_ICONQUESTION);
    if (answer != dw::mrYes) {
        Reselect(ref);
        return;
    }
    const DateKey day = *m_day;
    AddAppointment(static_cast<std::int64_t>(CalendarGrid::DateOf(day.year, day.month, day.day)), values);
    std::erase_if(m_set->list(), [&](const Series& s) { return s.uid == ref.uid; });
    m_selected.reset();
    Changed();
    if (refill)
        refill();
    if (selectRow)
        selectRow(static_cast<int>(m_grid.Day(day.year, day.month, day.day).count()) - 1);
}

void OccurrenceEditor::ChangeRule(const std::optional<QDate>& until, bool fromChoice)
{
    const OccurrenceRef ref = *m_selected;
    Series* s = Find(ref);
    if (!s)
        return;
    std::optional<Rule> rule = fromChoice ? RuleOf(m_page.choice()) : s->rule;
    if (!rule || !rule->simple())
        return;
    rule->until =
        until ? std::optional(FromLocal(*s, WallOf(static_cast<std::int64_t>(dw::FromQDate(*until)) + 1) - 1))
              : std::nullopt;
    rule->count = 0;
    // What changed alone for an occurrence the new rule does not have stays, as an appointment of its own.
    for (const LostException& lost : SetRule(*s, rule)) {
        const Fields& f = lost.exception.fields;
        AddAppointment(LocalDay(*s, lost.exception.start),
                       {Bytes(f.name), Bytes(f.description), TimeOfDayOf(ToLocal(*s, lost.exception.start)),
                        f.firstLead, f.repeatInterval, lost.state.lastReminded, lost.state.done});
    }
    s->stamp = StampNow();
    Changed();
    Reselect(ref);
}

void OccurrenceEditor::AddAppointment(std::int64_t day, const AppointmentValues& values)
{
    const QDate date = DateOfDay(day);
    if (!CalendarGrid::Contains(date.year(), date.month(), date.day()))
        return;
    Appointment* a = m_grid.NewAppointment(date.year(), date.month(), date.day());
    if (!a || !ReplaceText(a->Name, values.name) || !ReplaceText(a->Description, values.description))
        return;
    a->TimeOfDay = values.timeOfDay;
    a->FirstLead = values.firstLead;
    a->RepeatInterval = values.repeatInterval;
    a->LastReminded = values.lastReminded;
    a->Done = values.done ? 1 : 0;
    if (appointmentEdited) {
        const auto last =
            static_cast<std::int32_t>(m_grid.Day(date.year(), date.month(), date.day()).count()) - 1;
        appointmentEdited(m_grid.IdOf(date.year(), date.month(), date.day(), last), true);
    }
}

void OccurrenceEditor::Reselect(const OccurrenceRef& ref)
{
    if (refill)
        refill();
    const auto it = std::find(m_rows.begin(), m_rows.end(), ref);
    if (it != m_rows.end() && selectRow && m_day)
        selectRow(static_cast<int>(m_grid.Day(m_day->year, m_day->month, m_day->day).count() +
                                   static_cast<std::uint32_t>(it - m_rows.begin())));
}

void OccurrenceEditor::Changed()
{
    if (m_changed)
        m_changed();
    if (saveNow)
        saveNow();
}
