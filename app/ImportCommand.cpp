#include "app/ImportCommand.h"

#include "core/AppCore.h"
#include "ical/CalendarFile.h"
#include "instance/ImportChannel.h"

#include <QCoreApplication>
#include <QDir>

QJsonObject HandleImportCommand(AppCore& core, const QJsonObject& request)
{
    const QString file = request.value(QStringLiteral("file")).toString();
    if (file.isEmpty() || !QDir::isAbsolutePath(file))
        return dw::instance::ImportFailure(QCoreApplication::translate(
            "ImportCommand", "Der Import braucht den vollständigen Pfad einer Datei."));
    if (core.Terminating())
        return dw::instance::ImportFailure(QCoreApplication::translate(
            "ImportCommand", "Datumswecker wird gerade beendet; nichts wurde importiert."));
    dw::ical::Budget budget;
    dw::ical::ImportedCalendar calendar;
    QString error;
    if (!dw::ical::ReadCalendarFile(file, calendar, error, budget))
        return dw::instance::ImportFailure(error);
    const AppCore::Imported done = core.Import(calendar, budget);
    if (!done.report.refused.isEmpty())
        return dw::instance::ImportFailure(done.report.refused);
    if (!done.saved)
        return dw::instance::ImportFailure(
            done.report.text() +
            QCoreApplication::translate("ImportCommand",
                                        "\ntermine.dat konnte nicht gespeichert werden; die Termine "
                                        "sind im laufenden Programm und werden später gespeichert."));
    return dw::instance::ImportAnswer(done.report.text());
}
