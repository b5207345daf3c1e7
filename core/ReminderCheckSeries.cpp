// The check pass's part for the series: each due occurrence is reminded like
// a single appointment and its answer kept as that occurrence's reminder state.
#include "core/ReminderCheck.h"

#include "platform/Ansi.h"
#include "platform/MessageBox.h"
#include "series/SeriesEdit.h"
#include "series/SeriesSet.h"

namespace {

QString Text(const std::string& ansi)
{
    return dw::FromAnsi(QByteArray::fromStdString(ansi));
}

} // namespace

bool ReminderCheck::RemindOccurrences(dw::TDateTime now)
{
    if (!m_series)
        return true;
    // Whatever runs while a dialog is open may change the series, so each due
    // occurrence is held by its series' UID and its recurrence id and looked up
    // afresh before it is shown and when it is answered.
    struct Pending
    {
        std::string uid;
        dw::series::Wall id;
        dw::TDateTime moment;
        double timeOfDay;
    };
    std::vector<Pending> pending;
    for (const dw::series::Occurrence& due : m_series->Due(now))
        pending.push_back({(*m_series)[due.series].uid, due.recurrenceId, due.moment(), due.timeOfDay()});
    for (const Pending& due : pending) {
        if (!m_dialog)
            return false;
        std::optional<std::size_t> index = m_series->Find(due.uid);
        if (!index)
            continue;
        const dw::series::Series& shown = (*m_series)[*index];
        const dw::series::Exception* exception = dw::series::FindException(shown, due.id);
        const dw::series::Fields& fields = exception ? exception->fields : shown.fields;
        m_dialogShown = true;
        const int result = m_dialog->ShowReminder(ReminderHeading(due.moment, due.timeOfDay),
                                                  Text(fields.name), Text(fields.description));
        if (result == dw::mrCancel)
            return false;
        index = m_series->Find(due.uid);
        if (!index)
            continue;
        // A due occurrence was not done; "Nicht mehr erinnern" makes it so.
        dw::series::SetState((*m_series)[*index], due.id, now, result == dw::mrIgnore);
        if (m_seriesChanged)
            m_seriesChanged();
    }
    return true;
}
