#include "app/ImportCommand.h"

#include "app/MainForm.h"
#include "ical/CalendarFile.h"
#include "ical/CalendarImport.h"
#include "instance/ImportChannel.h"
#include "browser/CalendarPage.h"

#include <QDir>
#include <QTreeWidget>

namespace {

// Refills the list so new appointments of the shown day or month appear; the
// selected row (appointments are only appended) is selected again.
void RefreshList(TCalendarPage& page)
{
    auto* list = page.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    if (!list) {
        page.ShowInformation();
        return;
    }
    const int row = list->currentItem() ? list->indexOfTopLevelItem(list->currentItem()) : -1;
    page.ShowInformation();
    if (row >= 0 && row < list->topLevelItemCount())
        list->setCurrentItem(list->topLevelItem(row));
}

} // namespace

QJsonObject HandleImportCommand(TMainForm& form, const QJsonObject& request)
{
    const QString file = request.value(QStringLiteral("file")).toString();
    if (file.isEmpty() || !QDir::isAbsolutePath(file))
        return dw::instance::ImportFailure(
            QStringLiteral("Der Import braucht den vollständigen Pfad einer Datei."));
    if (form.Terminating)
        return dw::instance::ImportFailure(
            QStringLiteral("Datumswecker wird gerade beendet; nichts wurde importiert."));
    dw::ical::ImportedCalendar calendar;
    QString error;
    if (!dw::ical::ReadCalendarFile(file, calendar, error))
        return dw::instance::ImportFailure(error);
    const dw::ical::ImportReport report = dw::ical::ImportInto(form.Grid, calendar);
    if (report.added == 0)
        return dw::instance::ImportAnswer(report.text());
    if (TCalendarPage* page = form.CalendarPage())
        RefreshList(*page);
    if (!form.SaveTermins(form.DataFileName()))
        return dw::instance::ImportFailure(
            report.text() + QStringLiteral("\ntermine.dat konnte nicht gespeichert werden; die Termine "
                                           "sind im laufenden Programm und werden später gespeichert."));
    return dw::instance::ImportAnswer(report.text());
}
