#include "ical/CalendarFile.h"

#include "ical/IcalMessages.h"

#include <QFile>

namespace dw::ical {

bool ReadCalendarFile(const QString& path, ImportedCalendar& calendar, QString& error)
{
    // The name comes from the command line and goes back to a terminal.
    const QString shown = Shown(path, 4096);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 kann nicht gelesen werden.").arg(shown);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("%1 kann nicht gelesen werden.").arg(shown);
        return false;
    }
    ReadResult read = ReadCalendar(bytes);
    if (!read.calendar) {
        error = QStringLiteral("%1, Zeile %2: %3").arg(shown).arg(read.error.line).arg(read.error.text);
        return false;
    }
    calendar = std::move(*read.calendar);
    return true;
}

} // namespace dw::ical
