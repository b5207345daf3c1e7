// The edit pages of the calendar page: showing the selected appointment in the
// fields and storing every field change into it at once.
#include "browser/CalendarPage.h"

#include "browser/DateKey.h"
#include "browser/FieldValues.h"
#include "browser/OccurrenceEditor.h"
#include "platform/Ansi.h"
#include "platform/MessageBox.h"
#include "platform/RegionalFormats.h"
#include "ui_CalendarPage.h"

#include <QScopedValueRollback>
#include <QTextDocument>

#include <exception>

namespace {

// The description as typed: both the paragraph and the line separators of the
// document become line breaks, and nothing else is touched (non-breaking spaces stay).
QString EditedDescription(const QPlainTextEdit* edit)
{
    QString text = edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

// The frame every field handler shares: nothing unless an appointment row is
// selected; store; then restart the save timer. A value the conversion refuses
// (an hour of 75) is reported and leaves appointment, row and timer as they were.
// While an appointment is only being shown nothing is stored: a field may show
// a value otherwise than it is stored (a bare CR in a description), and showing
// must not change it. The save timer restarts as for any change of a field.
template <typename Store> void TCalendarPage::EditSelected(Store&& store)
{
    if (!IsTerminSelected())
        return;
    if (m_showing) {
        if (restartSaveTimer)
            restartSaveTimer();
        return;
    }
    // An occurrence of a series is shown as an appointment; what the field
    // changed in it is then kept in its series, as the user answers.
    const bool occurrence = m_occurrenceRow >= 0;
    const AppointmentValues before =
        occurrence ? AppointmentValues::Of(*SelectedAppointment) : AppointmentValues{};
    try {
        if (!store(*SelectedAppointment))
            return;
    } catch (const std::exception& error) {
        dw::ShowException(error);
        return;
    }
    if (occurrence) {
        if (!m_occurrences->Apply(before)) {
            // Cancelled: the fields and the row show the occurrence as it stays.
            if (IsTerminSelected()) {
                ShowAppointment(*SelectedAppointment);
                if (QTreeWidgetItem* row = FirstSelectedItem()) {
                    row->setText(0, dw::FormatLongTime(SelectedAppointment->TimeOfDay));
                    row->setText(1, dw::FromAnsi(SelectedAppointment->Name));
                }
            }
            return;
        }
    } else if (const std::optional<quint32> key = SelectedKey()) {
        TellEdit(DecodeKey(*key), FirstSelectedRow(), Edit::Changed);
    }
    if (restartSaveTimer)
        restartSaveTimer();
}

void TCalendarPage::ShowAppointment(const Appointment& appointment)
{
    const QScopedValueRollback<bool> showing(m_showing, true);
    const QString name = dw::FromAnsi(appointment.Name);
    const QString description = ToEditText(dw::FromAnsi(appointment.Description));
    const bool done = appointment.Done != 0;
    int hours = 0;
    int minutes = 0;
    SplitTimeOfDay(appointment.TimeOfDay, hours, minutes);
    const DaysHoursMinutes lead = SplitDuration(appointment.FirstLead);
    const DaysHoursMinutes repeat = SplitDuration(appointment.RepeatInterval);
    const dw::TDateTime lastReminded = appointment.LastReminded;

    // A field is set only when its text changes, so only real changes run its handler.
    if (ui->NameEd->text() != name)
        ui->NameEd->setText(name);
    if (EditedDescription(ui->DescEd) != description)
        ui->DescEd->setPlainText(description);
    ui->doneCheck->setChecked(done);
    ui->hour->setValue(hours);
    ui->min->setValue(minutes);
    ui->day1->setValue(lead.days);
    ui->hour1->setValue(lead.hours);
    ui->min1->setValue(lead.minutes);
    ui->day2->setValue(repeat.days);
    ui->hour2->setValue(repeat.hours);
    ui->min2->setValue(repeat.minutes);
    ui->Label15->setText(RemindedText(lastReminded));
}

void TCalendarPage::NameEdChange()
{
    EditSelected([this](Appointment& appointment) {
        const QString text = ui->NameEd->text();
        if (!ReplaceText(appointment.Name, dw::ToAnsi(text)))
            return false;
        // What was stored: a character outside the code page became "?".
        if (QTreeWidgetItem* row = FirstSelectedItem())
            row->setText(1, dw::FromAnsi(appointment.Name));
        return true;
    });
}

void TCalendarPage::DescEdChange()
{
    EditSelected([this](Appointment& appointment) {
        return ReplaceText(appointment.Description, dw::ToAnsi(FromEditText(EditedDescription(ui->DescEd))));
    });
}

void TCalendarPage::StoreTimeOfDay()
{
    EditSelected([this](Appointment& appointment) {
        const dw::TDateTime time = dw::EncodeTime(ui->hour->value(), ui->min->value());
        appointment.TimeOfDay = time;
        if (QTreeWidgetItem* row = FirstSelectedItem())
            row->setText(0, dw::FormatLongTime(time));
        return true;
    });
}

void TCalendarPage::hourChange()
{
    StoreTimeOfDay();
}

void TCalendarPage::minChange()
{
    StoreTimeOfDay();
}

void TCalendarPage::day1Change()
{
    EditSelected([this](Appointment& appointment) {
        appointment.FirstLead = ComposeDuration(ui->day1->value(), ui->hour1->value(), ui->min1->value());
        return true;
    });
}

void TCalendarPage::day2Change()
{
    EditSelected([this](Appointment& appointment) {
        appointment.RepeatInterval =
            ComposeDuration(ui->day2->value(), ui->hour2->value(), ui->min2->value());
        return true;
    });
}

void TCalendarPage::doneCheckClick()
{
    EditSelected([this](Appointment& appointment) {
        appointment.Done = ui->doneCheck->isChecked() ? 1 : 0;
        return true;
    });
}

void TCalendarPage::ClearLastBtnClick()
{
    EditSelected([this](Appointment& appointment) {
        appointment.LastReminded = 0.0;
        ui->Label15->setText(RemindedText(0.0));
        return true;
    });
}
